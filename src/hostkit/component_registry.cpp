#include "hostkit/component_registry.h"

#include <dlfcn.h>

#include <exception>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>

#include "component/registration.h"
#include "hostkit/file_trust.h"
#include "hostkit/host_error.h"
#include "runtime/text.h"

namespace norv::hostkit {

namespace {

constexpr char16_t kSource[] = u"DefaultHost.ComponentRegistry";

std::string CanonicalPath(const std::string& path) {
  std::error_code error;
  std::filesystem::path canonical = std::filesystem::canonical(path, error);
  if (error) {
    RaiseHostError(kErrFileNotFound, kSource,
                   Utf8ToU16("the library '" + path + "' does not exist"));
  }
  return canonical.string();
}

// Libraries are loaded once per process and never unloaded.
void* LoadLibrary(const std::string& path) {
  static std::mutex mutex;
  static std::map<std::string, void*> loaded;
  std::lock_guard<std::mutex> lock(mutex);
  auto it = loaded.find(path);
  if (it != loaded.end()) return it->second;
  // Whoever can change the library, or a folder or link on its path, would run
  // their code in every program that loads it; such a library is not loaded.
  // The path may come from a database others can write, so it is checked at
  // every first load, not only when it is registered.
  if (std::optional<std::string> reason = UntrustedCodeReason(path)) {
    RaiseHostError(kErrPermissionDenied, kSource,
                   Utf8ToU16("the library '" + path + "' is not loaded: " + *reason));
  }
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    RaiseHostError(kErrLoadingLibrary, kSource,
                   Utf8ToU16("'" + path + "': " + (reason != nullptr ? reason : "unknown reason")));
  }
  loaded.emplace(path, handle);
  return handle;
}

template <typename Fn>
Fn EntryPoint(void* handle, const char* name, const std::string& path) {
  void* symbol = dlsym(handle, name);
  if (symbol == nullptr) {
    RaiseHostError(kErrEntryPointMissing, kSource,
                   Utf8ToU16(std::string(name) + " in '" + path + "'"));
  }
  return reinterpret_cast<Fn>(symbol);
}

// What the registry callbacks work on. An error of the database is kept and
// raised once the library has returned, so that it never crosses the library.
struct RegistryCall {
  Database* db;
  std::vector<std::string> classes;
  std::exception_ptr failure;
};

int32_t AddClass(void* context, const char* class_name, const char* library_path) {
  auto* call = static_cast<RegistryCall*>(context);
  try {
    call->db
        ->Prepare(
            "INSERT INTO component_classes (class_name, library) VALUES (?, ?) "
            "ON CONFLICT (class_name) DO UPDATE SET library = excluded.library")
        .Bind(1, std::string_view(class_name))
        .Bind(2, std::string_view(library_path))
        .Run();
    call->classes.emplace_back(class_name);
    return 0;
  } catch (const ComError&) {
    call->failure = std::current_exception();
    return kErrDeviceIo;
  }
}

int32_t RemoveClass(void* context, const char* class_name, const char* library_path) {
  auto* call = static_cast<RegistryCall*>(context);
  try {
    call->db->Prepare("DELETE FROM component_classes WHERE class_name = ? AND library = ?")
        .Bind(1, std::string_view(class_name))
        .Bind(2, std::string_view(library_path))
        .Run();
    if (call->db->Changes() > 0) call->classes.emplace_back(class_name);
    return 0;
  } catch (const ComError&) {
    call->failure = std::current_exception();
    return kErrDeviceIo;
  }
}

template <typename Fn>
std::vector<std::string> RunRegistration(Database& db, const std::string& library_path,
                                         const char* entry_name) {
  std::string path = CanonicalPath(library_path);
  void* handle = LoadLibrary(path);
  auto entry = EntryPoint<Fn>(handle, entry_name, path);
  RegistryCall call{&db, {}, nullptr};
  NorvClassRegistry registry{&call, &AddClass, &RemoveClass};
  int32_t result = 0;
  db.Transaction([&] {
    result = entry(&registry, path.c_str());
    if (call.failure) std::rethrow_exception(call.failure);
    if (result != 0) {
      RaiseHostError(result, kSource,
                     Utf8ToU16(std::string(entry_name) + " of '" + path + "' failed"));
    }
  });
  return call.classes;
}

struct CreationError {
  int32_t number = 0;
  std::u16string source;
  std::u16string description;
};

void KeepError(void* context, int32_t number, const char16_t* source, const char16_t* description) {
  auto* error = static_cast<CreationError*>(context);
  *error = CreationError{number, source, description};
}

}  // namespace

std::vector<std::string> ComponentRegistry::RegisterLibrary(const std::string& library_path) {
  return RunRegistration<RegisterServerFn>(*db_, library_path, "Norv_RegisterServer");
}

std::vector<std::string> ComponentRegistry::UnregisterLibrary(const std::string& library_path) {
  return RunRegistration<UnregisterServerFn>(*db_, library_path, "Norv_UnregisterServer");
}

std::vector<std::pair<std::string, std::string>> ComponentRegistry::Classes() {
  std::vector<std::pair<std::string, std::string>> classes;
  Statement list =
      db_->Prepare("SELECT class_name, library FROM component_classes ORDER BY class_name");
  while (list.Step()) classes.emplace_back(list.Utf8(0), list.Utf8(1));
  return classes;
}

std::string ComponentRegistry::LibraryOf(const std::string& class_name) {
  Statement find = db_->Prepare("SELECT library FROM component_classes WHERE class_name = ?");
  find.Bind(1, std::string_view(class_name));
  return find.Step() ? find.Utf8(0) : "";
}

std::shared_ptr<void> ComponentRegistry::Create(const std::string& class_name) {
  std::string path = LibraryOf(class_name);
  if (path.empty()) {
    RaiseHostError(kErrCannotCreateObject, kSource,
                   Utf8ToU16("the class '" + class_name + "' is not registered"));
  }
  void* handle = LoadLibrary(path);
  auto create = EntryPoint<CreateObjectFn>(handle, "Norv_CreateObject", path);
  auto release = EntryPoint<ReleaseObjectFn>(handle, "Norv_ReleaseObject", path);
  CreationError error;
  void* object = nullptr;
  int32_t result = create(class_name.c_str(), &object, &KeepError, &error);
  if (result != 0 || object == nullptr) {
    if (error.description.empty()) {
      RaiseHostError(kErrCannotCreateObject, kSource,
                     Utf8ToU16("'" + path + "' did not create '" + class_name + "'"));
    }
    throw ComError(error.number, error.source, error.description);
  }
  return std::shared_ptr<void>(
      object, [release, class_name](void* doomed) { release(class_name.c_str(), doomed); });
}

std::shared_ptr<IClientBank> ComponentRegistry::CreateClientBank() {
  std::shared_ptr<void> object = Create(kClassClientBank);
  return std::shared_ptr<IClientBank>(object, static_cast<IClientBank*>(object.get()));
}

}  // namespace norv::hostkit
