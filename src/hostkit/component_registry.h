// ComponentRegistry: the host's record of which library serves which public
// class, kept in the database, and the loader that creates objects through it.
//
// RegisterLibrary loads a library (dlopen) and lets its registration entry
// point record its classes; UnregisterLibrary lets it remove them. Create looks
// the class up, loads its library and asks it for an object, which is released
// through the same library when the last reference goes. Loaded libraries stay
// loaded for the life of the process, since objects of theirs may still live.
// A library is loaded only when only root or the user can change it, its
// folders and links (see file_trust.h); registration checks the library's
// canonical path, creation the path the registry holds, whoever wrote it.
// Failures: 70 (the library is not trusted; the description names the path and
// why), 48 (the library cannot be loaded), 453 (an entry point is missing), 429
// (the class is not registered), or the error the library reports.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/client_bank.h"
#include "hostkit/database.h"

namespace norv::hostkit {

class ComponentRegistry {
 public:
  explicit ComponentRegistry(std::shared_ptr<Database> db) : db_(std::move(db)) {}

  // Returns the classes recorded (or removed), in the library's order. The
  // library is recorded under its absolute canonical path.
  std::vector<std::string> RegisterLibrary(const std::string& library_path);
  std::vector<std::string> UnregisterLibrary(const std::string& library_path);

  // (class name, library) of every registered class.
  std::vector<std::pair<std::string, std::string>> Classes();
  // The library registered for a class, "" when none.
  std::string LibraryOf(const std::string& class_name);

  // A new object of a registered class, as the library hands it out.
  std::shared_ptr<void> Create(const std::string& class_name);
  // A new CBankCl_VB, held by its interface.
  std::shared_ptr<IClientBank> CreateClientBank();

 private:
  std::shared_ptr<Database> db_;
};

}  // namespace norv::hostkit
