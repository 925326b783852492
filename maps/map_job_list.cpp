#include "maps/map_job_list.h"

#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/job_list.h"
#include "common/text_reader.h"

namespace pelk {

void writeMapJobList(const std::string& standardName, const std::string& referenceName) {
  OutFile out(kMapJobList);
  out.line(kJobListComment);
  out.line("512;512;" + standardName + ";patient-1;set-1;" + kStandardHighlightMap);
  out.line("460;280;" + referenceName + ";patient-1;set-2;" + kReferenceHighlightMap);
  out.line("9999;9999;");
  out.close();
}

void runMapJobList(ModuleLog& log,
                   const std::function<void(const std::string&, const std::string&)>& pass) {
  TextReader in = TextReader::open(kMapJobList);
  bool ended = runJobList(in, [&](const JobEntry& entry) {
    log.add("Processing File: " + entry.filename);
    pass(entry.filename, entry.outputFilename);
  });
  log.add(ended ? "Done Processing" : "Done");
}

}  // namespace pelk
