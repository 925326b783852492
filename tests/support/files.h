#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pelk::test {

// Bytes of a nominal 8-bit grey bitmap: 1078-byte header with a grey palette, then the pixel
// bytes as given (stored order, bottom row first). Width and height go into the header as given
// (32-bit fields), so tests can make headers that lie about the pixel data.
std::string bmpBytes(std::int32_t width, std::int32_t height, const std::string& pixels);
// A bitmap whose stored pixel at (row, col) is pixel(row, col); row 0 is stored first.
std::string bmpBytes(int width, int height, const std::function<int(int row, int col)>& pixel);
void writeBmp(const std::string& path, int width, int height,
              const std::function<int(int row, int col)>& pixel);

void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
// Splits at CR LF; a final CR LF gives no extra empty entry.
std::vector<std::string> crlfLines(const std::string& text);

}  // namespace pelk::test
