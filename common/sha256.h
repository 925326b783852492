#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pelk {

// SHA-256 fed piece by piece, for inputs too large to hold at once.
class Sha256 {
 public:
  Sha256();
  void add(std::span<const unsigned char> bytes);
  void add(std::string_view bytes) {
    add(std::span(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size()));
  }
  // Finishes the hash: 64 lower-case hex digits. Nothing may be added afterwards.
  std::string hex();

 private:
  using Compress = void (*)(std::array<std::uint32_t, 8> &, const unsigned char *, std::size_t);
  explicit Sha256(Compress compress);
  friend std::string sha256HexWith(std::span<const unsigned char>, Compress);

  Compress compress_;
  std::array<std::uint32_t, 8> state_;
  std::array<unsigned char, 64> pending_{};
  std::size_t pendingBytes_ = 0;
  std::uint64_t totalBytes_ = 0;
};

// The SHA-256 digest of bytes, as 64 lower-case hex digits, computed with the
// processor's SHA instructions where it has them.
std::string sha256Hex(std::span<const unsigned char> bytes);
inline std::string sha256Hex(std::string_view bytes) {
  return sha256Hex(std::span(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size()));
}

// The digest of a whole file's bytes. Throws IoError as readWholeFile does.
std::string sha256FileHex(const std::string &path);

// The two ways of computing it, so that each can be held to the same digests.
enum class Sha256Engine { kPortable, kShaInstructions };
bool sha256EngineAvailable(Sha256Engine engine);
std::string sha256Hex(std::span<const unsigned char> bytes, Sha256Engine engine);

}  // namespace pelk
