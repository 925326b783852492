#pragma once
#include <memory>
#include <string>

#include "app/batch/row_source.h"

namespace pelk {

// Several workers on one manifest and output folder, each row claimed by exactly one of them
// through a claims table in a PostgreSQL database. The first worker of a run loads the rows;
// later ones join that run. A claim is a lease that its worker renews while the row runs: when
// a worker dies the lease runs out and another worker takes the row again. A run ends when
// every row is finished; a worker started after that begins a new run, in which rows that
// completed with the same inputs are skipped. Throws std::runtime_error.
std::unique_ptr<RowSource> postgresRowSource(const std::string& url, const std::string& manifest,
                                             const std::string& outDir, int leaseSeconds,
                                             long& rowsRejected);

bool isPostgresUrl(const std::string& url);

}  // namespace pelk
