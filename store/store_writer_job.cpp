// The writer's messages: a sequence of fields, each its length in decimal, a colon and its bytes,
// so any byte may stand in a value and a reader never looks past the end.
#include <charconv>

#include "store/store_writer.h"

namespace pelk {
namespace {

constexpr std::string_view kBeginTag = "pelk40-store-begin 1";
constexpr std::string_view kJobTag = "pelk40-store-job 1";
constexpr std::string_view kReplyTag = "pelk40-store-reply 1";

class FieldWriter {
 public:
  void text(std::string_view s) {
    out_ += std::to_string(s.size());
    out_ += ':';
    out_ += s;
  }
  void number(std::int64_t n) { text(std::to_string(n)); }
  template <typename T>
  void optional(const std::optional<T>& v) {
    number(v.has_value());
    if (!v) return;
    if constexpr (std::is_same_v<T, std::string>) text(*v);
    else number(*v);
  }
  std::string take() { return std::move(out_); }

 private:
  std::string out_;
};

// Reads fields in order; the first malformed one marks the whole message bad.
class FieldReader {
 public:
  explicit FieldReader(std::string_view in) : in_(in) {}

  std::string text() {
    std::size_t length = 0;
    auto [end, ec] = std::from_chars(in_.data(), in_.data() + in_.size(), length);
    const std::size_t digits = static_cast<std::size_t>(end - in_.data());
    if (ec != std::errc() || digits == 0 || digits >= in_.size() || in_[digits] != ':' ||
        length > in_.size() - digits - 1) {
      ok_ = false;
      in_ = {};
      return {};
    }
    std::string value(in_.substr(digits + 1, length));
    in_.remove_prefix(digits + 1 + length);
    return value;
  }
  std::int64_t number() {
    const std::string s = text();
    std::int64_t n = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    if (ec != std::errc() || end != s.data() + s.size()) ok_ = false;
    return n;
  }
  template <typename T>
  std::optional<T> optional() {
    if (!number()) return std::nullopt;
    if constexpr (std::is_same_v<T, std::string>) return text();
    else return static_cast<T>(number());
  }
  // A count of what follows, each at least one field: never more than the bytes left.
  std::size_t count() {
    const std::int64_t n = number();
    if (n < 0 || static_cast<std::uint64_t>(n) > in_.size()) {
      ok_ = false;
      return 0;
    }
    return static_cast<std::size_t>(n);
  }
  bool whole() const { return ok_ && in_.empty(); }

 private:
  std::string_view in_;
  bool ok_ = true;
};

}  // namespace

std::string encodeBegin(const WriterBegin& begin) {
  FieldWriter w;
  w.text(kBeginTag);
  for (const std::string* s :
       {&begin.workDir, &begin.command, &begin.standard, &begin.reference, &begin.third})
    w.text(*s);
  return w.take();
}

std::optional<WriterBegin> decodeBegin(std::string_view bytes) {
  FieldReader in(bytes);
  if (in.text() != kBeginTag) return std::nullopt;
  WriterBegin begin;
  for (std::string* s :
       {&begin.workDir, &begin.command, &begin.standard, &begin.reference, &begin.third})
    *s = in.text();
  if (!in.whole()) return std::nullopt;
  return begin;
}

std::string encodeJob(const WriterJob& job) {
  FieldWriter w;
  w.text(kJobTag);
  w.text(job.storePath);
  const RunRecord& r = job.run;
  for (const std::string* s : {&r.programVersion, &r.startedAt, &r.endedAt, &r.workDir, &r.command,
                               &r.error, &r.patient, &r.test, &r.hospital, &r.testDate})
    w.text(*s);
  w.number(r.completed);
  w.number(static_cast<std::int64_t>(r.scans.size()));
  for (const ScanRecord& scan : r.scans) {
    w.text(scan.role);
    w.text(scan.path);
    w.optional(scan.size);
    w.optional(scan.sha256);
    w.optional(scan.width);
    w.optional(scan.height);
  }
  w.text(job.resultsFolder);
  w.number(static_cast<std::int64_t>(job.freshFiles.size()));
  for (const std::string& file : job.freshFiles) w.text(file);
  return w.take();
}

std::optional<WriterJob> decodeJob(std::string_view bytes) {
  FieldReader in(bytes);
  if (in.text() != kJobTag) return std::nullopt;
  WriterJob job;
  job.storePath = in.text();
  RunRecord& r = job.run;
  for (std::string* s : {&r.programVersion, &r.startedAt, &r.endedAt, &r.workDir, &r.command,
                         &r.error, &r.patient, &r.test, &r.hospital, &r.testDate})
    *s = in.text();
  r.completed = in.number() != 0;
  for (std::size_t n = in.count(); n > 0; --n) {
    ScanRecord scan;
    scan.role = in.text();
    scan.path = in.text();
    scan.size = in.optional<std::int64_t>();
    scan.sha256 = in.optional<std::string>();
    scan.width = in.optional<int>();
    scan.height = in.optional<int>();
    r.scans.push_back(std::move(scan));
  }
  job.resultsFolder = in.text();
  for (std::size_t n = in.count(); n > 0; --n) job.freshFiles.push_back(in.text());
  if (!in.whole()) return std::nullopt;
  return job;
}

std::string encodeReply(const WriterReply& reply) {
  FieldWriter w;
  w.text(kReplyTag);
  w.number(static_cast<std::int64_t>(reply.kind));
  w.number(reply.runId);
  w.text(reply.message);
  return w.take();
}

std::optional<WriterReply> decodeReply(std::string_view bytes) {
  FieldReader in(bytes);
  if (in.text() != kReplyTag) return std::nullopt;
  WriterReply reply;
  const std::int64_t kind = in.number();
  reply.runId = in.number();
  reply.message = in.text();
  if (!in.whole() || kind < 0 || kind > static_cast<std::int64_t>(WriterReply::Kind::kUnable))
    return std::nullopt;
  reply.kind = static_cast<WriterReply::Kind>(kind);
  return reply;
}

}  // namespace pelk
