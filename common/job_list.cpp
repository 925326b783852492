#include "common/job_list.h"

#include <charconv>

namespace pelk {

std::string readField(TextReader& in) {
  std::string value;
  while (!in.eoln()) {
    char c = in.get();
    if (c == ';') break;
    value.push_back(c);
  }
  return value;
}

int readIntField(TextReader& in) {
  std::string text = readField(in);
  int value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;
  auto [end, ec] = std::from_chars(first, last, value);
  if (first == last || ec != std::errc() || end != last) return 0;
  return value;
}

namespace {

JobEntry readEntryFields(TextReader& in, int x1, int y1) {
  JobEntry entry;
  entry.x1 = x1;
  entry.y1 = y1;
  entry.filename = readField(in);
  entry.patientId = readField(in);
  entry.setId = readField(in);
  entry.outputFilename = readField(in);
  in.skipLine();
  return entry;
}

}  // namespace

void readJobList(TextReader& in, const std::function<void(const JobEntry&)>& process) {
  in.skipLine();
  int x1 = readIntField(in);
  int y1 = readIntField(in);
  while (!in.eof() && x1 != 9999) {
    process(readEntryFields(in, x1, y1));
    x1 = readIntField(in);
    y1 = readIntField(in);
  }
}

bool runJobList(TextReader& in, const std::function<void(const JobEntry&)>& process) {
  in.skipLine();
  while (!in.eof()) {
    int x1 = readIntField(in);
    int y1 = readIntField(in);
    if (x1 == 9999) return true;
    process(readEntryFields(in, x1, y1));
  }
  return false;
}

}  // namespace pelk
