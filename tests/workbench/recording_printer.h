#pragma once
#include <string>
#include <vector>

#include "workbench/printer.h"

namespace pelk::test {

// A printer that keeps what it was asked to do, one entry a call, for the print tests.
class RecordingPrinter : public Printer {
 public:
  struct Page {
    std::vector<std::string> texts;  // "x,y:text"
    std::vector<std::string> bitmaps;
  };
  std::vector<std::string> calls;
  std::vector<Page> pages;
  int lineHeight = 50;
  bool failBitmap = false;

  void beginJob(const std::string& title) override {
    calls.push_back("begin " + title);
    pages.emplace_back();
  }
  void newPage() override {
    calls.push_back("page");
    pages.emplace_back();
  }
  void textOut(int x, int y, const std::string& text) override {
    pages.back().texts.push_back(std::to_string(x) + "," + std::to_string(y) + ":" + text);
  }
  int textHeight(const std::string&) override { return lineHeight; }
  void drawBitmapFile(const std::string& path, int left, int top, int right, int bottom) override;
  void endJob() override { calls.push_back("end"); }
};

}  // namespace pelk::test
