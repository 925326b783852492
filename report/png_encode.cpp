#include "report/png_encode.h"

#include <png.h>

#include <csetjmp>
#include <stdexcept>
#include <vector>

namespace pelk {
namespace {

void appendToString(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(png));
  out->append(reinterpret_cast<const char*>(data), length);
}

void flushNothing(png_structp) {}

bool allGrey(const Raster& picture) {
  for (std::size_t i = 0; i + 2 < picture.rgb.size(); i += 3)
    if (picture.rgb[i] != picture.rgb[i + 1] || picture.rgb[i] != picture.rgb[i + 2]) return false;
  return true;
}

// Writes the rows; false when libpng reported an error (it jumps back here, past no C++ object
// that needs destroying: the rows are handed over from the caller's buffers).
bool writeRows(png_structp png, png_infop info, const Raster& picture, bool grey,
               std::uint8_t* greyRow) {
  if (setjmp(png_jmpbuf(png))) return false;
  // Fast settings: scans compress well at the lowest level and the report must stay quick.
  png_set_compression_level(png, 1);
  png_set_filter(png, 0, PNG_FILTER_SUB);
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
               static_cast<png_uint_32>(picture.height), 8,
               grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < picture.height; ++y) {
    const std::uint8_t* row = picture.at(0, y);
    if (grey) {
      for (int x = 0; x < picture.width; ++x) greyRow[x] = row[3 * x];
      row = greyRow;
    }
    png_write_row(png, const_cast<png_bytep>(row));
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::string encodePng(const Raster& picture) {
  if (picture.width <= 0 || picture.height <= 0)
    throw std::runtime_error("PNG encoder: empty picture");
  const bool grey = allGrey(picture);
  std::vector<std::uint8_t> greyRow(static_cast<std::size_t>(picture.width));
  std::string out;
  out.reserve(static_cast<std::size_t>(picture.width) * picture.height * (grey ? 1 : 3) / 2);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool written = false;
  if (info) {
    png_set_write_fn(png, &out, appendToString, flushNothing);
    written = writeRows(png, info, picture, grey, greyRow.data());
  }
  png_destroy_write_struct(&png, &info);
  if (!written) throw std::runtime_error("PNG encoder failed");
  return out;
}

void appendPngDataUri(std::string& out, const std::string& bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  out += "data:image/png;base64,";
  out.reserve(out.size() + (bytes.size() + 2) / 3 * 4 + 256);
  std::size_t i = 0;
  const auto byte = [&](std::size_t at) {
    return static_cast<unsigned>(static_cast<unsigned char>(bytes[at]));
  };
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  if (i < bytes.size()) {
    const bool two = i + 1 < bytes.size();
    const unsigned v = byte(i) << 16 | (two ? byte(i + 1) << 8 : 0u);
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += two ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
}

}  // namespace pelk
