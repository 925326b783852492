#pragma once
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace pelk {

// A value bound to a statement or read from a row. PostgreSQL hands every value back as text;
// the readers below convert.
using SqlValue = std::variant<std::monostate, std::int64_t, double, std::string>;
using SqlRow = std::vector<SqlValue>;

bool sqlIsNull(const SqlValue& v);
std::string sqlText(const SqlValue& v);
std::int64_t sqlInt(const SqlValue& v);
double sqlReal(const SqlValue& v);

// Why the store could not do what it was asked: the message names the store and the cause.
class StoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A statement prepared once and run many times. Parameters are written $1, $2, ... in the SQL,
// each used once and in order, which both databases accept; every value is bound, never spliced.
class SqlStatement {
 public:
  virtual ~SqlStatement() = default;
  virtual std::vector<SqlRow> run(std::span<const SqlValue> params) = 0;
  std::vector<SqlRow> run(std::initializer_list<SqlValue> params) {
    return run(std::span(params.begin(), params.size()));
  }
};

enum class SqlDialect { kSqlite, kPostgres };

// One open connection to a store.
class SqlDatabase {
 public:
  virtual ~SqlDatabase() = default;
  virtual SqlDialect dialect() const = 0;
  // Runs one or more statements without parameters.
  virtual void exec(const std::string& sql) = 0;
  virtual std::unique_ptr<SqlStatement> prepare(const std::string& sql) = 0;
  // Begins a transaction that takes the write lock at once, so two writers queue at the start
  // instead of one failing half way.
  virtual void beginWrite() = 0;

  std::vector<SqlRow> query(const std::string& sql, const std::vector<SqlValue>& params = {}) {
    return prepare(sql)->run(params);
  }

  // The statement for `sql`, prepared at its first use on this connection and kept: preparing
  // the many-row inserts of a run cost as much as running them.
  SqlStatement& cached(const std::string& sql) {
    auto& statement = cache_[sql];
    if (!statement) statement = prepare(sql);
    return *statement;
  }

 protected:
  // Finalizes the kept statements: a connection does this before it closes.
  void dropCached() { cache_.clear(); }

 private:
  std::map<std::string, std::unique_ptr<SqlStatement>, std::less<>> cache_;
};

// Rolls back an open transaction unless it was committed.
class SqlTransaction {
 public:
  explicit SqlTransaction(SqlDatabase& db) : db_(db) { db_.beginWrite(); }
  ~SqlTransaction();
  void commit();
  SqlTransaction(const SqlTransaction&) = delete;
  SqlTransaction& operator=(const SqlTransaction&) = delete;

 private:
  SqlDatabase& db_;
  bool open_ = true;
};

// Opens a SQLite store; a writer finding its log long copies it back first, unless told that
// its owner does that afterwards (copySqliteLogBackIfLong). A resident writer, which keeps its
// connection open and so spares every other connection the reading back of the log, copies it
// back when it is idle: its commits never do.
enum class LogCopyBack { kOnOpen, kByOwner, kByResidentWriter };
std::unique_ptr<SqlDatabase> openSqlite(const std::string& path, bool create,
                                        LogCopyBack copyBack = LogCopyBack::kOnOpen);

// Whether the log of the SQLite store at `path` has grown long enough to be copied back.
bool sqliteLogIsLong(const std::string& path);
// The size of that log in bytes (0 when there is none).
std::uintmax_t sqliteLogBytes(const std::string& path);

// Copies the log of the SQLite store at `path` back into the database and cuts it, when it has
// grown long and no other connection is using it; otherwise leaves it. Never throws.
void copySqliteLogBackIfLong(const std::string& path);
// Copies the log back without waiting for, or holding up, other connections' writes (it is cut
// by the next write once all of it is copied). Never throws.
void copySqliteLogBackBeside(const std::string& path);
// Loads the PostgreSQL client library on first use.
std::unique_ptr<SqlDatabase> openPostgres(const std::string& url);

}  // namespace pelk
