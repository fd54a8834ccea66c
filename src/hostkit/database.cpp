#include "hostkit/database.h"

#include <sqlite3.h>

#include <iterator>
#include <optional>

#include "hostkit/book_layouts.h"
#include "hostkit/file_trust.h"
#include "hostkit/host_error.h"
#include "runtime/com_error.h"
#include "runtime/text.h"

namespace norv::hostkit {

namespace {

constexpr char16_t kSource[] = u"DefaultHost.Database";
// "NORV": marks the file as ours, so that another program's database is refused
// instead of having our tables added to it.
constexpr int kApplicationId = 0x4E4F5256;

std::string SchemaSql() {
  std::string sql =
      "CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT NOT NULL);"
      "CREATE TABLE form_settings (form TEXT NOT NULL, key TEXT NOT NULL, kind INTEGER NOT NULL,"
      " value, PRIMARY KEY (form, key));"
      "CREATE TABLE component_classes (class_name TEXT PRIMARY KEY, library TEXT NOT NULL);"
      "CREATE TABLE statement_docs (id INTEGER PRIMARY KEY AUTOINCREMENT, imported_at REAL NOT "
      "NULL,"
      " file TEXT NOT NULL, account TEXT NOT NULL, DocKind INTEGER, ClientAccount TEXT,"
      " CorrAccount TEXT, CorrCode TEXT, CorrBankName TEXT, Amount INTEGER, CurrencyCode TEXT,"
      " IsDebit INTEGER, CurrencyKind INTEGER, DocNumber TEXT, OpDate REAL, Comment TEXT,"
      " ClientIban TEXT, CorrIban TEXT);";
  for (const BookLayout& book : AllBooks()) sql += CreateTableSql(book) + ";";
  return sql;
}

// The stored things a table holds, as a user knows them.
std::string TableInWords(std::string_view table) {
  if (table.starts_with("book_")) return "the book " + std::string(table.substr(5));
  if (table == "statement_docs") return "the imported statements";
  if (table == "statement_imports") return "the list of imported statements";
  if (table == "form_settings") return "the form settings";
  if (table == "settings") return "the settings";
  if (table == "component_classes") return "the component registry";
  return "the table " + std::string(table);
}

// The word after `keyword` in `sql` (a table name), or "".
std::string_view WordAfter(std::string_view sql, std::string_view keyword) {
  const size_t at = sql.find(keyword);
  if (at == std::string_view::npos) return {};
  std::string_view rest = sql.substr(at + keyword.size());
  const size_t end = rest.find_first_of(" (;");
  return rest.substr(0, end);
}

// What the SQL text `action` does, in words; other texts are words already.
std::string ActionInWords(std::string_view action) {
  auto starts = [&](std::string_view word) { return action.starts_with(word); };
  if (starts("BEGIN") || starts("SAVEPOINT")) return "starting a change";
  if (starts("COMMIT") || starts("RELEASE")) return "saving the changes";
  if (starts("ROLLBACK")) return "undoing the changes";
  if (starts("SELECT")) return "reading " + TableInWords(WordAfter(action, " FROM "));
  if (starts("INSERT")) return "adding to " + TableInWords(WordAfter(action, "INTO "));
  if (starts("UPDATE")) return "changing " + TableInWords(WordAfter(action, "UPDATE "));
  if (starts("DELETE")) return "removing from " + TableInWords(WordAfter(action, "FROM "));
  if (starts("CREATE")) return "creating the tables";
  if (starts("PRAGMA")) {
    return action.find('=') != std::string_view::npos ? "setting up the database"
                                                      : "reading the database's header";
  }
  // Other SQL text (words begin in lower case).
  if (!action.empty() && action[0] >= 'A' && action[0] <= 'Z') return "working on the database";
  return std::string(action);
}

// The steps from each schema version to the next, in order: step i takes a
// file from version i + 1 to i + 2. A new file gets the first schema and then
// every step, so that old and new files end up alike.
constexpr const char* kSchemaSteps[] = {
    // 2: a fingerprint of each imported document (the look-up of documents
    // imported before) and the account's date range of each import. The index
    // leads with account and date, so that a statement's documents, which come
    // in date order, go into neighbouring index pages.
    "ALTER TABLE statement_docs ADD COLUMN fingerprint INTEGER;"
    "CREATE INDEX statement_docs_by_fingerprint ON statement_docs (ClientAccount, OpDate, "
    "fingerprint);"
    "CREATE TABLE statement_imports (id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " imported_at REAL NOT NULL, file TEXT NOT NULL, account TEXT NOT NULL,"
    " date_from REAL NOT NULL, date_to REAL NOT NULL);"
    "CREATE INDEX statement_imports_by_account ON statement_imports (account, date_from);",
};
static_assert(std::size(kSchemaSteps) + 1 == Database::kSchemaVersion);

}  // namespace

// --- Statement ---

Statement::~Statement() {
  if (stmt_ != nullptr) {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
}

Statement& Statement::BindNull(int index) {
  int rc = sqlite3_bind_null(stmt_, index);
  if (rc != SQLITE_OK) db_->Fail(rc, "binding a value");
  return *this;
}

Statement& Statement::Bind(int index, int64_t value) {
  int rc = sqlite3_bind_int64(stmt_, index, value);
  if (rc != SQLITE_OK) db_->Fail(rc, "binding a value");
  return *this;
}

Statement& Statement::Bind(int index, double value) {
  int rc = sqlite3_bind_double(stmt_, index, value);
  if (rc != SQLITE_OK) db_->Fail(rc, "binding a value");
  return *this;
}

Statement& Statement::Bind(int index, std::u16string_view text) {
  int rc = sqlite3_bind_text16(stmt_, index, text.data(), static_cast<int>(text.size() * 2),
                               SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) db_->Fail(rc, "binding a value");
  return *this;
}

Statement& Statement::Bind(int index, std::string_view utf8) {
  int rc =
      sqlite3_bind_text(stmt_, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) db_->Fail(rc, "binding a value");
  return *this;
}

bool Statement::Step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  // The statement's own result code is generic after a failed step; the
  // connection's extended code says what happened.
  db_->Fail(rc, sqlite3_sql(stmt_) != nullptr ? sqlite3_sql(stmt_) : "running a statement");
}

void Statement::Run() {
  while (Step()) {
  }
}

void Statement::Reset() { sqlite3_reset(stmt_); }

bool Statement::IsNull(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

int64_t Statement::Int64(int column) const { return sqlite3_column_int64(stmt_, column); }

double Statement::Double(int column) const { return sqlite3_column_double(stmt_, column); }

std::u16string Statement::Text(int column) const {
  const void* data = sqlite3_column_text16(stmt_, column);
  if (data == nullptr) return u"";
  int bytes = sqlite3_column_bytes16(stmt_, column);
  return std::u16string(static_cast<const char16_t*>(data), static_cast<size_t>(bytes) / 2);
}

std::string Statement::Utf8(int column) const {
  const unsigned char* data = sqlite3_column_text(stmt_, column);
  if (data == nullptr) return "";
  int bytes = sqlite3_column_bytes(stmt_, column);
  return std::string(reinterpret_cast<const char*>(data), static_cast<size_t>(bytes));
}

// --- Database ---

Database::Database(std::string path, sqlite3* handle, int busy_timeout_ms)
    : path_(std::move(path)), handle_(handle), busy_timeout_ms_(busy_timeout_ms) {}

Database::~Database() {
  for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
  sqlite3_close_v2(handle_);
}

std::shared_ptr<Database> Database::Open(const std::string& path, Options options) {
  // The file holds bank data: a new one is created for its owner only before
  // SQLite opens it (SQLite would create it 0644), and SQLite gives the -wal,
  // -shm and -journal files the database file's mode.
  if (!path.empty() && path != ":memory:" && !path.starts_with("file:")) CreateOwnerOnlyFile(path);
  sqlite3* handle = nullptr;
  int rc =
      sqlite3_open_v2(path.c_str(), &handle,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  std::shared_ptr<Database> db(new Database(path, handle, options.busy_timeout_ms));
  if (rc != SQLITE_OK) db->Fail(rc, "opening the database");
  sqlite3_extended_result_codes(handle, 1);
  sqlite3_busy_timeout(handle, options.busy_timeout_ms);
  db->CreateOrCheckSchema();
  return db;
}

void Database::CreateOrCheckSchema() {
  int64_t version = 0;
  int64_t application_id = 0;
  {
    Statement read = Prepare("PRAGMA user_version");
    if (read.Step()) version = read.Int64(0);
  }
  {
    Statement read = Prepare("PRAGMA application_id");
    if (read.Step()) application_id = read.Int64(0);
  }
  if (application_id != 0 && application_id != kApplicationId) {
    RaiseHostError(kErrDeviceIo, kSource,
                   Utf8ToU16("the file '" + path_ + "' is the database of another program"));
  }
  if (version > kSchemaVersion) {
    RaiseHostError(
        kErrDeviceIo, kSource,
        Utf8ToU16("the database '" + path_ + "' has schema version " + std::to_string(version) +
                  ", newer than this program's " + std::to_string(kSchemaVersion)));
  }
  if (version == kSchemaVersion) return;
  // A new file: WAL first (it cannot change inside a transaction), then the tables.
  if (version == 0) Execute("PRAGMA journal_mode=WAL");
  Transaction([&] {
    // Another program may have created the schema while we waited for the lock.
    int64_t current = 0;
    {
      Statement read = Prepare("PRAGMA user_version");
      if (read.Step()) current = read.Int64(0);
    }
    if (current == kSchemaVersion) return;
    if (current == 0) {
      Execute(SchemaSql());
      Execute("PRAGMA application_id=" + std::to_string(kApplicationId));
      current = 1;
    }
    for (; current < kSchemaVersion; ++current) Execute(kSchemaSteps[current - 1]);
    Execute("PRAGMA user_version=" + std::to_string(kSchemaVersion));
  });
}

Statement Database::Prepare(const std::string& sql) {
  auto it = statements_.find(sql);
  if (it == statements_.end()) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v3(handle_, sql.c_str(), static_cast<int>(sql.size()),
                                SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) Fail(rc, sql);
    it = statements_.emplace(sql, stmt).first;
  }
  return Statement(*this, it->second);
}

void Database::Execute(const std::string& sql) {
  int rc = sqlite3_exec(handle_, sql.c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) Fail(rc, sql);
}

void Database::Begin() { Execute("BEGIN IMMEDIATE"); }

void Database::Commit() {
  const int rc = sqlite3_exec(handle_, "COMMIT", nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) return;
  // The error is taken before the rollback, which would replace SQLite's message.
  std::optional<ComError> error;
  try {
    Fail(rc, "COMMIT");
  } catch (const ComError& failure) {
    error = failure;
  }
  Rollback();
  throw *error;
}

void Database::CommitAfterFailure() noexcept {
  // SQLite may have rolled back by itself (a full disk, an I/O error).
  if (sqlite3_get_autocommit(handle_) != 0) return;
  if (sqlite3_exec(handle_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) Rollback();
}

void Database::Rollback() noexcept {
  if (sqlite3_get_autocommit(handle_) == 0)
    sqlite3_exec(handle_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Database::RollbackSavepoint() noexcept {
  sqlite3_exec(handle_, "ROLLBACK TO hostkit; RELEASE hostkit", nullptr, nullptr, nullptr);
}

bool Database::InTransaction() const { return sqlite3_get_autocommit(handle_) == 0; }

int64_t Database::LastInsertRowId() const { return sqlite3_last_insert_rowid(handle_); }

int64_t Database::Changes() const { return sqlite3_changes64(handle_); }

std::string Database::Setting(std::string_view key, std::string_view fallback) {
  Statement read = Prepare("SELECT value FROM settings WHERE key = ?");
  read.Bind(1, key);
  if (read.Step()) return read.Utf8(0);
  return std::string(fallback);
}

void Database::SetSetting(std::string_view key, std::string_view value) {
  Prepare(
      "INSERT INTO settings (key, value) VALUES (?, ?) "
      "ON CONFLICT (key) DO UPDATE SET value = excluded.value")
      .Bind(1, key)
      .Bind(2, value)
      .Run();
}

void Database::Fail(int rc, std::string_view action) const {
  int extended = handle_ != nullptr ? sqlite3_extended_errcode(handle_) : rc;
  if ((extended & 0xff) != (rc & 0xff)) extended = rc;
  std::string message = handle_ != nullptr ? sqlite3_errmsg(handle_) : sqlite3_errstr(rc);
  std::string file = "'" + path_ + "'";
  int32_t number = kErrInvalidCall;
  std::string detail;
  switch (extended & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      number = kErrPathFileAccess;
      // A snapshot that another program's write made stale fails without waiting.
      detail = "the database " + file +
               (extended == SQLITE_BUSY_SNAPSHOT
                    ? " was changed by another program while this one read it"
                    : " is busy: another program held it for all of the " +
                          std::to_string(busy_timeout_ms_) + " ms this program waited") +
               "; try again when it has finished";
      break;
    case SQLITE_READONLY:
      number = kErrPermissionDenied;
      detail = "the database " + file + " is read-only and cannot be changed (" + message + ")";
      break;
    case SQLITE_PERM:
    case SQLITE_AUTH:
      number = kErrPermissionDenied;
      detail = "the database " + file + " may not be accessed (" + message + ")";
      break;
    case SQLITE_CANTOPEN:
      number = kErrPathFileAccess;
      detail = "the database " + file +
               " cannot be opened: its folder is missing or not accessible (" + message + ")";
      break;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      number = kErrDeviceIo;
      detail = "the file " + file + " is not a database or is damaged (" + message + ")";
      break;
    case SQLITE_FULL:
      number = kErrDiskFull;
      detail = "the database " + file + " cannot grow (" + message + ")";
      break;
    case SQLITE_IOERR:
      number = kErrDeviceIo;
      detail = "reading or writing the database " + file + " failed (" + message + ")";
      break;
    default:
      detail = "the database " + file + ": " + message;
      break;
  }
  detail += " (while " + ActionInWords(action) + ")";
  RaiseHostError(number, kSource, Utf8ToU16(detail));
}

}  // namespace norv::hostkit
