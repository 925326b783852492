#include <sqlite3.h>

#include <filesystem>

#include "store/sql_database.h"

namespace pelk {
namespace {

constexpr int kBusyTimeoutMs = 5000;
// About five "7." runs, or hundreds of smaller ones; reading this much back takes a millisecond.
constexpr std::uintmax_t kLongLogBytes = std::uintmax_t{1} << 20;

// "$7" written "?7": the same parameter to SQLite, which looks a "$" name up among all the names
// before it, so preparing a sixteen-row insert of 176 parameters took it thousands of string
// comparisons; a number it only appends. Quoted text is left as it is.
std::string numberedParameters(const std::string& sql) {
  std::string out = sql;
  char quote = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const char c = out[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '$' && i + 1 < out.size() && out[i + 1] >= '0' && out[i + 1] <= '9') {
      out[i] = '?';
    }
  }
  return out;
}

class SqliteStatement : public SqlStatement {
 public:
  SqliteStatement(sqlite3* db, sqlite3_stmt* stmt, std::string where)
      : db_(db), stmt_(stmt), where_(std::move(where)) {}
  ~SqliteStatement() override { sqlite3_finalize(stmt_); }

  std::vector<SqlRow> run(std::span<const SqlValue> params) override {
    sqlite3_reset(stmt_);
    // Every parameter is bound anew; a short list leaves none of the last run's values behind.
    if (params.size() < static_cast<std::size_t>(sqlite3_bind_parameter_count(stmt_)))
      sqlite3_clear_bindings(stmt_);
    for (std::size_t i = 0; i < params.size(); ++i) bind(static_cast<int>(i) + 1, params[i]);
    std::vector<SqlRow> rows;
    for (;;) {
      int rc = sqlite3_step(stmt_);
      if (rc == SQLITE_DONE) break;
      if (rc != SQLITE_ROW) {
        std::string message = sqlite3_errmsg(db_);
        sqlite3_reset(stmt_);
        throw StoreError(where_ + ": " + message);
      }
      rows.push_back(row());
    }
    sqlite3_reset(stmt_);
    return rows;
  }

 private:
  void bind(int i, const SqlValue& v) {
    int rc = SQLITE_OK;
    if (auto* s = std::get_if<std::string>(&v))
      rc = sqlite3_bind_text(stmt_, i, s->data(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
    else if (auto* n = std::get_if<std::int64_t>(&v)) rc = sqlite3_bind_int64(stmt_, i, *n);
    else if (auto* d = std::get_if<double>(&v)) rc = sqlite3_bind_double(stmt_, i, *d);
    else rc = sqlite3_bind_null(stmt_, i);
    if (rc != SQLITE_OK) throw StoreError(where_ + ": " + sqlite3_errmsg(db_));
  }

  SqlRow row() {
    SqlRow r;
    int n = sqlite3_column_count(stmt_);
    for (int i = 0; i < n; ++i) {
      switch (sqlite3_column_type(stmt_, i)) {
        case SQLITE_INTEGER: r.emplace_back(std::int64_t{sqlite3_column_int64(stmt_, i)}); break;
        case SQLITE_FLOAT: r.emplace_back(sqlite3_column_double(stmt_, i)); break;
        case SQLITE_NULL: r.emplace_back(std::monostate{}); break;
        default: {
          auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
          r.emplace_back(
              std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i))));
        }
      }
    }
    return r;
  }

  sqlite3* db_;
  sqlite3_stmt* stmt_;
  std::string where_;
};

class SqliteDatabase : public SqlDatabase {
 public:
  SqliteDatabase(sqlite3* db, std::string path) : db_(db), where_("store " + std::move(path)) {}
  ~SqliteDatabase() override {
    dropCached();
    sqlite3_close_v2(db_);
  }

  SqlDialect dialect() const override { return SqlDialect::kSqlite; }

  void exec(const std::string& sql) override {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
      std::string text = message ? message : sqlite3_errmsg(db_);
      sqlite3_free(message);
      throw StoreError(where_ + ": " + text);
    }
  }

  std::unique_ptr<SqlStatement> prepare(const std::string& given) override {
    const std::string sql = numberedParameters(given);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr) !=
        SQLITE_OK)
      throw StoreError(where_ + ": " + sqlite3_errmsg(db_));
    return std::make_unique<SqliteStatement>(db_, stmt, where_);
  }

  void beginWrite() override { exec("BEGIN IMMEDIATE"); }

 private:
  sqlite3* db_;
  std::string where_;
};

// Every opener first reads the whole log back, so a writer keeps it short: a log past
// kLongLogBytes is copied back and cut to nothing, unless another connection is using it (then
// it is left for a later opener rather than waited for).
void keepLogShort(sqlite3* db, const std::string& path) {
  if (!sqliteLogIsLong(path)) return;
  sqlite3_busy_timeout(db, 0);
  if (sqlite3_wal_checkpoint_v2(db, "main", SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr) ==
      SQLITE_OK) {
    // The first write to a fresh log waits for the disk to confirm the log's header. One write
    // that changes nothing does that now, beside the command, not in its recording. (A write of
    // a value the page already holds is skipped, hence the pair.)
    sqlite3_exec(db,
                 "BEGIN IMMEDIATE; UPDATE schema_version SET version = version + 1;"
                 " UPDATE schema_version SET version = version - 1; COMMIT",
                 nullptr, nullptr, nullptr);
    if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
}

}  // namespace

std::unique_ptr<SqlDatabase> openSqlite(const std::string& path, bool create,
                                        LogCopyBack copyBack) {
  // The library's count of its memory in use takes a lock at every allocation, thousands for a
  // run's rows; nothing here reads it. Settable only before the library starts, so once.
  static const int counted = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  (void)counted;
  sqlite3* db = nullptr;
  int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
  int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK && rc != SQLITE_CANTOPEN) {
    std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close_v2(db);
    throw StoreError("store " + path + ": " + message);
  }
  if (rc == SQLITE_CANTOPEN) {
    // A read-only file can still be read back; anything else cannot be opened at all.
    sqlite3_close_v2(db);
    db = nullptr;
    rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
      sqlite3_close_v2(db);
      throw StoreError("store " + path + ": cannot open the file (missing folder or no access)");
    }
  }
  auto database = std::make_unique<SqliteDatabase>(db, path);
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  // Pages are read, not mapped: a connection lives for one command, and every page it mapped
  // would cost it a page fault, which was dearer than a read (the history of 1,000 runs in a
  // store of 100,000 took 79 ms mapped, 36 to 39 ms read).
  database->exec("PRAGMA foreign_keys = ON");
  // Closing leaves the log as it is. Copying it back into the database on close needs the disk
  // to confirm its writes, and right after a command has written its result files that means
  // waiting for all of them to reach the disk too (about 10 ms after a "7." run). The log is
  // copied back instead when a writer opens the store and finds it long (keepLogShort), which the
  // command line does beside the running command.
  sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  if (!sqlite3_db_readonly(db, "main")) {
    // WAL lets readers and one writer work at once; NORMAL sync makes a run durable across a
    // crash of the program, and the log's checksums keep the database whole across a power cut,
    // which can at most lose the runs of the last moments (as it can the result files
    // themselves, which are not synced either).
    database->exec(
        "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;"
        " PRAGMA journal_size_limit = 4194304");
    if (copyBack == LogCopyBack::kOnOpen) keepLogShort(db, path);
    if (copyBack == LogCopyBack::kByResidentWriter) database->exec("PRAGMA wal_autocheckpoint = 0");
  }
  return database;
}

std::uintmax_t sqliteLogBytes(const std::string& path) {
  std::error_code ec;
  const auto logSize = std::filesystem::file_size(path + "-wal", ec);
  return ec ? 0 : logSize;
}

bool sqliteLogIsLong(const std::string& path) { return sqliteLogBytes(path) > kLongLogBytes; }

void copySqliteLogBackIfLong(const std::string& path) {
  if (!sqliteLogIsLong(path)) return;
  try {
    openSqlite(path, false);  // a writer's open does it
  } catch (const StoreError&) {
    // Not reachable now: a later writer tries again.
  }
}

void copySqliteLogBackBeside(const std::string& path) {
  sqlite3* db = nullptr;
  // A connection learns that the store keeps a log when it first reads it.
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) ==
          SQLITE_OK &&
      sqlite3_exec(db, "SELECT 1 FROM sqlite_master LIMIT 1", nullptr, nullptr, nullptr) ==
          SQLITE_OK) {
    // A few rounds, since the writer may add to the log meanwhile; the log can start anew only
    // once a round has copied all of it.
    for (int round = 0, previous = -1; round < 8; ++round) {
      int logged = 0, copied = 0;
      if (sqlite3_wal_checkpoint_v2(db, "main", SQLITE_CHECKPOINT_PASSIVE, &logged, &copied) !=
              SQLITE_OK ||
          copied >= logged || copied == previous)
        break;
      previous = copied;
    }
  }
  sqlite3_close_v2(db);
}

}  // namespace pelk
