#include <charconv>
#include <cmath>
#include <cstdint>

#include "common/format.h"
#include "common/io_error.h"
#include "common/text_reader.h"
#include "profiles/rra1_descriptor.h"
#include "profiles/tform102.h"

namespace pelk {
namespace {

constexpr int kCoreSlots = RankAnalysisState::kCoreSlots;
constexpr int kCoreRows = RankAnalysisState::kCoreRows;
constexpr int kCoreColumns = RankAnalysisState::kCoreColumns;
constexpr int kDescriptorSlots = 20;

// Band means at or below zero become 0.001 so the division never meets zero.
double floorMean(double x) { return x > 0.0001 ? x : 0.001; }

const char* const kSlotLabels[7] = {
    "Core Compare: ", "Core Ref    : ", "Sto Reg     : ", "Descriptor  : ",
    "Value cmp   : ", "Value tol   : ", "Comp Op     : "};

[[noreturn]] void badSlot(int slot, const std::string& text) {
  throw IoError("Invalid numeric input in test slot " + std::to_string(slot) + ": " + text);
}

// A leading "+" is accepted as the number readers accept it; "+-1" is not a number.
const char* skipPlus(const char* first, const char* last) {
  if (last - first >= 2 && first[0] == '+' && first[1] != '-') return first + 1;
  return first;
}

int slotInt(const TestDescriptor& d, int slot) {
  const std::string& text = d.slots[slot];
  const char* last = text.data() + text.size();
  const char* first = skipPlus(text.data(), last);
  int value = 0;
  auto [end, ec] = std::from_chars(first, last, value);
  if (first == last || ec != std::errc() || end != last) badSlot(slot, text);
  return value;
}

double slotReal(const TestDescriptor& d, int slot) {
  const std::string& text = d.slots[slot];
  const char* last = text.data() + text.size();
  const char* first = skipPlus(text.data(), last);
  double value = 0.0;
  auto [end, ec] = std::from_chars(first, last, value);
  if (first == last || ec != std::errc() || end != last || !std::isfinite(value))
    badSlot(slot, text);
  return value;
}

int checkedCore(int k) {
  if (k < 1 || k > kCoreSlots) throw IoError("Core number out of range: " + std::to_string(k));
  return k;
}

bool passes(CompOp op, double s, double vcmp, double vtol) {
  double low = vcmp - vtol;
  double high = vcmp + vtol;
  switch (op) {
    case CompOp::Equal: return low <= s && s <= high;
    case CompOp::Greater: return s > low;
    case CompOp::Less: return s < low;
    case CompOp::GreaterEqual: return s >= low;
    case CompOp::LessEqual: return s <= low;
    case CompOp::NotEqual: return s < low || s > high;
    case CompOp::Always: return true;
  }
  return true;
}

}  // namespace

CompOp parseCompOp(const std::string& text) {
  if (text == "=") return CompOp::Equal;
  if (text == ">") return CompOp::Greater;
  if (text == "<") return CompOp::Less;
  if (text == ">=") return CompOp::GreaterEqual;
  if (text == "<=") return CompOp::LessEqual;
  if (text == "!=") return CompOp::NotEqual;
  return CompOp::Always;
}

int TForm102::coreValue(int slot, int row, int column) const {
  if (slot < 1 || slot > kCoreSlots || row < 1 || row > kCoreRows || column < 1 ||
      column > kCoreColumns)
    return 0;
  return (*state_->cores)[slot][row][column];
}

void TForm102::loadCore(int k, const std::string& fileName) {
  checkedCore(k);
  Memo1.add("Core:    " + intText(k, 5));
  Memo1.add("Filename " + fileName);
  TextReader in = TextReader::open(fileName);
  std::int32_t rows = in.readInt();
  std::int32_t columns = in.readInt();
  in.skipLine();
  Memo1.add(" N,M = " + std::to_string(columns) + " " + std::to_string(rows));
  if (rows > kCoreRows || columns > kCoreColumns)
    throw IoError("Profile does not fit a core slot: " + fileName);

  std::string text;
  for (int i = 1; i <= rows; ++i) {
    text.clear();
    for (int j = 1; j <= columns; ++j) {
      std::int32_t value = in.readInt();
      (*state_->cores)[k][i][j] = value;
      appendInt(text, value);
      text.push_back(' ');
    }
    in.skipLine();
    Memo1.add(text);
  }
}

TestDescriptor fixedRRA1Descriptor() {
  // Core 1 is compared against core 2; the difference counts from 2.0 - 0.5 = 1.5 up.
  TestDescriptor d;
  const char* const texts[7] = {"1", "2", "1", "a", "2.0", "0.5", ">="};
  for (int i = 0; i < 7; ++i) d.slots[i + 1] = texts[i];
  d.count = 7;
  return d;
}

void TForm102::performRRA1(const std::string& profile1, const std::string& profile2) {
  Memo1.addEmpty();
  loadCore(1, profile1);
  Memo1.add("Core input 1:" + profile1);
  loadCore(2, profile2);
  Memo1.add("Core input 2:" + profile2);
  runRRATest(1, fixedRRA1Descriptor());
}

void TForm102::runRRATest(int p, const TestDescriptor& descriptor) {
  if (p < 1 || p + 6 > kDescriptorSlots)
    throw IoError("Test position out of range: " + std::to_string(p));
  Memo1.add("rra");
  for (int s = 0; s < 7; ++s) Memo1.add(kSlotLabels[s] + descriptor.slots[p + s]);

  int cmp = checkedCore(slotInt(descriptor, p));
  int ref = checkedCore(slotInt(descriptor, p + 1));
  slotInt(descriptor, p + 2);  // the storage register is converted but plays no part
  double vcmp = slotReal(descriptor, p + 4);
  double vtol = slotReal(descriptor, p + 5);
  CompOp op = parseCompOp(descriptor.slots[p + 6]);

  // Pearson's chi-square: the compared profile's band means are the expected values.
  const auto& cores = *state_->cores;
  double s = 0.0;
  for (int i = 1; i <= 100; ++i) {
    double a = floorMean(cores[ref][i][2]);
    double b = floorMean(cores[cmp][i][2]);
    s = s + (a - b) * (a - b) / b;
  }
  Memo1.add("RRA is " + realText(s, 8, 3) + " : " + realText(vcmp - vtol, 8, 3));
  rra1Value = s;

  rra1Significant = passes(op, s, vcmp, vtol);
  Memo1.add(rra1Significant ? "RRA Result is TRUE" : "RRA Result is FALSE");
}

}  // namespace pelk
