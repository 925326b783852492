#include "maps/tform120.h"

#include <algorithm>

#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/io_error.h"

namespace pelk {
namespace {

// The standard's file header, information header, 256-entry palette and first pixel byte.
constexpr std::size_t kCopied = 1079;

[[noreturn]] void readPastEnd(const std::string& name) {
  throw IoError("Read beyond end of file: " + name);
}

// The two inputs are read byte for byte in step, a standard byte first and then the reference
// byte of the same position, so a short input fails exactly where that interleaving first runs
// past its end; "diffbmp.bmp" then keeps every byte written before that read.
void makeDiffBmp(const std::string& stdName, const std::string& refName) {
  const std::string standard = readWholeFile(stdName);
  const std::string reference = readWholeFile(refName);
  OutFile out(kDifferenceImage);
  std::string& bytes = out.text();
  bytes.reserve(standard.size());

  const std::size_t copied = std::min(kCopied, standard.size());
  if (reference.size() < copied) {
    // The standard byte of the failing position was already written.
    bytes.append(standard, 0, reference.size() + 1);
    readPastEnd(refName);
  }
  bytes.append(standard, 0, copied);
  if (standard.size() < kCopied) readPastEnd(stdName);

  // Both inputs hold at least the copied bytes here.
  const std::size_t count = std::min(standard.size(), reference.size()) - kCopied;
  bytes.resize(kCopied + count);
  const auto* s = reinterpret_cast<const unsigned char*>(standard.data()) + kCopied;
  const auto* r = reinterpret_cast<const unsigned char*>(reference.data()) + kCopied;
  auto* d = reinterpret_cast<unsigned char*>(bytes.data()) + kCopied;
  // Wraps in 8 bits: no absolute value, no clamping, so every byte is even.
  for (std::size_t p = 0; p < count; ++p) d[p] = static_cast<unsigned char>(2 * (r[p] - s[p]));
  if (reference.size() < standard.size()) readPastEnd(refName);
  out.close();
}

}  // namespace

void TForm120::setFileNames(const std::string& standard, const std::string& reference) {
  state_->standardName = standard;
  state_->referenceName = reference;
}

void TForm120::doDiffBmp() {
  makeDiffBmp(state_->standardName, state_->referenceName);
  Memo1.add("Program Done");
}

void TForm120::Button1Click() {
  makeDiffBmp(compareFile, referenceFile);
  Memo1.add("Program Done");
}

}  // namespace pelk
