// JobContext: what a job runs on. The host is installed for the thread
// (host::HostLibrary::Install) and its forms driver, folder browser and file
// dialog answer the component's dialogs: the command line scripts them before
// it calls a job, the window puts them on screen. The job learns what the user
// chose from the dialogs themselves, through the host's show-end observer, so
// it runs the same under either.
#pragma once

#include <functional>
#include <memory>

#include "core/client_bank.h"
#include "hostkit/default_host.h"

namespace norv::jobs {

struct JobContext {
  hostkit::DefaultHost& host;
  // A new component object for each job, created as the front end loads the
  // component (for the program: through the registry).
  std::function<std::shared_ptr<IClientBank>()> create_client_bank;
};

}  // namespace norv::jobs
