// The job-list reader and both reading loops on arbitrary text.
#include "common/job_list.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text = pelk::fuzz::asString(data, size);
  int entries = 0;
  pelk::TextReader first(text, "vhist3.dat");
  pelk::readJobList(first, [&](const pelk::JobEntry&) { ++entries; });
  pelk::TextReader second(text, "vmap1.dat");
  pelk::runJobList(second, [&](const pelk::JobEntry&) { ++entries; });
  return 0;
}
