#pragma once
#include <optional>
#include <ostream>
#include <string>

#include "workbench/dialogs.h"

namespace pelk {

// The dialogs of a headless run. Errors go to standard error as "error: COMMAND: MESSAGE" and
// mark the running command as failed; other messages as "COMMAND: MESSAGE". The next input box
// returns the text given with the command word ("save-image=NAME"); any other input box is
// cancelled, and no file is ever chosen.
class CliDialogs : public Dialogs {
 public:
  explicit CliDialogs(std::ostream& err) : err_(err) {}

  // Starts a command: names it in the lines written and clears its failure.
  void beginCommand(std::string name, std::optional<std::string> typedText = std::nullopt);
  bool failed() const { return failed_; }
  // The message the running command failed with.
  const std::string& lastError() const { return lastError_; }

  std::optional<std::string> openFile(const std::string& filter) override;
  std::string inputBox(const std::string& caption, const std::string& prompt,
                       const std::string& initialText) override;
  void showError(const std::string& message) override;
  void showMessage(const std::string& message) override;

 private:
  std::ostream& err_;
  std::string command_;
  std::optional<std::string> typedText_;
  bool failed_ = false;
  std::string lastError_;
};

}  // namespace pelk
