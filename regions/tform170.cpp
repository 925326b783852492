#include "regions/tform170.h"

#include <array>
#include <cstdint>
#include <utility>

#include "common/exchange_sort.h"
#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/format.h"
#include "common/text_reader.h"

namespace pelk {
namespace {

constexpr int kZones = TForm170::kZones;
constexpr int kFields = 5;
constexpr int kSlots = TForm170::kSlots;

using ProfileTable = std::array<std::array<std::int32_t, kFields>, kZones>;

void loadProfile(const std::string& name, ProfileTable& table) {
  TextReader in = TextReader::open(name);
  in.skipLine();  // the row and field counts
  for (auto& row : table) {
    for (auto& field : row) field = in.readInt();
    in.skipLine();
  }
}

// 32-bit integer arithmetic that wraps instead of overflowing on absurd profile values.
std::int32_t wrapped(std::int64_t v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

std::string slotText(const ZoneDifference& slot, const char* separator) {
  std::string s;
  appendReal(s, kZones - slot.r, 9, 3);
  s += separator;
  appendReal(s, slot.d, 9, 3);
  return s;
}

}  // namespace

void TForm170::doZchs(const std::string& profileName1, const std::string& profileName2) {
  // Created before the profiles are read, so a missing profile leaves it empty.
  OutFile out(kZonalResults);
  count_ = 0;
  slots_.fill(ZoneDifference{});
  // Both profiles are read whole by every run, so they are the run's own.
  ProfileTable profile1;
  ProfileTable profile2;
  loadProfile(profileName1, profile1);
  loadProfile(profileName2, profile2);

  for (int r = 0; r < kZones; ++r) {
    const std::int32_t peak = wrapped(std::int64_t{profile2[r][2]} - profile1[r][2]);
    const std::int32_t mean = wrapped(std::int64_t{profile2[r][1]} - profile1[r][1]);
    const std::int32_t d = wrapped(std::int64_t{peak} + mean);
    if (d > 0) slots_[++count_] = ZoneDifference{static_cast<double>(r), static_cast<double>(d)};
  }

  // Slot 100 takes no part; slot 0 starts empty, so the largest kept difference ends up there.
  exchangeSort(
      0, kZones - 1, [this](int j, int i) { return slots_[j].d > slots_[i].d; },
      [this](int i, int j) { std::swap(slots_[i], slots_[j]); });

  Memo1.add("Glist idx is " + realText(count_ - 1, 9, 3));
  out.line(intText(count_ - 1) + " glist idx");
  // Slot 0, the largest kept difference, is not listed.
  for (int k = 1; k <= count_ - 1; ++k) {
    Memo1.add(slotText(slots_[k], " : "));
    out.line(slotText(slots_[k], " "));
  }
  out.close();
}

const ZoneDifference& TForm170::differenceSlot(int k) const {
  static const ZoneDifference none;
  if (k < 0 || k >= kSlots) return none;
  return slots_[k];
}

}  // namespace pelk
