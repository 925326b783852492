#include <dlfcn.h>
#include <libpq-fe.h>

#include <charconv>

#include "store/result_store.h"
#include "store/sql_database.h"

namespace pelk {
namespace {

// The client library's entry points, resolved once. Only the types come from its header, so
// the program does not link it and a run without a PostgreSQL store never loads it.
struct LibPq {
  decltype(&PQconnectdb) connectdb;
  decltype(&PQstatus) status;
  decltype(&PQerrorMessage) errorMessage;
  decltype(&PQfinish) finish;
  decltype(&PQexec) exec;
  decltype(&PQprepare) prepare;
  decltype(&PQexecPrepared) execPrepared;
  decltype(&PQresultStatus) resultStatus;
  decltype(&PQresultErrorMessage) resultErrorMessage;
  decltype(&PQclear) clear;
  decltype(&PQntuples) ntuples;
  decltype(&PQnfields) nfields;
  decltype(&PQgetvalue) getvalue;
  decltype(&PQgetisnull) getisnull;
  decltype(&PQgetlength) getlength;
  decltype(&PQsetNoticeProcessor) setNoticeProcessor;
};

template <typename F>
void resolve(void* handle, F& f, const char* name) {
  f = reinterpret_cast<F>(dlsym(handle, name));
  if (!f) throw StoreError(std::string("the PostgreSQL client library lacks ") + name);
}

const LibPq& libpq() {
  static const LibPq lib = [] {
    void* handle = dlopen("libpq.so.5", RTLD_NOW | RTLD_LOCAL);
    if (!handle)
      throw StoreError(std::string("cannot load the PostgreSQL client library libpq.so.5: ") +
                       dlerror());
    LibPq l{};
    resolve(handle, l.connectdb, "PQconnectdb");
    resolve(handle, l.status, "PQstatus");
    resolve(handle, l.errorMessage, "PQerrorMessage");
    resolve(handle, l.finish, "PQfinish");
    resolve(handle, l.exec, "PQexec");
    resolve(handle, l.prepare, "PQprepare");
    resolve(handle, l.execPrepared, "PQexecPrepared");
    resolve(handle, l.resultStatus, "PQresultStatus");
    resolve(handle, l.resultErrorMessage, "PQresultErrorMessage");
    resolve(handle, l.clear, "PQclear");
    resolve(handle, l.ntuples, "PQntuples");
    resolve(handle, l.nfields, "PQnfields");
    resolve(handle, l.getvalue, "PQgetvalue");
    resolve(handle, l.getisnull, "PQgetisnull");
    resolve(handle, l.getlength, "PQgetlength");
    resolve(handle, l.setNoticeProcessor, "PQsetNoticeProcessor");
    return l;
  }();
  return lib;
}

// The server's message on one line: its hints come on lines of their own.
std::string trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  std::string line;
  for (char c : s) {
    if (c == '\n') line += "; ";
    else if (c != '\t') line += c;
  }
  return line;
}

class PgResult {
 public:
  explicit PgResult(PGresult* r) : r_(r) {}
  ~PgResult() { libpq().clear(r_); }
  PGresult* get() const { return r_; }
  PgResult(const PgResult&) = delete;
  PgResult& operator=(const PgResult&) = delete;

 private:
  PGresult* r_;
};

void check(const PgResult& result, const std::string& where) {
  ExecStatusType s = libpq().resultStatus(result.get());
  if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
    throw StoreError(where + ": " + trimmed(libpq().resultErrorMessage(result.get())));
}

std::string text(const SqlValue& v) {
  if (auto* d = std::get_if<double>(&v)) {
    char buffer[32];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, *d).ptr;  // shortest exact form
    return std::string(buffer, end);
  }
  return sqlText(v);
}

class PgStatement : public SqlStatement {
 public:
  PgStatement(PGconn* conn, std::string name, std::string where)
      : conn_(conn), name_(std::move(name)), where_(std::move(where)) {}

  std::vector<SqlRow> run(std::span<const SqlValue> params) override {
    std::vector<std::string> texts;
    texts.reserve(params.size());
    std::vector<const char*> values;
    for (const SqlValue& p : params) {
      texts.push_back(text(p));
      values.push_back(sqlIsNull(p) ? nullptr : texts.back().c_str());
    }
    PgResult result(libpq().execPrepared(conn_, name_.c_str(), static_cast<int>(values.size()),
                                         values.data(), nullptr, nullptr, 0));
    check(result, where_);
    std::vector<SqlRow> rows;
    int n = libpq().ntuples(result.get());
    int fields = libpq().nfields(result.get());
    rows.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
      SqlRow row;
      for (int f = 0; f < fields; ++f) {
        if (libpq().getisnull(result.get(), i, f)) row.emplace_back(std::monostate{});
        else
          row.emplace_back(
              std::string(libpq().getvalue(result.get(), i, f),
                          static_cast<std::size_t>(libpq().getlength(result.get(), i, f))));
      }
      rows.push_back(std::move(row));
    }
    return rows;
  }

 private:
  PGconn* conn_;
  std::string name_;
  std::string where_;
};

class PgDatabase : public SqlDatabase {
 public:
  PgDatabase(PGconn* conn, std::string url) : conn_(conn), where_("store " + std::move(url)) {}
  ~PgDatabase() override {
    dropCached();
    libpq().finish(conn_);
  }

  SqlDialect dialect() const override { return SqlDialect::kPostgres; }

  void exec(const std::string& sql) override {
    PgResult result(libpq().exec(conn_, sql.c_str()));
    check(result, where_);
  }

  std::unique_ptr<SqlStatement> prepare(const std::string& sql) override {
    std::string name = "s" + std::to_string(++statements_);
    PgResult result(libpq().prepare(conn_, name.c_str(), sql.c_str(), 0, nullptr));
    check(result, where_);
    return std::make_unique<PgStatement>(conn_, name, where_);
  }

  void beginWrite() override { exec("BEGIN"); }

 private:
  PGconn* conn_;
  std::string where_;
  int statements_ = 0;
};

}  // namespace

std::unique_ptr<SqlDatabase> openPostgres(const std::string& url) {
  const LibPq& lib = libpq();
  std::string shown = shownStoreName(url);
  // A store that does not answer must not hold up the analysis for long.
  std::string conninfo = url + (url.find('?') == std::string::npos ? "?" : "&") +
                         "connect_timeout=5&application_name=pelk40";
  PGconn* conn = lib.connectdb(conninfo.c_str());
  if (!conn) throw StoreError("store " + shown + ": out of memory");
  if (lib.status(conn) != CONNECTION_OK) {
    std::string message = trimmed(lib.errorMessage(conn));
    lib.finish(conn);
    throw StoreError("store " + shown + ": " + message);
  }
  lib.setNoticeProcessor(
      conn, [](void*, const char*) {}, nullptr);  // no NOTICE on stderr
  return std::make_unique<PgDatabase>(conn, shown);
}

}  // namespace pelk
