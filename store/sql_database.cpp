#include "store/sql_database.h"

#include <charconv>

namespace pelk {
namespace {

template <typename T>
T parseNumber(const std::string& text) {
  T value{};
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size())
    throw StoreError("unexpected value in the store: \"" + text.substr(0, 40) + "\"");
  return value;
}

}  // namespace

bool sqlIsNull(const SqlValue& v) { return std::holds_alternative<std::monostate>(v); }

std::string sqlText(const SqlValue& v) {
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  if (auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&v)) return std::to_string(*d);
  return {};
}

std::int64_t sqlInt(const SqlValue& v) {
  if (auto* i = std::get_if<std::int64_t>(&v)) return *i;
  if (auto* d = std::get_if<double>(&v)) return static_cast<std::int64_t>(*d);
  if (auto* s = std::get_if<std::string>(&v)) {
    if (*s == "t") return 1;  // PostgreSQL's text form of a boolean
    if (*s == "f") return 0;
    return parseNumber<std::int64_t>(*s);
  }
  return 0;
}

double sqlReal(const SqlValue& v) {
  if (auto* d = std::get_if<double>(&v)) return *d;
  if (auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
  if (auto* s = std::get_if<std::string>(&v)) return parseNumber<double>(*s);
  return 0.0;
}

SqlTransaction::~SqlTransaction() {
  if (!open_) return;
  try {
    db_.exec("ROLLBACK");
  } catch (const StoreError&) {
    // The connection is gone; the database dropped the transaction with it.
  }
}

void SqlTransaction::commit() {
  db_.exec("COMMIT");
  open_ = false;
}

}  // namespace pelk
