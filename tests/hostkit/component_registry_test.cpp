// Creating the component's classes through the registry and the library's own
// entry point. Registering, the libraries refused and the rows checked at each
// load are the program's cases (tests/data/cli_runs).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "component/registration.h"
#include "hostkit/component_registry.h"
#include "hostkit/default_host.h"
#include "hostkit/host_error.h"
#include "runtime/error_matchers.h"
#include "support/recording_host.h"

namespace norv::hostkit {
namespace {

TEST(ComponentRegistryTest, HandsOutTheRegisteredClassesOnly) {
  const std::string library =
      std::string(std::getenv("NORV_BINARY_DIR")) + "/libNorv_RazizeRuveRO_DOS.so";
  norv::testing::TempFolder folder;
  std::ostringstream out;
  DefaultHost::Options options;
  options.database_path = folder.File("registry.db");
  options.out = options.err = &out;
  auto host = std::make_shared<DefaultHost>(options);
  host::HostLibrary::Install(host);  // the objects are created with a host
  ComponentRegistry registry{host->database()};
  registry.RegisterLibrary(library);
  ASSERT_NE(registry.CreateClientBank(), nullptr);
  EXPECT_NE(registry.Create(kClassErrDescription), nullptr);
  EXPECT_NE(registry.Create(kClassBrowsePath), nullptr);
  registry.UnregisterLibrary(library);
  EXPECT_RAISES(registry.CreateClientBank(), kErrCannotCreateObject);
  // The library itself refuses a class it does not export.
  void* handle = dlopen(library.c_str(), RTLD_NOW);
  ASSERT_NE(handle, nullptr);
  auto create = reinterpret_cast<CreateObjectFn>(dlsym(handle, "Norv_CreateObject"));
  ASSERT_NE(create, nullptr);
  void* object = &handle;
  EXPECT_EQ(create("Norv_RazizeRuveRO_DOS.CFile", &object, nullptr, nullptr),
            kNorvClassNotAvailable);
  EXPECT_EQ(object, nullptr);
  host::HostLibrary::Install(nullptr);
}

}  // namespace
}  // namespace norv::hostkit
