#pragma once
#include <string>

namespace pelk {

// The default printer's drawing surface, in printer pixels.
class Printer {
 public:
  virtual ~Printer() = default;

  virtual void beginJob(const std::string& title) = 0;
  virtual void newPage() = 0;
  virtual void textOut(int x, int y, const std::string& text) = 0;
  // The height of the text in the printer's current font.
  virtual int textHeight(const std::string& text) = 0;
  // Loads a bitmap file and draws it stretched into the rectangle; IoError when the file
  // cannot be loaded.
  virtual void drawBitmapFile(const std::string& path, int left, int top, int right,
                              int bottom) = 0;
  virtual void endJob() = 0;
};

}  // namespace pelk
