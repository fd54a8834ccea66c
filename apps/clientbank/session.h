// Session: one run of the program against a database. It opens the embedded
// default host on the database, chooses the regional preset for the thread,
// installs the host for the thread and, on the first use of the component,
// registers the library the program was built with and creates CBankCl_VB
// through the registry, as any host loads an in-process component.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "core/client_bank.h"
#include "hostkit/component_registry.h"
#include "hostkit/default_host.h"

namespace clientbank {

struct GlobalOptions {
  std::string db = "clientbank.db";
  std::string regional;  // empty: the database's setting (lt-LT unless set)
  bool gui = false;
  int busy_timeout_ms = 5000;  // how long a write waits for another program's lock
  bool quiet = false;          // no progress on standard error
};

class Session {
 public:
  Session(const GlobalOptions& options, std::ostream& out, std::ostream& err);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  norv::hostkit::DefaultHost& host() { return *host_; }
  norv::hostkit::ComponentRegistry& registry() { return registry_; }
  std::ostream& out() { return out_; }
  std::ostream& err() { return err_; }
  // Whether long jobs show their progress: on a terminal, unless --quiet.
  bool show_progress() const { return show_progress_; }

  // Registers the built-in library when no library serves CBankCl_VB yet.
  void EnsureRegistered();
  // A new CBankCl_VB from the registered library.
  std::shared_ptr<norv::IClientBank> CreateClientBank();

 private:
  std::ostream& out_;
  std::ostream& err_;
  bool show_progress_;
  std::shared_ptr<norv::hostkit::DefaultHost> host_;
  norv::hostkit::ComponentRegistry registry_;
};

// The library file the program was built with.
const char* BuiltInLibrary();

}  // namespace clientbank
