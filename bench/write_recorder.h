#pragma once
#include <string>
#include <vector>

namespace pelk::bench {

// One output file as the system wrote it: the name it was opened under and every byte put into
// it before it was closed. A file written twice in one command appears twice.
struct WrittenFile {
  std::string path;
  std::string bytes;
};

// Records the files the system writes while a recording is open. The system writes every output
// file through open, writev and close (a few through fopen, fwrite and fclose), which the
// benchmark's link redirects through the recorder; outside a recording the calls pass straight
// through.
class WriteRecording {
 public:
  WriteRecording();
  ~WriteRecording();
  WriteRecording(const WriteRecording&) = delete;
  WriteRecording& operator=(const WriteRecording&) = delete;

  // The files closed so far, in the order they were closed.
  std::vector<WrittenFile> take();
};

std::size_t totalBytes(const std::vector<WrittenFile>& files);

}  // namespace pelk::bench
