#include "tests/support/files.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/bmp_writer.h"

namespace pelk::test {
std::string bmpBytes(std::int32_t width, std::int32_t height, const std::string& pixels) {
  return greyBmpBytes(width, height, pixels);
}

std::string bmpBytes(int width, int height, const std::function<int(int, int)>& pixel) {
  std::string pixels(static_cast<std::size_t>(width) * height, '\0');
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width; ++c)
      pixels[static_cast<std::size_t>(r) * width + c] = static_cast<char>(pixel(r, c) & 0xFF);
  return bmpBytes(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), pixels);
}

void writeBmp(const std::string& path, int width, int height,
              const std::function<int(int, int)>& pixel) {
  writeFile(path, bmpBytes(width, height, pixel));
}

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool fileExists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<std::string> crlfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace pelk::test
