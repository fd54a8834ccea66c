#include "commands.h"

#include <filesystem>
#include <vector>

#include "demo_data.h"
#include "hostkit/book_layouts.h"
#include "hostkit/file_trust.h"
#include "hostkit/sqlite_books.h"
#include "job_commands.h"
#include "json_records.h"
#include "runtime/com_error.h"
#include "runtime/text.h"

namespace clientbank {

using norv::U16ToUtf8;
using norv::Utf8ToU16;
namespace hostkit = norv::hostkit;

namespace {

const hostkit::BookLayout& BookNamed(const std::string& name) {
  const hostkit::BookLayout* book = hostkit::FindBook(Utf8ToU16(name));
  if (book == nullptr) {
    std::string known;
    for (const hostkit::BookLayout& each : hostkit::AllBooks()) {
      known += (known.empty() ? "" : ", ") + U16ToUtf8(each.name);
    }
    Fail(norv::kErrInvalidCall, "the host has no book '" + name + "' (books: " + known + ")");
  }
  return *book;
}

std::string FolderOfDatabase(const std::string& db) {
  return std::filesystem::absolute(db).parent_path().lexically_normal().string();
}

}  // namespace

int RunInit(Session& session, bool demo) {
  session.EnsureRegistered();
  const std::string& path = session.host().database()->path();
  std::string mode = hostkit::ModeText(path);
  session.out() << "database " << std::filesystem::absolute(path).lexically_normal().string()
                << " is ready (mode " << mode
                << (mode.ends_with("00") ? ": only its owner can read and change it" : "") << ")\n";
  if (demo) {
    DemoCounts counts = AddDemoReferenceData(session.host(), FolderOfDatabase(path));
    session.out() << "demo reference data: " << counts.currencies << " currencies, "
                  << counts.rate_types << " rate types, " << counts.currency_rate_types
                  << " currency rate types, " << counts.path_keys << " folder keys ("
                  << FolderOfDatabase(path) << ")\n";
  }
  return kExitOk;
}

int RunBooksList(Session& session, const std::string& name) {
  const hostkit::BookLayout& book = BookNamed(name);
  hostkit::BookStore store(session.host().database());
  for (const hostkit::BookRecord& record : store.List(book)) {
    session.out() << BookRecordJson(book, record).dump() << '\n';
  }
  return kExitOk;
}

int RunBooksAdd(Session& session, const std::string& name, const std::string& file) {
  const hostkit::BookLayout& book = BookNamed(name);
  Json array = ReadJsonArray(file);
  std::vector<hostkit::BookRecord> records;
  for (const Json& object : array)
    records.push_back(ReadBookRecord(book, object, records.size() + 1));
  hostkit::BookStore store(session.host().database());
  session.host().database()->Transaction([&] {
    for (const hostkit::BookRecord& record : records) store.Put(book, record);
  });
  session.out() << "added or replaced " << records.size() << " records of " << name << '\n';
  return kExitOk;
}

int RunPathsSet(Session& session, const std::string& key, const std::string& folder) {
  std::string absolute = std::filesystem::absolute(folder).lexically_normal().string();
  hostkit::BookStore store(session.host().database());
  store.Put(*hostkit::FindBook(u"PathKey"),
            {{u"Key", Utf8ToU16(key)}, {u"EntryPath", Utf8ToU16(absolute)}});
  session.out() << "PathKey " << key << " = " << absolute << '\n';
  return kExitOk;
}

int RunRegister(Session& session, const std::string& library) {
  for (const std::string& name : session.registry().RegisterLibrary(library)) {
    session.out() << "registered " << name << " -> " << session.registry().LibraryOf(name) << '\n';
  }
  return kExitOk;
}

int RunUnregister(Session& session, const std::string& library) {
  std::vector<std::string> removed = session.registry().UnregisterLibrary(library);
  for (const std::string& name : removed) session.out() << "unregistered " << name << '\n';
  if (removed.empty()) {
    session.err() << "clientbank: no class was registered for " << library << '\n';
    return kExitNothingDone;
  }
  return kExitOk;
}

int RunSettingsShow(Session& session) {
  session.out() << "regional " << session.host().RegionalPreset() << '\n'
                << "code-page " << session.host().CodePage() << '\n';
  return kExitOk;
}

int RunSettingsSet(Session& session, const std::string& name, const std::string& value) {
  if (name == "regional") {
    session.host().SetRegionalPreset(value);
  } else if (value == "1257" || value == "775") {
    session.host().SetCodePage(std::stoi(value));
  } else {
    Fail(norv::kErrInvalidCall, "the code page is 1257 or 775, not '" + value + "'");
  }
  return RunSettingsShow(session);
}

}  // namespace clientbank
