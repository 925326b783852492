#pragma once
#include <optional>
#include <string>

namespace pelk {

// The window's modal dialogs, kept behind an interface so the commands run the same under the
// Qt window, the command-line front end and the tests.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // The file-open dialog: the chosen file's full path, or nothing when cancelled.
  virtual std::optional<std::string> openFile(const std::string& filter) = 0;
  // The input box: the entered text, or initialText when cancelled.
  virtual std::string inputBox(const std::string& caption, const std::string& prompt,
                               const std::string& initialText) = 0;
  // The error message box a failed command ends with.
  virtual void showError(const std::string& message) = 0;
  // A message that is not an error.
  virtual void showMessage(const std::string& message) = 0;
};

}  // namespace pelk
