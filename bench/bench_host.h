// The benchmarks' host is the program's own: the embedded default host, here
// on an in-memory database, its console writing into `out`. InstallBenchHost
// makes one the host of the calling thread; its scripted driver answers the
// component's dialogs.
#pragma once

#include <memory>
#include <ostream>

#include "host/host_library.h"
#include "hostkit/default_host.h"

namespace norv::bench {

inline std::shared_ptr<hostkit::DefaultHost> InstallBenchHost(std::ostream& out) {
  hostkit::DefaultHost::Options options;
  options.database_path = ":memory:";
  options.out = &out;
  options.err = &out;
  auto host = std::make_shared<hostkit::DefaultHost>(options);
  host::HostLibrary::Install(host);
  return host;
}

}  // namespace norv::bench
