#include "app/batch/csv_reader.h"

#include <cstring>

namespace pelk {

int CsvReader::peek() {
  if (pos_ == end_) {
    end_ = std::fread(buffer_, 1, sizeof buffer_, file_);
    pos_ = 0;
    if (end_ == 0) return EOF;
  }
  return static_cast<unsigned char>(buffer_[pos_]);
}

int CsvReader::get() {
  int c = peek();
  if (c != EOF) {
    ++pos_;
    if (c == '\n') ++line_;
  }
  return c;
}

bool CsvReader::next(CsvRecord& record) {
  record.fields.clear();
  record.error.clear();
  // Blank lines between records carry nothing.
  while (peek() == '\r' || peek() == '\n') get();
  if (peek() == EOF) return false;
  record.line = line_;

  std::string field;
  bool quoted = false;      // inside a quoted field
  bool wasQuoted = false;   // the current field began with a quote
  bool afterQuote = false;  // a quoted field has just closed
  for (;;) {
    int c = get();
    if (quoted) {
      if (c == EOF) {
        record.error = "a quoted field is not closed before the end of the file";
        record.fields.push_back(std::move(field));
        return true;
      }
      if (c == '"') {
        if (peek() == '"') {
          get();
          field += '"';
        } else {
          quoted = false;
          afterQuote = true;
        }
      } else {
        field += static_cast<char>(c);
      }
      continue;
    }
    if (c == EOF || c == '\n' || (c == '\r' && (peek() == '\n' || peek() == EOF))) {
      if (c == '\r') get();
      record.fields.push_back(std::move(field));
      return true;
    }
    if (c == ',') {
      record.fields.push_back(std::move(field));
      field.clear();
      wasQuoted = afterQuote = false;
      continue;
    }
    if (c == '"' && field.empty() && !wasQuoted) {
      quoted = wasQuoted = true;
      continue;
    }
    if (afterQuote || c == '"') {
      if (record.error.empty()) {
        record.error = afterQuote ? "text after the closing quote of a field"
                                  : "a quote inside a field that is not quoted";
      }
    }
    field += static_cast<char>(c);
  }
}

std::string csvField(const std::string& text) {
  bool needsQuotes = text.find_first_of(",\"\r\n") != std::string::npos ||
                     (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!needsQuotes) return text;
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

std::string csvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) line += ',';
    line += csvField(fields[i]);
  }
  line += "\r\n";
  return line;
}

std::vector<std::string> parseCsvLine(const std::string& text) {
  std::FILE* memory = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  if (!memory) return {};
  CsvRecord record;
  CsvReader reader(memory);
  reader.next(record);
  std::fclose(memory);
  return record.fields;
}

}  // namespace pelk
