#pragma once
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace pelk::test {

// What a malformed input stands in for, which decides the readers it goes through.
enum class InputKind {
  Bitmap,          // a scan named in Edit1 or Edit2
  Profile,         // "setup101.param1"
  Map,             // "setup101.map" (and, for the highlight system, "setup101.map1")
  ClusterSummary,  // "cluster1.db.txt.dat"
  ZoneList,        // "zchs.dat"
  TpaFile,         // "tpa.dat"
  JobList,         // "vhist3.dat" and "vmap1.dat"
};

// Which of the two images a bad scan stands for; the other is a sound scan.
enum class Role { Standard, Reference };

// One malformed input of the table: the file (or directory, pipe, link) made under `fileName`
// in the current folder, and what the input's main reader makes of it. `expected` is a piece
// of the IoError message that reader must end with, "" when the reader must complete, or
// kEitherOutcome when both are sound (a mode-000 file is readable to the superuser).
struct BadInput {
  std::string label;
  InputKind kind;
  std::string fileName;
  std::function<void(const std::string& path)> make;
  Role role = Role::Standard;
  std::string expected;
};

inline constexpr const char* kEitherOutcome = "*";

// The sound files the bad ones stand beside, made by the system's own producers from generated
// scans. Written into the current folder by writeSoundFiles():
//   "sound.bmp", "sound2.bmp", "sound3.bmp"  512 x 512 scans with bright spots
//   "sound.param1", "sound.map", "sound.dat" a profile, a map and a cluster summary
inline constexpr const char* kSoundScan = "sound.bmp";
inline constexpr const char* kSoundScan2 = "sound2.bmp";
inline constexpr const char* kSoundScan3 = "sound3.bmp";
inline constexpr const char* kSoundProfile = "sound.param1";
inline constexpr const char* kSoundMap = "sound.map";
inline constexpr const char* kSoundSummary = "sound.dat";
void writeSoundFiles();

// The whole table: more than 40 malformed inputs, each bad scan once as the standard and once
// as the reference image.
const std::vector<BadInput>& badInputs();
// The same inputs with each bad scan once, as the standard image: for the slower tables that
// run whole command chains per input.
std::vector<BadInput> badInputsOnce();

// Test output names the input by its label.
inline void PrintTo(const BadInput& input, std::ostream* out) { *out << input.label; }

// A name usable as a test name: letters, digits and "_".
std::string testName(const BadInput& input);

}  // namespace pelk::test
