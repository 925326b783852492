#pragma once
#include <span>
#include <string>
#include <string_view>

namespace pelk {

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
