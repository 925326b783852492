#pragma once
#include <string>
#include <vector>

#include "store/result_store.h"

namespace pelk::test {

// The two kinds of store every store test runs against.
enum class Backend { kSqlite, kPostgres };
std::string backendName(Backend b);
inline const std::vector<Backend> kBackends = {Backend::kSqlite, Backend::kPostgres};

// A fresh, empty store of one kind, removed afterwards: a file in the current folder, or a
// schema of its own in the test server's database (PELK_TEST_PG_URL, set by
// scripts/with-postgres), so tests running at once do not see each other's runs.
class ScratchStore {
 public:
  explicit ScratchStore(Backend backend);
  ~ScratchStore();
  ScratchStore(const ScratchStore&) = delete;
  ScratchStore& operator=(const ScratchStore&) = delete;

  const StoreLocation& location() const { return location_; }
  // Runs SQL on the store directly, as another program would.
  void exec(const std::string& sql);

 private:
  Backend backend_;
  StoreLocation location_;
  std::string schema_;
};

}  // namespace pelk::test
