// Who besides the user can change a library or a database: real files, folders
// and links with real modes and owners. The host's warning and the registry's
// refusals are tested where they are made (component_registry_test, clientbank).
#include "hostkit/file_trust.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>

#include "hostkit/database.h"
#include "support/recording_host.h"

namespace norv::hostkit {
namespace {

using norv::testing::TempFolder;

// `text` with each "@" replaced by the folder's path.
std::string InFolder(const TempFolder& folder, std::string text) {
  for (size_t at; (at = text.find('@')) != std::string::npos;) text.replace(at, 1, folder.path());
  return text;
}

// Makes one entry in `folder` from its description: "sub/ 0755" a folder,
// "lib.so 0644" a file (modes exactly, no umask), "link.so -> ../lib.so" a
// symbolic link, "lib.so owner 4242:0" new owners.
void Make(const TempFolder& folder, const std::string& description) {
  std::istringstream words(InFolder(folder, description));
  std::string name, what, target;
  words >> name >> what;
  std::string path = folder.File(name);
  if (what == "->" && words >> target) {
    ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0) << description;
  } else if (what == "owner") {
    unsigned uid = 0, gid = 0;
    char colon = 0;
    words >> uid >> colon >> gid;
    ASSERT_EQ(lchown(path.c_str(), uid, gid), 0) << description;
  } else {
    if (name.ends_with('/')) {
      ASSERT_EQ(mkdir(path.c_str(), 0700), 0) << description;
    } else {
      folder.WriteBytes(name, "not loaded");
    }
    ASSERT_EQ(chmod(path.c_str(), std::stoul(what, nullptr, 8)), 0) << description;
  }
}

// What a case needs beyond a folder of its own.
enum class Needs {
  kNothing,
  kRoot,               // only root may give files away (to user and group 4242)
  kRootsPrivateGroup,  // root's group lists no members, as on a plain system
};

bool Unmet(Needs needs) {
  struct group* root = getgrgid(0);
  return (needs != Needs::kNothing && geteuid() != 0) ||
         (needs == Needs::kRootsPrivateGroup && (root == nullptr || root->gr_mem[0] != nullptr));
}

struct TrustCase {
  const char* name;
  bool code;  // the library check, else the database check
  std::vector<std::string> entries;
  std::string checked;  // "@" stands for the folder
  std::string reason;   // "" when trusted
  Needs needs = Needs::kNothing;
};

class FileTrustTest : public ::testing::TestWithParam<TrustCase> {};

TEST_P(FileTrustTest, NamesTheEntryOthersCanChange) {
  const TrustCase& c = GetParam();
  if (Unmet(c.needs)) GTEST_SKIP() << "needs root (and root's group of its own)";
  TempFolder folder;
  for (const std::string& entry : c.entries) Make(folder, entry);
  std::string checked = InFolder(folder, c.checked);
  std::optional<std::string> reason =
      c.code ? UntrustedCodeReason(checked) : ExposedDataReason(checked);
  EXPECT_EQ(reason.value_or(""), InFolder(folder, c.reason));
}

constexpr bool kCode = true;
constexpr bool kData = false;
const std::string kOpen = "the folder '@/open' is writable by other users (mode 0777)";

// One row a case: its name, the check, the entries made, the path checked, the reason.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, FileTrustTest, ::testing::Values(
    TrustCase{"PrivateLibrary", kCode, {"lib.so 0755"}, "@/lib.so", ""},
    TrustCase{"LibraryInAStickyFolder", kCode, {"tmp/ 1777", "tmp/lib.so 0755"}, "@/tmp/lib.so",
              ""},
    TrustCase{"LinkUpToATrustedLibrary", kCode,
              {"lib.so 0755", "sub/ 0755", "sub/link.so -> ../lib.so"}, "@/sub/link.so", ""},
    TrustCase{"LibraryWritableByOthers", kCode, {"lib.so 0666"}, "@/lib.so",
              "the file '@/lib.so' is writable by other users (mode 0666)"},
    TrustCase{"LibraryWritableByAGroupOfOthers", kCode, {"lib.so 0775", "lib.so owner 0:4242"},
              "@/lib.so", "the file '@/lib.so' is writable by other users (mode 0775)",
              Needs::kRoot},
    TrustCase{"LibraryWritableByItsOwnersPrivateGroup", kCode,
              {"lib.so 0775", "lib.so owner 0:0"}, "@/lib.so", "", Needs::kRootsPrivateGroup},
    TrustCase{"FolderWritableByOthers", kCode, {"open/ 0777", "open/lib.so 0755"},
              "@/open/lib.so", kOpen},
    TrustCase{"LinkToALibraryOthersCanReplace", kCode,
              {"open/ 0777", "open/lib.so 0755", "link.so -> @/open/lib.so"}, "@/link.so", kOpen},
    TrustCase{"LinkOthersCanReplace", kCode,
              {"lib.so 0755", "open/ 0777", "open/link.so -> ../lib.so"}, "@/open/link.so", kOpen},
    TrustCase{"RelativePath", kCode, {"lib.so 0755"}, "lib.so",
              "'lib.so' is not an absolute path"},
    TrustCase{"Folder", kCode, {"sub/ 0755"}, "@/sub", "the folder '@/sub' is not a regular file"},
    TrustCase{"LibraryOfAnotherUser", kCode, {"lib.so 0755", "lib.so owner 4242:0"}, "@/lib.so",
              "the file '@/lib.so' belongs to user 4242", Needs::kRoot},
    TrustCase{"FolderOfAnotherUser", kCode,
              {"sub/ 0755", "sub/lib.so 0755", "sub owner 4242:4242"}, "@/sub/lib.so",
              "the folder '@/sub' belongs to user 4242", Needs::kRoot},
    TrustCase{"LinkOfAnotherUserInAStickyFolder", kCode,
              {"lib.so 0755", "tmp/ 1777", "tmp/link.so -> ../lib.so", "tmp/link.so owner 4242:0"},
              "@/tmp/link.so", "the symbolic link '@/tmp/link.so' belongs to user 4242",
              Needs::kRoot},
    TrustCase{"PrivateDatabase", kData, {"cb.db 0600"}, "@/cb.db", ""},
    TrustCase{"DatabaseSharedByOurGroup", kData, {"office/ 2770", "office/cb.db 0660"},
              "@/office/cb.db", ""},
    TrustCase{"DatabaseWritableByOthers", kData, {"cb.db 0666"}, "@/cb.db",
              "the file '@/cb.db' is writable by other users (mode 0666)"},
    TrustCase{"DatabaseInAFolderWritableByOthers", kData, {"open/ 0777", "open/cb.db 0600"},
              "@/open/cb.db", kOpen},
    TrustCase{"DatabaseInAStickyFolder", kData, {"tmp/ 1777", "tmp/cb.db 0600"}, "@/tmp/cb.db",
              "the folder '@/tmp' is writable by other users (mode 1777)"},
    TrustCase{"DatabaseOfAGroupNotOurs", kData, {"cb.db 0660", "cb.db owner 0:4242"}, "@/cb.db",
              "the file '@/cb.db' is writable by other users (mode 0660)", Needs::kRoot},
    TrustCase{"DatabaseOfAnotherUser", kData, {"cb.db 0600", "cb.db owner 4242:4242"}, "@/cb.db",
              "the file '@/cb.db' belongs to user 4242", Needs::kRoot}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(DatabaseFileTest, ANewDatabaseAndItsSideFilesAreTheOwnersOnly) {
  TempFolder folder;
  std::shared_ptr<Database> db = Database::Open(folder.File("new.db"));
  db->SetSetting("regional", "en-US");  // the side files live while the database is open
  for (const char* name : {"new.db", "new.db-wal", "new.db-shm"}) {
    EXPECT_EQ(ModeText(folder.File(name)), "0600") << name;
  }
}

}  // namespace
}  // namespace norv::hostkit
