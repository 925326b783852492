#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace pelk {

// One record of a CSV file (RFC 4180): quoted fields may hold commas, doubled quotes and line
// breaks; records end at LF or CR LF. A record that breaks the quoting rules is still returned,
// with `error` saying why, so the reader can go on with the next line.
struct CsvRecord {
  std::vector<std::string> fields;
  long line = 0;  // the line the record starts on, counting from 1
  std::string error;
};

// Reads a CSV file record by record through a fixed buffer, so a manifest of any length costs
// the same memory. Blank lines are skipped.
class CsvReader {
 public:
  explicit CsvReader(std::FILE* file) : file_(file) {}
  bool next(CsvRecord& record);

 private:
  int get();
  int peek();

  std::FILE* file_;
  long line_ = 1;
  char buffer_[1 << 16];
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
};

// A field as CSV writes it: quoted when it holds a comma, a quote, a line break or blanks at
// either end.
std::string csvField(const std::string& text);
std::string csvLine(const std::vector<std::string>& fields);  // ends with CR LF, as RFC 4180 says

// Parses one record held in memory (the fields of a row handed between workers).
std::vector<std::string> parseCsvLine(const std::string& text);

}  // namespace pelk
