#include "maps/map_pair.h"

#include "common/io_error.h"

namespace pelk {
namespace {

constexpr int kSkippedLines = 3;

}  // namespace

MapPair::MapPair(const std::string& first, const std::string& second, AtEnd atEnd)
    : first_(TextReader::openInParts(first)),
      second_(TextReader::openInParts(second)),
      atEnd_(atEnd) {
  first_.skipLines(kSkippedLines);
  second_.skipLines(kSkippedLines);
}

double MapPair::read(TextReader& map) {
  if (atEnd_ == AtEnd::Fail && map.seekEof())
    throw IoError("Read beyond end of file: " + map.name());
  return map.readReal();
}

std::pair<double, double> MapPair::next() {
  double a = read(first_);
  double b = read(second_);
  return {a, b};
}

void MapPair::endRow() {
  first_.skipLine();
  second_.skipLine();
}

}  // namespace pelk
