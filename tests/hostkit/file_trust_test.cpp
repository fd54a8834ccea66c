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
#include "support/data_files.h"
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

// Whether this run can make the entries a case needs: "root" cases give files
// away (to user and group 4242), "roots-private-group" ones also need root's
// group to list no members, as on a plain system.
bool Unmet(const std::string& needs) {
  struct group* root = getgrgid(0);
  return (!needs.empty() && geteuid() != 0) ||
         (needs == "roots-private-group" && (root == nullptr || root->gr_mem[0] != nullptr));
}

// tests/data/file_trust/manifest.tsv: the check, the entries made, the path
// checked and the reason named, "" when the path is trusted.
TEST(FileTrustTest, NamesTheEntryOthersCanChange) {
  for (const testing::Row& row : testing::Manifest("file_trust", 6)) {
    SCOPED_TRACE(row[0]);
    if (Unmet(row[5])) continue;
    TempFolder folder;
    std::istringstream entries(row[2]);
    for (std::string entry; std::getline(entries, entry, ';');) Make(folder, entry);
    const std::string checked = InFolder(folder, row[3]);
    std::optional<std::string> reason =
        row[1] == "code" ? UntrustedCodeReason(checked) : ExposedDataReason(checked);
    EXPECT_EQ(reason.value_or(""), InFolder(folder, row[4]));
  }
}

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
