#include "app/cli/report_command.h"

#include "workbench/report_history.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <filesystem>
#include "common/word_arguments.h"

namespace pelk {

ReportRequest cliReportRequest(const std::string& folder, const TestInformation& info,
                               const std::string& standard, const std::string& reference,
                               const std::string& third) {
  ReportRequest request;
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
  request.folder = ec ? std::filesystem::path(folder) : absolute.lexically_normal();
  request.patient = info.patient;
  request.test = info.test;
  request.hospital = info.hospital;
  request.date = info.date;
  request.programVersion = PELK_VERSION;
  request.madeAt = localTimestamp();
  request.standardScan = standard;
  request.referenceScan = reference;
  request.thirdScan = third;
  return request;
}

int runReportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app(
      "Write the self-contained HTML picture report of a working folder an earlier run left.",
      "report");
  std::string dir = ".";
  std::string file;
  std::string standard, reference, third;
  TestInformation info;
  app.add_option("--dir", dir, "the working folder")->check(CLI::ExistingDirectory);
  app.add_option("--out", file, "the HTML file to write (relative to --dir)")->required();
  app.add_option("--std", standard, "standard scan (default: as the run's job lists name it)");
  app.add_option("--ref", reference, "reference scan (default: as the run's job lists name it)");
  app.add_option("--third", third, "third scan (default: as progression.json names it)");
  app.add_option("--patient", info.patient, "patient of the test information");
  app.add_option("--test", info.test, "test of the test information");
  app.add_option("--hospital", info.hospital, "hospital of the test information");
  app.add_option("--date", info.date, "date of the test information");

  if (auto ended = parseWordArguments(app, args, "report", out, err)) return *ended;

  const std::filesystem::path path = std::filesystem::path(dir) / file;
  try {
    ReportRequest request = cliReportRequest(dir, info, standard, reference, third);
    std::optional<std::string> warning;
    request.history = earlierRunsFromStore(chooseStore(std::nullopt, false), info.patient, warning);
    if (warning) err << "report: warning: " << *warning << '\n';
    writePictureReport(request, path);
  } catch (const std::exception& e) {
    err << "error: report: " << e.what() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace pelk
