// The number reader and the job-list reader on arbitrary text, alone and driving the profile
// builders: entries without an end entry, empty fields, names of missing files, bitmaps of any
// size the entries point at.
#include "common/io_error.h"
#include "common/job_list.h"
#include "common/text_reader.h"
#include "profiles/tform101.h"
#include "tests/fuzz/fuzz_bitmaps.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

void readNumbers(const std::string& text) {
  pelk::TextReader in(text, "fuzz.txt");
  for (int i = 0; i < 4096 && !in.eof(); ++i) {
    switch (i % 4) {
      case 0: in.readInt(); break;
      case 1: in.readReal(); break;
      case 2: in.readLine(); break;
      default: in.skipLine(); break;
    }
  }
}

void readJobLists(const std::string& text) {
  int entries = 0;
  pelk::TextReader first(text, "vhist3.dat");
  pelk::readJobList(first, [&](const pelk::JobEntry&) { ++entries; });
  pelk::TextReader second(text, "vmap1.dat");
  pelk::runJobList(second, [&](const pelk::JobEntry&) { ++entries; });
}

// The bitmaps the seeds' job lists name; rewritten every run, since an entry may have named
// one of them as its output.
void putBitmaps() {
  static const std::string a = pelk::fuzz::greyBitmap(64, 64);
  static const std::string b = pelk::fuzz::greyBitmap(60, 55, 3);
  pelk::fuzz::put("a.bmp", a);
  pelk::fuzz::put("b.bmp", b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelk::fuzz::enterScratchFolder();
  const pelk::fuzz::Case input = pelk::fuzz::parseCase(data, size);
  try {
    switch (input.selector % 4) {
      case 0: readNumbers(input.first); break;
      case 1: readJobLists(input.first); break;
      case 2: {
        putBitmaps();
        pelk::fuzz::put("vhist3.dat", pelk::fuzz::confined(input.first));
        pelk::TForm101 form;
        form.MakeParam1Files();
        break;
      }
      default: {
        putBitmaps();
        pelk::fuzz::put("vhist3.dat", pelk::fuzz::confined(input.first));
        pelk::TForm101 form;
        form.Button1Click();
        break;
      }
    }
  } catch (const pelk::IoError&) {
  }
  return 0;
}
