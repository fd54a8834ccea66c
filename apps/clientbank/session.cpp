#include "session.h"

#include <iostream>

#include "cli_events.h"
#include "component/registration.h"
#include "host/host_library.h"
#include "runtime/regional.h"
#include "runtime/text.h"

namespace clientbank {

const char* BuiltInLibrary() { return NORV_COMPONENT_LIBRARY; }

namespace {

std::shared_ptr<norv::hostkit::DefaultHost> OpenHost(const GlobalOptions& options,
                                                     std::ostream& out, std::ostream& err) {
  norv::hostkit::DefaultHost::Options host_options;
  host_options.database_path = options.db;
  host_options.busy_timeout_ms = options.busy_timeout_ms;
  host_options.out = &out;
  host_options.err = &err;
  return std::make_shared<norv::hostkit::DefaultHost>(host_options);
}

}  // namespace

Session::Session(const GlobalOptions& options, std::ostream& out, std::ostream& err)
    : out_(out),
      err_(err),
      show_progress_(!options.quiet && &err == &std::cerr && ErrorStreamIsTerminal()),
      host_(OpenHost(options, out, err)),
      registry_(host_->database()) {
  std::string preset = options.regional.empty() ? host_->RegionalPreset() : options.regional;
  norv::RegionalSettings::SetCurrent(norv::RegionalSettings::Preset(norv::Utf8ToU16(preset)));
  norv::host::HostLibrary::Install(host_);
}

Session::~Session() { norv::host::HostLibrary::Install(nullptr); }

void Session::EnsureRegistered() {
  if (registry_.LibraryOf(norv::kClassClientBank).empty()) {
    registry_.RegisterLibrary(BuiltInLibrary());
  }
}

std::shared_ptr<norv::IClientBank> Session::CreateClientBank() {
  EnsureRegistered();
  return registry_.CreateClientBank();
}

}  // namespace clientbank
