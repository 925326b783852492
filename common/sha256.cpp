#include "common/sha256.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

#include "common/file_io.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define PELK_SHA256_X86 1
#endif

namespace pelk {
namespace {

using State = std::array<std::uint32_t, 8>;

alignas(16) constexpr std::array<std::uint32_t, 64> kRound = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

void compressPortable(State &h, const unsigned char *data, std::size_t blocks) {
  for (; blocks > 0; --blocks, data += 64) {
    std::array<std::uint32_t, 64> w;
    for (int i = 0; i < 16; ++i)
      w[i] = std::uint32_t{data[4 * i]} << 24 | std::uint32_t{data[4 * i + 1]} << 16 |
             std::uint32_t{data[4 * i + 2]} << 8 | data[4 * i + 3];
    for (int i = 16; i < 64; ++i) {
      std::uint32_t s0 = std::rotr(w[i - 15], 7) ^ std::rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
      std::uint32_t s1 = std::rotr(w[i - 2], 17) ^ std::rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, k] = h;
    for (int i = 0; i < 64; ++i) {
      std::uint32_t t1 = k + (std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25)) +
                         ((e & f) ^ (~e & g)) + kRound[i] + w[i];
      std::uint32_t t2 =
          (std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
      k = g;
      g = f;
      f = e;
      e = d + t1;
      d = c;
      c = b;
      b = a;
      a = t1 + t2;
    }
    State add = {a, b, c, d, e, f, g, k};
    for (int i = 0; i < 8; ++i) h[i] += add[i];
  }
}

#ifdef PELK_SHA256_X86
// The same rounds with the SHA instructions: four rounds' message words in each
// vector, the state kept as the pairs ABEF and CDGH the instructions work on.
__attribute__((target("sha,sse4.1,ssse3"))) void compressShaInstructions(State &h,
                                                                         const unsigned char *data,
                                                                         std::size_t blocks) {
  const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
  __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i *>(&h[0]));
  __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i *>(&h[4]));
  __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
  __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
  __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
  __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

  for (; blocks > 0; --blocks, data += 64) {
    const __m128i abefBefore = abef;
    const __m128i cdghBefore = cdgh;
    __m128i m[4];
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i) {
      if (i < 4)
        m[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(data + 16 * i)),
                                byteSwap);
      __m128i words = _mm_add_epi32(
          m[i % 4], _mm_load_si128(reinterpret_cast<const __m128i *>(&kRound[4 * i])));
      cdgh = _mm_sha256rnds2_epu32(cdgh, abef, words);
      if (i >= 3 && i <= 14) {  // the schedule's next four words
        __m128i &next = m[(i + 1) % 4];
        next = _mm_add_epi32(next, _mm_alignr_epi8(m[i % 4], m[(i + 3) % 4], 4));
        next = _mm_sha256msg2_epu32(next, m[i % 4]);
      }
      abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(words, 0x0E));
      if (i >= 1 && i <= 12) m[(i + 3) % 4] = _mm_sha256msg1_epu32(m[(i + 3) % 4], m[i % 4]);
    }
    abef = _mm_add_epi32(abef, abefBefore);
    cdgh = _mm_add_epi32(cdgh, cdghBefore);
  }

  __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
  __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
  _mm_storeu_si128(reinterpret_cast<__m128i *>(&h[0]), _mm_blend_epi16(feba, dchg, 0xF0));
  _mm_storeu_si128(reinterpret_cast<__m128i *>(&h[4]), _mm_alignr_epi8(dchg, feba, 8));
}

// Asked of the processor itself: not every compiler's __builtin_cpu_supports knows "sha".
bool hasShaInstructions() {
  static const bool has = [] {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
    const bool ssse3 = c & (1u << 9), sse41 = c & (1u << 19);
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
    const bool sha = b & (1u << 29);
    return sha && ssse3 && sse41;
  }();
  return has;
}
#else
bool hasShaInstructions() { return false; }
#endif

}  // namespace

Sha256::Sha256(Compress compress)
    : compress_(compress), state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                  0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19} {}

Sha256::Sha256()
#ifdef PELK_SHA256_X86
    : Sha256(hasShaInstructions() ? &compressShaInstructions : &compressPortable){}
#else
    : Sha256(&compressPortable) {
}
#endif

      void Sha256::add(std::span<const unsigned char> bytes) {
  totalBytes_ += bytes.size();
  if (pendingBytes_ > 0) {
    const std::size_t take = std::min(bytes.size(), pending_.size() - pendingBytes_);
    std::copy_n(bytes.begin(), take, pending_.begin() + static_cast<std::ptrdiff_t>(pendingBytes_));
    pendingBytes_ += take;
    bytes = bytes.subspan(take);
    if (pendingBytes_ < pending_.size()) return;
    compress_(state_, pending_.data(), 1);
    pendingBytes_ = 0;
  }
  const std::size_t whole = bytes.size() / 64;
  compress_(state_, bytes.data(), whole);
  pendingBytes_ = bytes.size() - whole * 64;
  std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(whole * 64), pendingBytes_,
              pending_.begin());
}

std::string Sha256::hex() {
  // The tail, the 0x80 marker and the bit length fill one or two last blocks.
  std::array<unsigned char, 128> last{};
  std::copy_n(pending_.begin(), pendingBytes_, last.begin());
  last[pendingBytes_] = 0x80;
  const std::size_t blocks = pendingBytes_ + 9 <= 64 ? 1 : 2;
  const std::uint64_t bits = totalBytes_ * 8;
  for (int i = 0; i < 8; ++i)
    last[blocks * 64 - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
  compress_(state_, last.data(), blocks);

  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(64);
  for (std::uint32_t word : state_)
    for (int shift = 28; shift >= 0; shift -= 4) hex += kHex[(word >> shift) & 0xf];
  return hex;
}

std::string sha256HexWith(std::span<const unsigned char> bytes, Sha256::Compress compress) {
  Sha256 hash(compress);
  hash.add(bytes);
  return hash.hex();
}

bool sha256EngineAvailable(Sha256Engine engine) {
  return engine == Sha256Engine::kPortable || hasShaInstructions();
}

std::string sha256Hex(std::span<const unsigned char> bytes, Sha256Engine engine) {
#ifdef PELK_SHA256_X86
  if (engine == Sha256Engine::kShaInstructions && hasShaInstructions())
    return sha256HexWith(bytes, &compressShaInstructions);
#endif
  return sha256HexWith(bytes, &compressPortable);
}

std::string sha256Hex(std::span<const unsigned char> bytes) {
  return sha256Hex(bytes, Sha256Engine::kShaInstructions);
}

std::string sha256FileHex(const std::string &path) {
  std::string bytes = readWholeFile(path);
  return sha256Hex({reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size()});
}

}  // namespace pelk
