#include "report/report_pictures.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <system_error>

#include "common/file_io.h"
#include "common/sha256.h"
#include "report/html_text.h"
#include "report/png_encode.h"

namespace pelk {

ScanFile readScan(const std::filesystem::path& folder, const std::string& role,
                  const std::string& name) {
  ScanFile scan;
  scan.role = role;
  scan.name = name;
  std::error_code ec;
  const std::filesystem::path path = folder / name;
  if (name.empty() || !std::filesystem::is_regular_file(path, ec)) {
    scan.decoded.error = name.empty() ? "no file named" : name + ": file not found";
    return scan;
  }
  try {
    const std::string bytes = readWholeFile(path.string());
    scan.found = true;
    scan.bytes = static_cast<long long>(bytes.size());
    scan.sha256 = sha256Hex(bytes);
    scan.decoded = decodeBitmap(bytes, name);
  } catch (const std::exception& e) {
    scan.decoded.error = e.what();
  }
  return scan;
}

DecodedBitmap readResultBitmap(const std::filesystem::path& folder, const std::string& name) {
  try {
    return decodeBitmap(readWholeFile((folder / name).string()), name);
  } catch (const std::exception& e) {
    DecodedBitmap d;
    d.error = e.what();
    return d;
  }
}

Raster withMchsMarks(const Raster& scan, const std::vector<ReportedMchsBlock>& blocks) {
  Raster marked = scan;
  const double sx = static_cast<double>(scan.width) / kViewWidth;
  const double sy = static_cast<double>(scan.height) / kViewHeight;
  // The view draws each block as one hundredth of its width and height.
  const int bw = std::max(1, static_cast<int>(std::lround(scan.width / 100.0)));
  const int bh = std::max(1, static_cast<int>(std::lround(scan.height / 100.0)));
  for (const ReportedMchsBlock& b : blocks) {
    const long long x0 = std::llround(static_cast<double>(b.x) * sx);
    const long long y0 = std::llround(static_cast<double>(b.y) * sy);
    for (long long y = std::max(0LL, y0); y < std::min<long long>(scan.height, y0 + bh); ++y)
      for (long long x = std::max(0LL, x0); x < std::min<long long>(scan.width, x0 + bw); ++x) {
        std::uint8_t* px = marked.at(static_cast<int>(x), static_cast<int>(y));
        px[0] = static_cast<std::uint8_t>((px[0] + 255 * 3) / 4);
        px[1] = static_cast<std::uint8_t>(px[1] / 4);
        px[2] = static_cast<std::uint8_t>(px[2] / 4);
      }
  }
  return marked;
}

void appendPictureFigure(std::string& out, const Raster& picture, const std::string& alt,
                         const std::string& caption) {
  out += "<figure class=\"picture\">";
  try {
    const std::string png = encodePng(picture);
    out += "<img src=\"";
    appendPngDataUri(out, png);
    out += "\" alt=\"" + escapeHtml(alt) + "\" width=\"" + std::to_string(picture.width) +
           "\" height=\"" + std::to_string(std::lround(picture.aspectHeight)) + "\"/>";
  } catch (const std::exception& e) {
    out += "<p class=\"missing\">Picture not shown: " + escapeHtml(e.what()) + "</p>";
  }
  out += "<figcaption>" + escapeHtml(caption) + "</figcaption></figure>";
}

}  // namespace pelk
