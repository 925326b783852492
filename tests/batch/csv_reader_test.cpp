#include "app/batch/csv_reader.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace pelk {
namespace {

struct Parsed {
  std::vector<std::string> fields;
  long line;
  bool broken;
};

std::vector<Parsed> parseAll(const std::string& text) {
  std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  CsvReader reader(file);
  CsvRecord record;
  std::vector<Parsed> out;
  while (reader.next(record)) out.push_back({record.fields, record.line, !record.error.empty()});
  std::fclose(file);
  return out;
}

struct CsvCase {
  const char* name;
  std::string text;
  std::vector<Parsed> expected;
};
// Test names show the case by its name, not its bytes.
inline void PrintTo(const CsvCase& c, std::ostream* os) { *os << c.name; }

class CsvReading : public ::testing::TestWithParam<CsvCase> {};

TEST_P(CsvReading, GivesTheRecordsOfRfc4180) {
  const std::vector<Parsed> got = parseAll(GetParam().text);
  ASSERT_EQ(got.size(), GetParam().expected.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].fields, GetParam().expected[i].fields) << "record " << i;
    EXPECT_EQ(got[i].line, GetParam().expected[i].line) << "record " << i;
    EXPECT_EQ(got[i].broken, GetParam().expected[i].broken) << "record " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CsvReading,
    ::testing::Values(
        CsvCase{"PlainLf", "a,b\nc,d\n", {{{"a", "b"}, 1, false}, {{"c", "d"}, 2, false}}},
        CsvCase{
            "CrLfAndNoFinalBreak", "a,b\r\nc,d", {{{"a", "b"}, 1, false}, {{"c", "d"}, 2, false}}},
        CsvCase{"EmptyFields", ",,\n", {{{"", "", ""}, 1, false}}},
        CsvCase{"QuotedCommaAndQuote",
                "\"a,b\",\"say \"\"hi\"\"\"\n",
                {{{"a,b", "say \"hi\""}, 1, false}}},
        CsvCase{"QuotedLineBreakKeepsLineCount",
                "\"a\r\nb\",c\nd,e\n",
                {{{"a\r\nb", "c"}, 1, false}, {{"d", "e"}, 3, false}}},
        CsvCase{"BlankLinesSkipped", "a\n\n\r\nb\n", {{{"a"}, 1, false}, {{"b"}, 4, false}}},
        CsvCase{"LoneCrStaysInField", "a\rb,c\n", {{{"a\rb", "c"}, 1, false}}},
        CsvCase{"UnclosedQuoteAtEnd", "a,\"bc\n", {{{"a", "bc\n"}, 1, true}}},
        CsvCase{
            "TextAfterClosingQuote", "\"a\"b,c\nd\n", {{{"ab", "c"}, 1, true}, {{"d"}, 2, false}}},
        CsvCase{"QuoteInsideBareField", "a\"b,c\n", {{{"a\"b", "c"}, 1, true}}},
        CsvCase{
            "NonAsciiBytesPassThrough", "\xC3\xA9t\xE9,x\n", {{{"\xC3\xA9t\xE9", "x"}, 1, false}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvWriting, FieldsComeBackAsWritten) {
  const std::vector<std::string> fields = {"plain",        "a,b",   "say \"hi\"",
                                           "two\r\nlines", " pad ", ""};
  EXPECT_EQ(parseCsvLine(csvLine(fields)), fields);
}

}  // namespace
}  // namespace pelk
