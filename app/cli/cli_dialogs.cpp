#include "app/cli/cli_dialogs.h"

namespace pelk {

void CliDialogs::beginCommand(std::string name, std::optional<std::string> typedText) {
  command_ = std::move(name);
  typedText_ = std::move(typedText);
  failed_ = false;
  lastError_.clear();
}

std::optional<std::string> CliDialogs::openFile(const std::string&) { return std::nullopt; }

std::string CliDialogs::inputBox(const std::string&, const std::string&,
                                 const std::string& initialText) {
  if (!typedText_) return initialText;
  std::string text = std::move(*typedText_);
  typedText_.reset();
  return text;
}

void CliDialogs::showError(const std::string& message) {
  err_ << "error: " << command_ << ": " << message << '\n';
  failed_ = true;
  lastError_ = message;
}

void CliDialogs::showMessage(const std::string& message) {
  err_ << command_ << ": " << message << '\n';
}

}  // namespace pelk
