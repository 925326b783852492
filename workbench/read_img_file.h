#pragma once
#include <string>

#include "common/picture.h"

namespace pelk {

// Draws a scan into the view: every scan is taken as 512 x 512 bytes starting 1070 bytes into
// the file (8 bytes before the usual pixel data), bottom row first, scaled onto the picture;
// values up to 20 white, brighter ones green of their level. A black 10 x 10 grid with the
// column letters "A".."J" and the row digits "0".."9" goes on top. A file that cannot be read or
// ends early is an IoError, raised after the rows read so far are drawn and before the grid.
void readImgFile(const std::string& fileName, Picture& view);

}  // namespace pelk
