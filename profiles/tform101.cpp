#include "profiles/tform101.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "common/bmp_header.h"
#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/format.h"
#include "common/io_error.h"
#include "common/job_list.h"
#include "common/rounding.h"
#include "common/text_reader.h"

namespace pelk {
namespace {

constexpr int kTableSize = ProfileHistogram::kSize;
constexpr int kReportedBands = 100;
constexpr int kMinimumSide = 52;  // below this the band width rounds to 0

using Hist = ProfileHistogram::Table;

// Counts the first width x height bytes of the file, cut into chunks of chunkLength bytes, into
// the band of each byte's position within its chunk: Round(position / bandWidth).
void countBands(Hist& hist, std::string_view bytes, std::int64_t chunkLength,
                std::int64_t chunkCount, std::int64_t bandWidth) {
  std::memset(hist.data(), 0, sizeof hist);
  // The band only rises along a chunk, so each chunk is counted a run of equal bands at a time.
  struct BandRun {
    std::int64_t end;
    std::int32_t* bins;
  };
  std::vector<BandRun> runs;
  for (std::int64_t p = 0; p < chunkLength;) {
    const std::int64_t band = roundDivEven(p, bandWidth);
    std::int64_t end = p + 1;
    while (end < chunkLength && roundDivEven(end, bandWidth) == band) ++end;
    runs.push_back(BandRun{end, hist[band].data()});
    p = end;
  }
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::int64_t k = 0; k < chunkCount; ++k) {
    const unsigned char* chunk = data + k * chunkLength;
    std::int64_t p = 0;
    for (const BandRun& run : runs)
      for (std::int32_t* bins = run.bins; p < run.end; ++p) ++bins[chunk[p]];
  }
}

// The peak rule compares each bin's count with the bin number held so far, not with the
// largest count: it is kept exactly so because stored profiles depend on it.
int peakOf(const std::int32_t* bins, int firstBin) {
  int m = 0;
  for (int b = firstBin; b < kTableSize; ++b)
    if (bins[b] >= m) m = b;
  return m;
}

struct WidthBandRow {
  long long mean;
  int peak;
  int median;
  long long adjusted;
};

WidthBandRow widthBandRow(const Hist& hist, int s) {
  const std::int32_t* bins = hist[s].data();
  long long sum = 0;
  long long count = 0;
  for (int b = 0; b < kTableSize; ++b) {
    sum += static_cast<long long>(b) * bins[b];
    count += bins[b];
  }
  WidthBandRow row{};
  row.peak = peakOf(bins, 0);
  if (count == 0) count = 1;
  row.mean = roundDivEven(sum, count);
  row.adjusted = count - hist[0][0];
  row.median = 0;
  // A band whose adjusted count is 0 or negative has no median bin; it reports 0.
  if (row.adjusted > 0) {
    long long cumulative = 0;
    for (int b = 1; b < kTableSize; ++b) {
      cumulative += bins[b];
      if (2 * cumulative >= row.adjusted) {
        row.median = b;
        break;
      }
    }
  }
  return row;
}

void appendHeightBandLine(std::string& out, const Hist& hist, const std::string& label1,
                          const std::string& label2, int s) {
  const std::int32_t* bins = hist[s].data();
  long long sum = 0;
  long long count = 0;
  for (int b = 1; b < kTableSize; ++b) {
    sum += static_cast<long long>(b) * bins[b];
    count += bins[b];
  }
  int peak = peakOf(bins, 1);
  if (count == 0) count = 1;
  long long mean = roundDivEven(sum, count);
  // The running sum includes bin 0 although the count leaves it out.
  int median = 0;
  long long cumulative = 0;
  for (int b = 0; b < kTableSize; ++b) {
    cumulative += bins[b];
    if (2 * cumulative >= count) {
      median = b;
      break;
    }
  }
  out += label1;
  out += ';';
  out += label2;
  out += ';';
  appendInt(out, s);
  out += ';';
  appendInt(out, count);
  out += ';';
  appendInt(out, mean);
  out += ';';
  appendInt(out, peak);
  out += ';';
  appendInt(out, median);
  out += "\r\n";
}

[[noreturn]] void cannotRead(ModuleLog& log, const std::string& path, const std::string& message) {
  log.add("Error: cannot read image " + path);
  throw IoError(message);
}

// Builds one image: its profile file (bands along the width) and its 100 database lines
// (bands along the height).
void buildProfile(Hist& hist, ModuleLog& log, const std::string& path,
                  const std::string& outputName, const std::string& label1,
                  const std::string& label2, OutFile& database) {
  log.add("Processing File: " + path);
  std::string bytes;
  try {
    bytes = readWholeFile(path);
  } catch (const IoError& e) {
    cannotRead(log, path, e.what());
  }
  BmpSize size;
  try {
    size = readBmpSize(bytes, path, log);
  } catch (const IoError& e) {
    cannotRead(log, path, e.what());
  }
  const std::int64_t width = size.width();
  const std::int64_t height = size.height();
  if (static_cast<std::int64_t>(bytes.size()) < width * height)
    cannotRead(log, path, "Read beyond end of file: " + path);
  if (width < kMinimumSide || height < kMinimumSide) {
    std::string message = "Image too small for histogram profiles: " + path;
    log.add("Error: " + message);
    throw IoError(message);
  }

  OutFile profile(outputName);
  std::string& out = profile.text();
  out.reserve(16 + kReportedBands * 48);
  appendInt(out, kReportedBands, 8);
  appendIntColumn(out, 5, 8);
  out += "\r\n";

  countBands(hist, bytes, width, height, roundDivEven(size.xmax, 100));
  for (int s = 0; s < kReportedBands; ++s) {
    WidthBandRow row = widthBandRow(hist, s);
    appendInt(out, s, 8);
    appendIntColumn(out, row.mean, 8);
    appendIntColumn(out, row.peak, 8);
    appendIntColumn(out, row.median, 8);
    appendIntColumn(out, row.adjusted, 8);
    out += "\r\n";
  }
  profile.close();

  // A square picture is cut the same way both times: the table already holds the count.
  if (height != width || roundDivEven(size.ymax, 100) != roundDivEven(size.xmax, 100))
    countBands(hist, bytes, height, width, roundDivEven(size.ymax, 100));
  std::string& db = database.text();
  for (int s = 0; s < kReportedBands; ++s) appendHeightBandLine(db, hist, label1, label2, s);
}

void buildJob(Hist& hist, ModuleLog& log, OutFile& database, const JobEntry& entry) {
  buildProfile(hist, log, entry.filename, entry.outputFilename, entry.patientId, entry.setId,
               database);
}

}  // namespace

void TForm101::SetupParam1(const std::string& standardImage, const std::string& referenceImage) {
  OutFile jobs(kProfileJobList);
  jobs.line(kJobListComment);
  jobs.line("512;512;" + standardImage + ";patient-1;set-1;" + kStandardProfile + ";");
  jobs.line("460;280;" + referenceImage + ";patient-1;set-2;" + kReferenceProfile + ";");
  jobs.line("9999;9999;");
  jobs.close();
}

void TForm101::MakeParam2Files(FileNames10 inputs, FileNames10 outputs) {
  OutFile database(kProfileDatabase);
  for (int k = 0; k < 2; ++k)
    buildProfile(state_->hist, Memo1, inputs[k], outputs[k], "", "", database);
  database.close();
}

void TForm101::MakeParam1Files() {
  OutFile database(kProfileDatabase);
  std::optional<TextReader> in;
  try {
    in.emplace(TextReader::open(kProfileJobList));
  } catch (const IoError&) {
    // no job list: nothing to build
  }
  if (in)
    readJobList(*in,
                [&](const JobEntry& entry) { buildJob(state_->hist, Memo1, database, entry); });
  Memo1.add("Done");
  database.close();
}

void TForm101::Button1Click() {
  OutFile database(kProfileDatabase);
  std::optional<TextReader> in;
  try {
    in.emplace(TextReader::open(kProfileJobList));
  } catch (const IoError&) {
    Memo1.add("Done");
    database.close();
    return;
  }
  bool endEntry = runJobList(
      *in, [&](const JobEntry& entry) { buildJob(state_->hist, Memo1, database, entry); });
  Memo1.add(endEntry ? "Done Processing" : "Done");
  database.close();
}

}  // namespace pelk
