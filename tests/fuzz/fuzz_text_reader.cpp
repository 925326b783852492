// The number reader under every mix of tokens, line ends and garbage.
#include "common/io_error.h"
#include "common/text_reader.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelk::TextReader in(pelk::fuzz::asString(data, size), "fuzz.txt");
  try {
    for (int i = 0; i < 4096 && !in.eof(); ++i) {
      switch (i % 4) {
        case 0: in.readInt(); break;
        case 1: in.readReal(); break;
        case 2: in.readLine(); break;
        default: in.skipLine(); break;
      }
    }
  } catch (const pelk::IoError&) {
  }
  return 0;
}
