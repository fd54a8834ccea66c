#include "component/registration.h"

#include <cstring>
#include <new>
#include <string>

#include "component/cbankcl_vb.h"
#include "core/err_description.h"
#include "files/browse_path.h"
#include "runtime/com_error.h"
#include "runtime/text.h"

namespace {

constexpr const char* kPublicClasses[] = {norv::kClassClientBank, norv::kClassBrowsePath,
                                          norv::kClassErrDescription};

bool Is(const char* class_name, const char* wanted) {
  return class_name != nullptr && std::strcmp(class_name, wanted) == 0;
}

void Tell(NorvErrorSink sink, void* context, int32_t number, const std::u16string& source,
          const std::u16string& description) {
  if (sink != nullptr) sink(context, number, source.c_str(), description.c_str());
}

}  // namespace

extern "C" {

int32_t Norv_RegisterServer(const NorvClassRegistry* registry, const char* library_path) {
  for (const char* name : kPublicClasses) {
    int32_t result = registry->add_class(registry->context, name, library_path);
    if (result != 0) return result;
  }
  return 0;
}

int32_t Norv_UnregisterServer(const NorvClassRegistry* registry, const char* library_path) {
  for (const char* name : kPublicClasses) {
    int32_t result = registry->remove_class(registry->context, name, library_path);
    if (result != 0) return result;
  }
  return 0;
}

int32_t Norv_CreateObject(const char* class_name, void** object, NorvErrorSink sink,
                          void* sink_context) {
  *object = nullptr;
  try {
    if (Is(class_name, norv::kClassClientBank)) {
      // The host holds the object by its interface.
      *object = static_cast<norv::IClientBank*>(new norv::CBankCl_VB());
    } else if (Is(class_name, norv::kClassBrowsePath)) {
      *object = new norv::CBrowsePath();
    } else if (Is(class_name, norv::kClassErrDescription)) {
      *object = new norv::CErrDescription();
    } else {
      Tell(sink, sink_context, norv::kNorvClassNotAvailable, norv::kDefaultErrorSource,
           u"Class not available: '" + norv::Utf8ToU16(class_name != nullptr ? class_name : "") +
               u"' is not a class of this library");
      return norv::kNorvClassNotAvailable;
    }
    return 0;
  } catch (const norv::ComError& error) {
    Tell(sink, sink_context, error.number(), error.source(), error.description());
    return error.number();
  } catch (const std::bad_alloc&) {
    constexpr int32_t kOutOfMemory = 7;
    Tell(sink, sink_context, kOutOfMemory, norv::kDefaultErrorSource, u"Out of memory");
    return kOutOfMemory;
  }
}

void Norv_ReleaseObject(const char* class_name, void* object) {
  if (object == nullptr) return;
  if (Is(class_name, norv::kClassClientBank)) {
    delete static_cast<norv::IClientBank*>(object);
  } else if (Is(class_name, norv::kClassBrowsePath)) {
    delete static_cast<norv::CBrowsePath*>(object);
  } else if (Is(class_name, norv::kClassErrDescription)) {
    delete static_cast<norv::CErrDescription*>(object);
  }
}

}  // extern "C"
