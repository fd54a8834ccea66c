// The library's entry points for its host: register and unregister its public
// classes, create an object of one and release it again. They are plain C
// functions, found by name (dlsym) once the host has loaded the library. The
// registry belongs to the host: it passes it in as callbacks, so the library
// never touches the host's storage.
#pragma once

#include <cstdint>

#include "../runtime/export.h"

extern "C" {

// The host's registry of classes.
struct NORV_EXPORT NorvClassRegistry {
  void* context;
  // Records that `class_name` is served by the library file `library_path`.
  // Returns 0 on success, anything else stops the registration.
  int32_t (*add_class)(void* context, const char* class_name, const char* library_path);
  // Removes the record of `class_name` served by `library_path`. Returns 0 on success.
  int32_t (*remove_class)(void* context, const char* class_name, const char* library_path);
};

// Receives the error of a failed creation (texts UTF-16, NUL-ended).
typedef void (*NorvErrorSink)(void* context, int32_t number, const char16_t* source,
                              const char16_t* description);

// Records every public class of the library, loaded from `library_path`.
// Returns 0, or the first non-zero answer of the registry.
NORV_EXPORT int32_t Norv_RegisterServer(const NorvClassRegistry* registry,
                                        const char* library_path);
// Removes the records of every public class served by `library_path`.
NORV_EXPORT int32_t Norv_UnregisterServer(const NorvClassRegistry* registry,
                                          const char* library_path);

// Creates an object of a public class: the CBankCl_VB class gives a
// norv::IClientBank*, CBrowsePath a norv::CBrowsePath*, CErrDescription a
// norv::CErrDescription*. Returns 0 and sets *object; otherwise returns the
// error number (kNorvClassNotAvailable for a class the library does not have, or
// the error the creation raised) and tells `sink`, when given, the whole error.
// The calling thread needs its host library installed first.
NORV_EXPORT int32_t Norv_CreateObject(const char* class_name, void** object, NorvErrorSink sink,
                                      void* sink_context);
// Releases an object that Norv_CreateObject made for `class_name`.
NORV_EXPORT void Norv_ReleaseObject(const char* class_name, void* object);

}  // extern "C"

namespace norv {

// The public classes, by the names a host registers them under.
inline constexpr char kClassClientBank[] = "Norv_RazizeRuveRO_DOS.CBankCl_VB";
inline constexpr char kClassBrowsePath[] = "Norv_RazizeRuveRO_DOS.CBrowsePath";
inline constexpr char kClassErrDescription[] = "Norv_RazizeRuveRO_DOS.CErrDescription";

// The class is not one of this library's (CLASS_E_CLASSNOTAVAILABLE).
inline constexpr int32_t kNorvClassNotAvailable = static_cast<int32_t>(0x80040111u);

// The signatures, for a host that looks the entry points up.
using RegisterServerFn = decltype(&Norv_RegisterServer);
using UnregisterServerFn = decltype(&Norv_UnregisterServer);
using CreateObjectFn = decltype(&Norv_CreateObject);
using ReleaseObjectFn = decltype(&Norv_ReleaseObject);

}  // namespace norv
