#pragma once
#include <chrono>
#include <memory>
#include <string>

#include "app/batch/manifest.h"

namespace pelk {

// Where a worker gets its rows from: the manifest itself when it works alone, a claims table
// when several workers share the manifest.
class RowSource {
 public:
  virtual ~RowSource() = default;
  // The run the rows are handled in; a row record from another run is not this run's result.
  virtual const std::string& runId() const = 0;
  // The next row for this worker; false when none is free now.
  virtual bool take(ManifestRow& row) = 0;
  // True once no row is left to take and none is being run by any worker.
  virtual bool allDone() = 0;
  // How long to wait before asking again when take() found nothing but allDone() is false.
  virtual std::chrono::milliseconds retryInterval() const { return std::chrono::seconds(1); }
  virtual void finished(const ManifestRow&) {}
  // The row was stopped before it ended: another worker may take it.
  virtual void giveBack(const ManifestRow&) {}
  // Called often while rows run; renews whatever marks them as taken.
  virtual void keepAlive() {}
  // Whether this worker should write the summary when it stops.
  virtual bool writesSummary() const { return true; }
};

// One worker alone on the output folder: rows straight from the manifest, in order. A lock file
// in the folder turns away a second worker with a message naming the first. Throws
// std::runtime_error.
std::unique_ptr<RowSource> localRowSource(const std::string& manifest, const std::string& outDir);

// A name for this worker that others can read: host and process.
std::string workerName();
std::string newRunId();

}  // namespace pelk
