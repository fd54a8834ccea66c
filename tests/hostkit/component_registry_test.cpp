// Loading the component through the registry: registration by the library's
// own entry points, creation by class name, and the errors of each step.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>

#include "component/registration.h"
#include "hostkit/component_registry.h"
#include "hostkit/default_host.h"
#include "hostkit/host_error.h"
#include "runtime/error_matchers.h"
#include "runtime/text.h"
#include "support/recording_host.h"

namespace norv::hostkit {
namespace {

using norv::testing::TempFolder;

std::string BuiltLibrary() {
  const char* dir = std::getenv("NORV_BINARY_DIR");
  return std::string(dir != nullptr ? dir : ".") + "/libNorv_RazizeRuveRO_DOS.so";
}

class ComponentRegistryTest : public ::testing::Test {
 protected:
  ComponentRegistryTest() { host::HostLibrary::Install(host); }
  ~ComponentRegistryTest() override { host::HostLibrary::Install(nullptr); }

  TempFolder folder;
  std::ostringstream out;
  std::shared_ptr<DefaultHost> host = [this] {
    DefaultHost::Options options;
    options.database_path = folder.File("registry.db");
    options.out = &out;
    options.err = &out;
    return std::make_shared<DefaultHost>(options);
  }();
  ComponentRegistry registry{host->database()};
};

TEST_F(ComponentRegistryTest, TheLibraryRegistersItsClassesAndHandsOutObjects) {
  std::vector<std::string> classes = registry.RegisterLibrary(BuiltLibrary());
  EXPECT_EQ(classes,
            (std::vector<std::string>{kClassClientBank, kClassBrowsePath, kClassErrDescription}));
  std::string canonical = std::filesystem::canonical(BuiltLibrary()).string();
  for (const auto& [name, library] : registry.Classes()) EXPECT_EQ(library, canonical) << name;

  std::shared_ptr<IClientBank> bank = registry.CreateClientBank();
  ASSERT_NE(bank, nullptr);
  bank->EndImport();  // harmless without an import
  EXPECT_NE(registry.Create(kClassErrDescription), nullptr);
  EXPECT_NE(registry.Create(kClassBrowsePath), nullptr);

  // Unregistered classes cannot be created.
  EXPECT_EQ(registry.UnregisterLibrary(BuiltLibrary()).size(), 3u);
  EXPECT_EQ(registry.LibraryOf(kClassClientBank), "");
  EXPECT_RAISES(registry.CreateClientBank(), kErrCannotCreateObject);
  EXPECT_TRUE(registry.UnregisterLibrary(BuiltLibrary()).empty());
  EXPECT_EQ(out.str(), "");  // the build's library and a private database: no warning
}

TEST_F(ComponentRegistryTest, LibrariesOthersCanChangeAreRefusedBeforeLoading) {
  std::string open = folder.File("open");
  ASSERT_EQ(mkdir(open.c_str(), 0700), 0);
  ASSERT_EQ(chmod(open.c_str(), 0777), 0);
  folder.WriteBytes("open/lib.so", "plain text");  // loading it would be error 48
  ASSERT_EQ(symlink(BuiltLibrary().c_str(), (open + "/link.so").c_str()), 0);
  std::string replaceable = "the folder '" + open + "' is writable by other users (mode 0777)";
  auto expect_refusal = [](const std::function<void()>& load, const std::string& library,
                           const std::string& reason) {
    try {
      load();
      ADD_FAILURE() << library << " was loaded";
    } catch (const ComError& error) {
      EXPECT_EQ(error.number(), kErrPermissionDenied);
      EXPECT_EQ(error.source(), u"DefaultHost.ComponentRegistry");
      EXPECT_EQ(U16ToUtf8(error.description()),
                "Permission denied: the library '" + library + "' is not loaded: " + reason);
    }
  };
  expect_refusal([&] { registry.RegisterLibrary(open + "/lib.so"); }, open + "/lib.so",
                 replaceable);
  // The rows are checked at every load, whoever wrote them into the database.
  for (const auto& [library, reason] :
       {std::pair<std::string, std::string>{"lib.so", "'lib.so' is not an absolute path"},
        {open + "/link.so", replaceable}}) {
    host->database()
        ->Prepare("INSERT OR REPLACE INTO component_classes (class_name, library) VALUES (?, ?)")
        .Bind(1, std::string_view(kClassClientBank))
        .Bind(2, std::string_view(library))
        .Run();
    expect_refusal([&] { registry.CreateClientBank(); }, library, reason);
  }
}

TEST_F(ComponentRegistryTest, TheLibraryRefusesAClassItDoesNotHave) {
  void* handle = dlopen(BuiltLibrary().c_str(), RTLD_NOW);
  ASSERT_NE(handle, nullptr);
  auto create = reinterpret_cast<CreateObjectFn>(dlsym(handle, "Norv_CreateObject"));
  ASSERT_NE(create, nullptr);
  void* object = &handle;
  EXPECT_EQ(create("Norv_RazizeRuveRO_DOS.CFile", &object, nullptr, nullptr),
            kNorvClassNotAvailable);
  EXPECT_EQ(object, nullptr);
}

TEST_F(ComponentRegistryTest, LibrariesThatCannotServeAreClearErrors) {
  folder.WriteBytes("not_a_library.so", "plain text");
  EXPECT_RAISES(registry.RegisterLibrary(folder.File("not_a_library.so")), kErrLoadingLibrary);
  EXPECT_RAISES(registry.RegisterLibrary(folder.File("missing.so")), kErrFileNotFound);
  Dl_info sqlite{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&sqlite3_libversion), &sqlite), 0);
  EXPECT_RAISES(registry.RegisterLibrary(sqlite.dli_fname), kErrEntryPointMissing);
  EXPECT_TRUE(registry.Classes().empty());
}

}  // namespace
}  // namespace norv::hostkit
