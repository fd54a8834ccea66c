// Who besides the user can change a library or a database: real files, folders
// and links with real modes and owners, and what the default host makes of them.
#include "hostkit/file_trust.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <sstream>

#include "hostkit/database.h"
#include "hostkit/default_host.h"
#include "support/recording_host.h"

namespace norv::hostkit {
namespace {

using norv::testing::TempFolder;

constexpr uid_t kStranger = 4242;  // a user and group nobody here belongs to

// Creates `name` in `folder`, a folder when it ends in "/", with exactly `mode`.
std::string Make(const TempFolder& folder, const std::string& name, mode_t mode) {
  std::string path = folder.File(name);
  if (name.ends_with('/')) {
    path.pop_back();
    EXPECT_EQ(mkdir(path.c_str(), 0700), 0) << path;
  } else {
    folder.WriteBytes(name, "not loaded");
  }
  EXPECT_EQ(chmod(path.c_str(), mode), 0) << path;
  return path;
}

std::string Link(const TempFolder& folder, const std::string& name, const std::string& target) {
  EXPECT_EQ(symlink(target.c_str(), folder.File(name).c_str()), 0) << name;
  return folder.File(name);
}

std::string GiveAway(const std::string& path, uid_t uid, gid_t gid) {
  EXPECT_EQ(lchown(path.c_str(), uid, gid), 0) << path;
  return path;
}

// What a case needs beyond a folder of its own.
enum class Needs {
  kNothing,
  kRoot,               // only root may give files away
  kRootsPrivateGroup,  // root's group lists no members, as on a plain system
};

struct TrustCase {
  const char* name;
  bool code;                                           // the library check, else the database check
  std::function<std::string(const TempFolder&)> make;  // returns the path to check
  std::string reason;                                  // "@" stands for the folder; "" when trusted
  Needs needs = Needs::kNothing;
};

bool Unmet(Needs needs) {
  struct group* root = getgrgid(0);
  return (needs != Needs::kNothing && geteuid() != 0) ||
         (needs == Needs::kRootsPrivateGroup && (root == nullptr || root->gr_mem[0] != nullptr));
}

class FileTrustTest : public ::testing::TestWithParam<TrustCase> {};

TEST_P(FileTrustTest, NamesTheEntryOthersCanChange) {
  const TrustCase& c = GetParam();
  if (Unmet(c.needs)) GTEST_SKIP() << "needs root (and root's group of its own)";
  TempFolder folder;
  std::string path = c.make(folder);
  std::optional<std::string> reason = c.code ? UntrustedCodeReason(path) : ExposedDataReason(path);
  std::string expected = c.reason;
  for (size_t at; (at = expected.find('@')) != std::string::npos;)
    expected.replace(at, 1, folder.path());
  EXPECT_EQ(reason.value_or(""), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileTrustTest,
    ::testing::Values(
        TrustCase{"PrivateLibrary", true, [](auto& f) { return Make(f, "lib.so", 0755); }, ""},
        TrustCase{"LibraryInAStickyFolder", true,
                  [](auto& f) {
                    Make(f, "tmp/", 01777);
                    return Make(f, "tmp/lib.so", 0755);
                  },
                  ""},
        TrustCase{"LinkBackUpToATrustedLibrary", true,
                  [](auto& f) {
                    Make(f, "lib.so", 0755);
                    Make(f, "sub/", 0755);
                    return Link(f, "sub/link.so", "../lib.so");
                  },
                  ""},
        TrustCase{"LibraryWritableByOthers", true, [](auto& f) { return Make(f, "lib.so", 0666); },
                  "the file '@/lib.so' is writable by other users (mode 0666)"},
        TrustCase{"LibraryWritableByAGroupOfOthers", true,
                  [](auto& f) { return GiveAway(Make(f, "lib.so", 0775), 0, kStranger); },
                  "the file '@/lib.so' is writable by other users (mode 0775)", Needs::kRoot},
        TrustCase{"LibraryWritableByItsOwnersPrivateGroup", true,
                  [](auto& f) { return GiveAway(Make(f, "lib.so", 0775), 0, 0); }, "",
                  Needs::kRootsPrivateGroup},
        TrustCase{"FolderWritableByOthers", true,
                  [](auto& f) {
                    Make(f, "open/", 0777);
                    return Make(f, "open/lib.so", 0755);
                  },
                  "the folder '@/open' is writable by other users (mode 0777)"},
        TrustCase{"LinkToALibraryOthersCanReplace", true,
                  [](auto& f) {
                    Make(f, "open/", 0777);
                    return Link(f, "link.so", Make(f, "open/lib.so", 0755));
                  },
                  "the folder '@/open' is writable by other users (mode 0777)"},
        TrustCase{"LinkOthersCanReplace", true,
                  [](auto& f) {
                    Make(f, "lib.so", 0755);
                    Make(f, "open/", 0777);
                    return Link(f, "open/link.so", "../lib.so");
                  },
                  "the folder '@/open' is writable by other users (mode 0777)"},
        TrustCase{"RelativePath", true, [](auto&) { return std::string("lib.so"); },
                  "'lib.so' is not an absolute path"},
        TrustCase{"Folder", true, [](auto& f) { return Make(f, "sub/", 0755); },
                  "the folder '@/sub' is not a regular file"},
        TrustCase{"LibraryOfAnotherUser", true,
                  [](auto& f) { return GiveAway(Make(f, "lib.so", 0755), kStranger, 0); },
                  "the file '@/lib.so' belongs to user 4242", Needs::kRoot},
        TrustCase{"FolderOfAnotherUser", true,
                  [](auto& f) {
                    GiveAway(Make(f, "sub/", 0755), kStranger, kStranger);
                    return Make(f, "sub/lib.so", 0755);
                  },
                  "the folder '@/sub' belongs to user 4242", Needs::kRoot},
        TrustCase{"LinkOfAnotherUserInAStickyFolder", true,
                  [](auto& f) {
                    Make(f, "lib.so", 0755);
                    Make(f, "tmp/", 01777);
                    return GiveAway(Link(f, "tmp/link.so", "../lib.so"), kStranger, kStranger);
                  },
                  "the symbolic link '@/tmp/link.so' belongs to user 4242", Needs::kRoot},
        TrustCase{"PrivateDatabase", false, [](auto& f) { return Make(f, "cb.db", 0600); }, ""},
        TrustCase{"DatabaseSharedByOurGroup", false,
                  [](auto& f) {
                    Make(f, "office/", 02770);
                    return Make(f, "office/cb.db", 0660);
                  },
                  ""},
        TrustCase{"DatabaseWritableByOthers", false, [](auto& f) { return Make(f, "cb.db", 0666); },
                  "the file '@/cb.db' is writable by other users (mode 0666)"},
        TrustCase{"DatabaseInAFolderWritableByOthers", false,
                  [](auto& f) {
                    Make(f, "open/", 0777);
                    return Make(f, "open/cb.db", 0600);
                  },
                  "the folder '@/open' is writable by other users (mode 0777)"},
        TrustCase{"DatabaseInAStickyFolder", false,
                  [](auto& f) {
                    Make(f, "tmp/", 01777);
                    return Make(f, "tmp/cb.db", 0600);
                  },
                  "the folder '@/tmp' is writable by other users (mode 1777)"},
        TrustCase{"DatabaseOfAGroupNotOurs", false,
                  [](auto& f) { return GiveAway(Make(f, "cb.db", 0660), 0, kStranger); },
                  "the file '@/cb.db' is writable by other users (mode 0660)", Needs::kRoot},
        TrustCase{"DatabaseOfAnotherUser", false,
                  [](auto& f) { return GiveAway(Make(f, "cb.db", 0600), kStranger, kStranger); },
                  "the file '@/cb.db' belongs to user 4242", Needs::kRoot}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DatabaseFileTest, ANewDatabaseAndItsSideFilesAreTheOwnersOnly) {
  TempFolder folder;
  std::shared_ptr<Database> db = Database::Open(folder.File("new.db"));
  db->SetSetting("regional", "en-US");  // the side files live while the database is open
  for (const char* name : {"new.db", "new.db-wal", "new.db-shm"}) {
    EXPECT_EQ(ModeText(folder.File(name)), "0600") << name;
  }
}

TEST(DatabaseFileTest, TheHostWarnsOnceOfADatabaseOthersCanChange) {
  TempFolder folder;
  std::string path = folder.File("cb.db");
  Database::Open(path).reset();
  for (mode_t mode : {0600, 0660, 0666}) {
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    std::ostringstream out;
    DefaultHost::Options options{path};
    options.out = &out;
    options.err = &out;
    DefaultHost host(options);
    EXPECT_EQ(out.str(), mode != 0666 ? ""
                                      : "warning: the database '" + path +
                                            "' (mode 0666) can be changed by users outside your "
                                            "groups: the file '" +
                                            path +
                                            "' is writable by other users (mode 0666); "
                                            "docs/sharing.md tells how to share it safely\n");
  }
}

}  // namespace
}  // namespace norv::hostkit
