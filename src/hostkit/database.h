// Database: the one SQLite file of the default host (reference books, form
// settings, imported statements, settings, the component registry).
//
// Open creates the file and its tables on first use; the schema version lives
// in the file (user_version) and a file written by a newer program is refused.
// The journal is WAL, so readers never wait for the writer. Each statement that
// runs outside Transaction() commits by itself. Every SQLite failure is raised as
// a ComError (source "DefaultHost.Database") whose description names the file:
// a busy database (another program holds the write lock for longer than the busy
// timeout) is error 75, a read-only one error 70, a file that is no database of
// ours error 57.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace norv::hostkit {

class Database;

// One use of a prepared statement: bind, step, read columns. The statement is
// kept prepared by its Database; the use resets it when it ends.
class Statement {
 public:
  Statement(Database& db, sqlite3_stmt* stmt) : db_(&db), stmt_(stmt) {}
  ~Statement();
  Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) {
    other.stmt_ = nullptr;
  }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  Statement& operator=(Statement&&) = delete;

  // Parameters are numbered from 1.
  Statement& BindNull(int index);
  Statement& Bind(int index, int64_t value);
  Statement& Bind(int index, double value);
  Statement& Bind(int index, std::u16string_view text);
  Statement& Bind(int index, std::string_view utf8);

  // Runs to the next row: true when there is one, false when done.
  bool Step();
  // Runs a statement that returns no rows.
  void Run();
  // Makes the statement ready to run again, keeping its bindings.
  void Reset();

  // Columns are numbered from 0.
  bool IsNull(int column) const;
  int64_t Int64(int column) const;
  double Double(int column) const;
  std::u16string Text(int column) const;
  std::string Utf8(int column) const;

 private:
  Database* db_;
  sqlite3_stmt* stmt_;
};

class Database {
 public:
  static constexpr int kSchemaVersion = 2;

  struct Options {
    // How long a write waits for another program's lock before it fails.
    int busy_timeout_ms = 5000;
  };

  // Opens `path`, creating the file and the schema when they are missing.
  static std::shared_ptr<Database> Open(const std::string& path, Options options);
  static std::shared_ptr<Database> Open(const std::string& path) { return Open(path, Options{}); }
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  const std::string& path() const { return path_; }

  // The statement for `sql`, prepared on first use and kept.
  Statement Prepare(const std::string& sql);
  // Runs SQL text without results (one or more statements).
  void Execute(const std::string& sql);

  // Runs `fn` between BEGIN IMMEDIATE and COMMIT; rolls back and rethrows when
  // it raises.
  template <typename Fn>
  void Transaction(Fn&& fn) {
    Execute("BEGIN IMMEDIATE");
    try {
      fn();
    } catch (...) {
      Rollback();
      throw;
    }
    Execute("COMMIT");
  }

  // The row id of the last insert, and the rows changed by the last statement.
  int64_t LastInsertRowId() const;
  int64_t Changes() const;

  // Runs `fn` inside a savepoint, which nests in a transaction or stands alone;
  // what it changed is undone when it raises.
  template <typename Fn>
  auto Savepoint(Fn&& fn) {
    Execute("SAVEPOINT hostkit");
    try {
      auto result = fn();
      Execute("RELEASE hostkit");
      return result;
    } catch (...) {
      RollbackSavepoint();
      throw;
    }
  }

  // Settings: small named texts (the regional preset, the line converter's code page).
  std::string Setting(std::string_view key, std::string_view fallback);
  void SetSetting(std::string_view key, std::string_view value);

  // Raises the ComError for SQLite result code `rc` met while doing `action`.
  [[noreturn]] void Fail(int rc, std::string_view action) const;

 private:
  Database(std::string path, sqlite3* handle);
  void CreateOrCheckSchema();
  void Rollback() noexcept;
  void RollbackSavepoint() noexcept;

  std::string path_;
  sqlite3* handle_;
  std::map<std::string, sqlite3_stmt*, std::less<>> statements_;
};

}  // namespace norv::hostkit
