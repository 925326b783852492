#pragma once
#include <string>
#include <string_view>

namespace pelk::sql {

// The three lines every script opens with: the use line, an empty line, the create statement.
void appendOpening(std::string& out, std::string_view createStatement);

// A text between double quotes, written unchanged: the scripts have never escaped anything, and
// loaders of existing scripts expect the text exactly as it was given.
void appendQuoted(std::string& out, std::string_view text);

// The three identifying columns as the inserts write them: "fn","patientId","testId".
void appendQuotedIds(std::string& out, std::string_view fn, std::string_view patientId,
                     std::string_view testId);

// A row count read from a result file drives the insert loop; a count larger than the producer
// can write means the file is damaged, and looping over it would write millions of zero rows.
void checkCount(long long count, long long most, const std::string& sourceName);

}  // namespace pelk::sql
