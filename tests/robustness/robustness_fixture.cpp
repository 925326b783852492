#include "tests/robustness/robustness_fixture.h"

#include <filesystem>

#include <unistd.h>

#include "tests/support/files.h"

namespace pelk::test {

void BadInputFolder::SetUp() {
  ScratchDirTest::SetUp();
  writeSoundFiles();
  writeFile("test101.bmp", readFile(kSoundScan));
  writeFile(kEarlierResults, "Results Area\r\n\r\nsaved before the bad input came\r\n\r\n");
  GetParam().make(GetParam().fileName);
}

std::string BadInputFolder::standardName() const {
  const BadInput& in = GetParam();
  return in.kind == InputKind::Bitmap && in.role == Role::Standard ? in.fileName : kSoundScan;
}

std::string BadInputFolder::referenceName() const {
  const BadInput& in = GetParam();
  return in.kind == InputKind::Bitmap && in.role == Role::Reference ? in.fileName : kSoundScan2;
}

std::string BadInputFolder::thirdName() const {
  const BadInput& in = GetParam();
  return in.kind == InputKind::Bitmap && in.role == Role::Reference ? in.fileName : kSoundScan3;
}

std::map<std::string, std::string> BadInputFolder::userFiles() const {
  std::map<std::string, std::string> files;
  for (const char* name : {kSoundScan, kSoundScan2, kSoundScan3, "test101.bmp", kEarlierResults})
    files[name] = readFile(name);
  const std::string& bad = GetParam().fileName;
  std::error_code notAFile;
  if (GetParam().kind == InputKind::Bitmap && std::filesystem::is_regular_file(bad, notAFile) &&
      access(bad.c_str(), R_OK) == 0)
    files[bad] = readFile(bad);
  return files;
}

}  // namespace pelk::test
