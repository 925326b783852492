#include "tests/robustness/bad_inputs.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

#include "maps/tform103.h"
#include "profiles/tform101.h"
#include "regions/tform130.h"
#include "tests/support/files.h"

namespace pelk::test {
namespace {

// Bright squares on a darker, textured ground: every analysis finds regions, bands and blocks.
int scanPixel(int row, int col, int shift) {
  const bool spot = ((row + shift) / 40 + col / 40) % 4 == 0 && (row % 40) < 24 && (col % 40) < 24;
  return spot ? 150 + (row * 3 + col + shift) % 100 : (row * 7 + col * 5 + shift) % 90;
}

std::string scan(int width, int height, int shift = 0) {
  return bmpBytes(width, height, [shift](int r, int c) { return scanPixel(r, c, shift); });
}

// The header of a scan with any width and height fields, followed by `pixelBytes` bytes.
std::string scanWithFields(std::uint32_t widthField, std::uint32_t heightField,
                           std::size_t pixelBytes) {
  std::string pixels(pixelBytes, '\0');
  for (std::size_t i = 0; i < pixelBytes; ++i)
    pixels[i] = static_cast<char>(scanPixel(static_cast<int>(i / 97), static_cast<int>(i % 97), 0));
  return bmpBytes(static_cast<std::int32_t>(widthField), static_cast<std::int32_t>(heightField),
                  pixels);
}

// A 1-bit 64 x 64 bitmap: a 62-byte header with its two-colour palette, then 8 bytes a row.
std::string oneBitBitmap() {
  std::string s = bmpBytes(64, 64, std::string()).substr(0, 54);
  s[10] = 62;
  s[11] = 0;
  s[28] = 1;
  s += std::string("\0\0\0\0\xff\xff\xff\0", 8);
  for (int r = 0; r < 64; ++r) s += std::string(8, static_cast<char>(r % 2 ? 0xF0 : 0x0F));
  return s;
}

// A 24-bit 60 x 60 bitmap: a 54-byte header and no palette, 180 bytes a row.
std::string twentyFourBitBitmap() {
  std::string s = bmpBytes(60, 60, std::string()).substr(0, 54);
  s[10] = 54;
  s[11] = s[12] = s[13] = 0;
  s[28] = 24;
  for (int r = 0; r < 60; ++r)
    for (int c = 0; c < 180; ++c) s.push_back(static_cast<char>(scanPixel(r, c, 1)));
  return s;
}

std::string soundScan() { return scan(512, 512); }

// Replaces the n-th blank-separated token (0-based) of the text.
std::string withToken(std::string text, int n, const std::string& token) {
  std::size_t pos = 0;
  for (int k = 0;; ++k) {
    pos = text.find_first_not_of(" \r\n", pos);
    std::size_t end = text.find_first_of(" \r\n", pos);
    if (k == n) return text.replace(pos, end - pos, token);
    pos = end;
  }
}

std::string firstLines(const std::string& text, int count) {
  std::size_t end = 0;
  for (int n = 0; n < count; ++n) end = text.find("\r\n", end) + 2;
  return text.substr(0, end);
}

// The sound files' contents, made once per process in the first folder that asks for them.
struct SoundContents {
  std::string scan;
  std::string scan2;
  std::string scan3;
  std::string profile;
  std::string map;
  std::string summary;
};

const SoundContents& sound() {
  static const SoundContents contents = [] {
    SoundContents c;
    c.scan = soundScan();
    c.scan2 = scan(512, 512, 13);
    c.scan3 = scan(512, 512, 29);
    writeFile("made-1.bmp", c.scan);
    writeFile("made-2.bmp", c.scan2);
    TForm101 profiles;
    profiles.MakeParam2Files({"made-1.bmp", "made-2.bmp"}, {"made.param1", "made-2.param1"});
    c.profile = readFile("made.param1");
    TForm103 maps;
    maps.makeMap2({"made-1.bmp", "made-2.bmp"}, {"made.map", "made-2.map"});
    c.map = readFile("made.map");
    TForm130 finder;
    finder.setFileNames("made-1.bmp", "made.db.txt");
    finder.doCluster();
    c.summary = readFile("made.db.txt.dat");
    for (const char* made : {"made-1.bmp", "made-2.bmp", "made.param1", "made-2.param1", "made.map",
                             "made-2.map", "made.db.txt", "made.db.txt.dat", "vhist3.db.txt"})
      std::filesystem::remove(made);
    return c;
  }();
  return contents;
}

// The bytes are made on first use and kept, since every reader meets the same input afresh.
std::function<void(const std::string&)> content(std::function<std::string()> make) {
  auto made = std::make_shared<std::optional<std::string>>();
  return [make, made](const std::string& path) {
    if (!*made) *made = make();
    writeFile(path, **made);
  };
}

std::function<void(const std::string&)> soundScanTruncatedTo(std::size_t length) {
  return content([length] { return sound().scan.substr(0, length); });
}

std::string summaryWithCount(long long count) {
  const std::string& s = sound().summary;
  return std::to_string(count) + s.substr(s.find("\r\n"));
}

std::string zoneListWithCount(int count) {
  std::string s = std::to_string(count) + " glist idx\r\n";
  for (int k = 0; k < 3; ++k) s += "   " + std::to_string(40 + k) + ".000    12.000\r\n";
  return s;
}

std::string jobList(const std::string& entries) {
  return "//x1,y1,filename,patientId,setId,outputfilename);  // 9999 9999 for last entry\r\n" +
         entries;
}

void addBitmapCases(std::vector<BadInput>& table) {
  std::vector<BadInput> scans;
  auto add = [&](std::string label, std::function<void(const std::string&)> make,
                 std::string expected, std::string fileName = "bad.bmp") {
    scans.push_back({std::move(label), InputKind::Bitmap, std::move(fileName), std::move(make),
                     Role::Standard, std::move(expected)});
  };
  // The expectations are those of the gate finder, which needs the 1078 header bytes and a
  // whole X x Y grid of at most 1001 x 1001.
  add("empty file", content([] { return std::string(); }), "Read beyond end of file: bad.bmp");
  add(
      "directory", [](const std::string& p) { std::filesystem::create_directory(p); },
      "Cannot open file: bad.bmp (not a regular file)");
  add(
      "missing file", [](const std::string&) {}, "File not found: bad.bmp");
  add(
      "unreadable file",
      [](const std::string& p) {
        writeFile(p, sound().scan);
        chmod(p.c_str(), 0);
      },
      kEitherOutcome);
  add(
      "named pipe", [](const std::string& p) { mkfifo(p.c_str(), 0600); },
      "Cannot open file: bad.bmp (not a regular file)");
  add(
      "link to itself", [](const std::string& p) { symlink(p.c_str(), p.c_str()); },
      "Cannot open file: bad.bmp (Too many levels of symbolic links)");
  for (std::size_t length : {10, 18, 20, 23, 54, 1077, 1078, 1079})
    add("cut at " + std::to_string(length) + " bytes", soundScanTruncatedTo(length),
        "Read beyond end of file: bad.bmp");
  add("one byte short of its pixels", soundScanTruncatedTo(1078 + 512 * 512 - 1),
      "Read beyond end of file: bad.bmp");
  for (int size : {0, 1, 51, 52, 1001, 1002, 65535}) {
    const std::string expected = size > 1001 ? "Image too large for the gate finder: bad.bmp" : "";
    add("width " + std::to_string(size), content([size] { return scan(size, 60); }), expected);
    add("height " + std::to_string(size), content([size] { return scan(60, size); }), expected);
  }
  // 70,000 is read as 4,464; the file holds pixels for that width.
  add("width field 70000", content([] { return scanWithFields(70000, 60, 4464 * 60); }),
      "Image too large for the gate finder: bad.bmp");
  // A top-down bitmap: -60 reads as 65,476.
  add("negative height",
      content([] { return scanWithFields(60, static_cast<std::uint32_t>(-60), 60 * 60); }),
      "Image too large for the gate finder: bad.bmp");
  add("1-bit bitmap", content(oneBitBitmap), "Read beyond end of file: bad.bmp");
  add("24-bit bitmap", content(twentyFourBitBitmap), "");
  // Bytes 18-19 of this text are "e," and 22-23 "ad": 11,365 by 25,697.
  add("plain text",
      content([] { return std::string("This is a text note, made by hand, not a scan.\r\n"); }),
      "Image too large for the gate finder: bad.bmp");
  add("name with blanks", content(soundScan), "", "scan of patient 7.bmp");
  add("name with non-ASCII bytes", content(soundScan), "",
      "Sch\xe4"
      "del \xc3\xa9\xff.bmp");

  for (auto& input : scans) {
    table.push_back(input);
    input.role = Role::Reference;
    table.push_back(input);
  }
}

void addTextCases(std::vector<BadInput>& table) {
  auto add = [&](std::string label, InputKind kind, std::string fileName,
                 std::function<std::string()> make, std::string expected) {
    table.push_back({std::move(label), kind, std::move(fileName), content(std::move(make)),
                     Role::Standard, std::move(expected)});
  };
  const std::string profile = "setup101.param1";
  add(
      "profile with a word for a number", InputKind::Profile, profile,
      [] { return withToken(sound().profile, 2 + 5 * 7 + 1, "12x"); },
      "Invalid numeric input: setup101.param1");
  add(
      "profile with missing lines", InputKind::Profile, profile,
      [] { return firstLines(sound().profile, 40); }, "");
  add(
      "profile with huge values", InputKind::Profile, profile,
      [] { return withToken(sound().profile, 2 + 5 * 3 + 1, "2147483647"); }, "");
  add(
      "profile with a value past the integer range", InputKind::Profile, profile,
      [] { return withToken(sound().profile, 2 + 5 * 3 + 1, "99999999999"); },
      "Invalid numeric input: setup101.param1");
  add(
      "profile announcing 129 rows", InputKind::Profile, profile,
      [] { return withToken(sound().profile, 0, "129"); },
      "Profile does not fit a core slot: setup101.param1");
  add(
      "profile announcing 257 columns", InputKind::Profile, profile,
      [] { return withToken(sound().profile, 1, "257"); },
      "Profile does not fit a core slot: setup101.param1");

  const std::string map = "setup101.map";
  const int firstCell = 2 + 1;  // "100 5", the word "Mean:" and its value, then the sums
  add(
      "map with a word for a number", InputKind::Map, map,
      [] { return withToken(sound().map, firstCell + 513 * 4 + 7, "seven"); },
      "Invalid numeric input: setup101.map");
  add(
      "map with missing lines", InputKind::Map, map, [] { return firstLines(sound().map, 30); },
      "");
  add(
      "map with huge values", InputKind::Map, map,
      [] { return withToken(sound().map, firstCell + 513 * 4 + 7, "2147483647"); }, "");
  add(
      "map with a value past the integer range", InputKind::Map, map,
      [] { return withToken(sound().map, firstCell + 513 * 4 + 7, "1e300"); },
      "Invalid numeric input: setup101.map");
  add(
      "map announcing 129 rows", InputKind::Map, map,
      [] { return withToken(sound().map, 0, "129"); }, "");
  add(
      "map announcing 257 columns", InputKind::Map, map,
      [] { return withToken(sound().map, 1, "257"); }, "");

  const std::string summary = "cluster1.db.txt.dat";
  for (long long count : {-3LL, 0LL, 257LL, 1000LL, 1001LL, 2147483647LL}) {
    const bool corrupt = count < 0 || count > 1000;
    add(
        "cluster summary counting " + std::to_string(count), InputKind::ClusterSummary, summary,
        [count] { return summaryWithCount(count); },
        corrupt ? "Corrupt count " + std::to_string(count) + " in cluster1.db.txt.dat" : "");
  }
  for (int count : {0, -1})
    add(
        "zone list counting " + std::to_string(count), InputKind::ZoneList, "zchs.dat",
        [count] { return zoneListWithCount(count); }, "");
  add(
      "tpa file cut short", InputKind::TpaFile, "tpa.dat",
      [] {
        return std::string("Statistical Results\r\nGroup 1\r\n 1220.000 Total Area\r\n   33.8");
      },
      "");
  add(
      "job list without end entry", InputKind::JobList, "vhist3.dat",
      [] { return jobList("512;512;sound.bmp;patient-1;set-1;setup101.param1;\r\n"); }, "");
  add(
      "job list with an empty field", InputKind::JobList, "vhist3.dat",
      [] { return jobList("512;512;;patient-1;set-1;setup101.param1;\r\n9999;9999;\r\n"); },
      "File not found: ");
}

}  // namespace

void writeSoundFiles() {
  const SoundContents& c = sound();
  writeFile(kSoundScan, c.scan);
  writeFile(kSoundScan2, c.scan2);
  writeFile(kSoundScan3, c.scan3);
  writeFile(kSoundProfile, c.profile);
  writeFile(kSoundMap, c.map);
  writeFile(kSoundSummary, c.summary);
}

const std::vector<BadInput>& badInputs() {
  static const std::vector<BadInput> table = [] {
    std::vector<BadInput> t;
    addBitmapCases(t);
    addTextCases(t);
    return t;
  }();
  return table;
}

std::vector<BadInput> badInputsOnce() {
  std::vector<BadInput> once;
  for (const BadInput& input : badInputs())
    if (input.role == Role::Standard) once.push_back(input);
  return once;
}

std::string testName(const BadInput& input) {
  std::string name;
  bool upper = true;
  for (char c : input.label) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum) {
      upper = true;
      continue;
    }
    name.push_back(upper && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    upper = false;
  }
  if (input.kind == InputKind::Bitmap)
    name += input.role == Role::Standard ? "AsStandard" : "AsReference";
  return name;
}

}  // namespace pelk::test
