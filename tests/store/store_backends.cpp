#include "tests/store/store_backends.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

#include "store/sql_database.h"

namespace pelk::test {
namespace {

std::string postgresUrl() {
  const char* url = std::getenv("PELK_TEST_PG_URL");
  if (!url || !*url) {
    ADD_FAILURE() << "PELK_TEST_PG_URL is not set: run the tests under scripts/with-postgres";
    return {};
  }
  return url;
}

std::string withSearchPath(const std::string& url, const std::string& schema) {
  return url + (url.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" +
         schema;
}

}  // namespace

std::string backendName(Backend b) { return b == Backend::kSqlite ? "sqlite" : "postgres"; }

ScratchStore::ScratchStore(Backend backend) : backend_(backend) {
  static std::atomic<int> count{0};
  std::string unique = std::to_string(getpid()) + "_" + std::to_string(++count);
  if (backend == Backend::kSqlite) {
    location_.url =
        "sqlite:" + (std::filesystem::current_path() / ("store" + unique + ".sqlite")).string();
    return;
  }
  std::string url = postgresUrl();
  if (url.empty()) {
    location_.url = "postgresql://unset-test-server";
    return;
  }
  schema_ = "t" + unique;
  openPostgres(url)->exec("CREATE SCHEMA " + schema_);
  location_.url = withSearchPath(url, schema_);
}

ScratchStore::~ScratchStore() {
  if (schema_.empty()) return;
  try {
    openPostgres(postgresUrl())->exec("DROP SCHEMA " + schema_ + " CASCADE");
  } catch (const StoreError&) {
    // The server went away; it is thrown away with its data.
  }
}

void ScratchStore::exec(const std::string& sql) {
  if (backend_ == Backend::kSqlite) openSqlite(location_.url.substr(7), false)->exec(sql);
  else openPostgres(location_.url)->exec(sql);
}

}  // namespace pelk::test
