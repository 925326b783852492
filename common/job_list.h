#pragma once
#include <functional>
#include <string>

#include "common/text_reader.h"

namespace pelk {

// Job lists ("vhist3.dat", "vmap1.dat") name the bitmaps a builder processes. Line 1 is a
// comment; each following line is an entry of six ";"-closed fields; an entry whose first field
// is 9999 ends the list.

inline constexpr const char* kJobListComment =
    "//x1,y1,filename,patientId,setId,outputfilename);  // 9999 9999 for last entry";

struct JobEntry {
  int x1 = 0;
  int y1 = 0;
  std::string filename;
  std::string patientId;
  std::string setId;
  std::string outputFilename;
};

// One field: characters up to a ";" (consumed, not kept) or up to the end of the line (the
// line end is not consumed).
std::string readField(TextReader& in);
// One field as a decimal integer; text that is not one reads as 0 (never as 9999).
int readIntField(TextReader& in);

// The builders' reading loop: skip line 1, read x1 and y1; while the file is not at its end and
// x1 is not 9999, read the four text fields, skip the rest of the line, process the entry and
// read the next x1 and y1. A list without an end entry ends with its data.
void readJobList(TextReader& in, const std::function<void(const JobEntry&)>& process);

// The modules' own "Run" loop: until the end of the file, read x1 and y1 at the top of each
// turn; an end entry stops the loop at once. Returns true when it stopped at an end entry,
// false when the file ran out.
bool runJobList(TextReader& in, const std::function<void(const JobEntry&)>& process);

}  // namespace pelk
