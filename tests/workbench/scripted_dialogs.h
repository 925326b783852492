#pragma once
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "workbench/dialogs.h"

namespace pelk::test {

// Dialogs that answer from a script and record what the workbench showed. An input box with no
// scripted answer left is cancelled; so is a file dialog.
class ScriptedDialogs : public Dialogs {
 public:
  std::deque<std::string> answers;
  std::deque<std::optional<std::string>> chosenFiles;

  std::vector<std::string> inputBoxes;  // "caption|prompt|initial"
  std::vector<std::string> fileFilters;
  std::vector<std::string> errors;
  std::vector<std::string> messages;

  std::optional<std::string> openFile(const std::string& filter) override {
    fileFilters.push_back(filter);
    if (chosenFiles.empty()) return std::nullopt;
    auto chosen = chosenFiles.front();
    chosenFiles.pop_front();
    return chosen;
  }
  std::string inputBox(const std::string& caption, const std::string& prompt,
                       const std::string& initialText) override {
    inputBoxes.push_back(caption + "|" + prompt + "|" + initialText);
    if (answers.empty()) return initialText;
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void showError(const std::string& message) override { errors.push_back(message); }
  void showMessage(const std::string& message) override { messages.push_back(message); }
};

}  // namespace pelk::test
