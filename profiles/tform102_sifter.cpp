#include <string>

#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/format.h"
#include "common/text_reader.h"
#include "profiles/tform102.h"

namespace pelk {

// Lists the lines of file A that are not matched, in order, by the lines of file B. B moves on
// only when a line matches, so one extra line in A costs one record, not the rest of the file.
void TForm102::Button6Click() {
  TextReader a = TextReader::open(patientMriFile);
  TextReader b = TextReader::open(baselineFile);
  OutFile out(kSifterDatabase);

  std::string expected = b.readLine();  // empty once B is exhausted
  int read = 0;
  int different = 0;
  while (!a.eof()) {
    std::string line = a.readLine();
    ++read;
    if (line != expected) {
      out.line(line);
      Memo1.add(std::move(line));
      ++different;
    } else {
      expected = b.readLine();
    }
  }
  Memo1.add(intText(different) + " Different record(s) were found");
  Memo1.add(intText(read) + " Record(s) were read");
  out.close();
}

}  // namespace pelk
