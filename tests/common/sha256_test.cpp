#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/sha256.h"

namespace pelk {
namespace {

std::span<const unsigned char> bytesOf(const std::string &text) {
  return {reinterpret_cast<const unsigned char *>(text.data()), text.size()};
}

struct KnownDigest {
  std::string input;
  const char *digest;
};

// Published vectors, and runs of 'a' whose padding falls on each side of a
// block's end.
std::vector<KnownDigest> knownDigests() {
  return {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmno"
       "pjklmnopqklmnopqrlm"
       "nopqrsmnopqrstnopqrstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
      {std::string(63, 'a'), "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {std::string(65, 'a'), "635361c48bb9eab14198e76ea8ab7f1a41685d6ad62aa9146d301d4f17eb0ae0"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
}

TEST(Sha256, EveryEngineGivesTheKnownDigests) {
  for (Sha256Engine engine : {Sha256Engine::kPortable, Sha256Engine::kShaInstructions}) {
    if (!sha256EngineAvailable(engine)) {
      ADD_FAILURE() << "engine " << static_cast<int>(engine) << " not on this processor";
      continue;
    }
    for (const KnownDigest &k : knownDigests())
      EXPECT_EQ(sha256Hex(bytesOf(k.input), engine), k.digest)
          << "engine " << static_cast<int>(engine) << ", " << k.input.size() << " bytes";
  }
}

// Every byte value at every offset of several blocks, where one engine's
// schedule or byte order could differ from the other's.
TEST(Sha256, EnginesAgreeOnEveryLengthUpToFourBlocks) {
  std::string bytes;
  std::uint32_t seed = 12345;
  for (int i = 0; i < 256; ++i)
    bytes += static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
  for (std::size_t n = 0; n <= bytes.size(); ++n) {
    auto part = bytesOf(bytes).first(n);
    ASSERT_EQ(sha256Hex(part, Sha256Engine::kShaInstructions),
              sha256Hex(part, Sha256Engine::kPortable))
        << n << " bytes";
  }
}

// Fed in pieces of every size, across block ends, the digest is the one of the whole.
TEST(Sha256, PiecesGiveTheDigestOfTheWhole) {
  for (const KnownDigest &k : knownDigests()) {
    if (k.input.size() > 1000) continue;
    for (std::size_t piece : {1, 3, 63, 64, 65, 200}) {
      Sha256 hash;
      for (std::size_t at = 0; at < k.input.size(); at += piece)
        hash.add(std::string_view(k.input).substr(at, piece));
      EXPECT_EQ(hash.hex(), k.digest) << k.input.size() << " bytes in pieces of " << piece;
    }
  }
}

}  // namespace
}  // namespace pelk
