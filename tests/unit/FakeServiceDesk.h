// In-memory stand-ins for what only the service operations and the status
// line use of the desktop: status bar, message boxes, shell and login dialog.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "service/LoginDialog.h"
#include "service/StatusLine.h"
#include "shell/Failure.h"

namespace zlv::test {

class FakeStatusBar : public StatusBar {
 public:
  void SetPanelText(int32_t panel, const std::string& text) override {
    panels[panel] = text;
    if (!text.empty()) shown.push_back(text);
  }
  void Repaint() override { ++repaints; }
  std::string Line() { return panels[1]; }

  std::map<int32_t, std::string> panels;
  std::vector<std::string> shown;  // every non-empty text, in order
  int repaints = 0;
};

class FakeBoxes : public MessageBoxes {
 public:
  struct Box {
    std::string text;
    int32_t flags;
    std::string title;
  };
  int32_t Show(const std::string& text, int32_t flags, const std::string& title) override {
    boxes.push_back({text, flags, title});
    if (onShow) onShow();
    return answer;
  }
  std::vector<Box> boxes;
  int32_t answer = mb::kAnswerYes;
  std::function<void()> onShow;
};

class FakeShell : public ShellLauncher {
 public:
  void Open(const std::string& operation, const std::string& file, const std::string& parameters,
            const std::string& directory, int32_t showMode) override {
    opened.push_back(operation + "|" + file + "|" + parameters + "|" + directory + "|" +
                     std::to_string(showMode));
  }
  std::vector<std::string> opened;
};

class FakeLogin : public LoginDialog {
 public:
  void ShowModal() override {
    ++showings;
    if (!showError.empty()) Raise(5, showError);
  }
  bool OKPressed() override { return ok; }
  std::string UserName() override { return user; }
  std::string Password() override { return password; }
  int showings = 0;
  std::string showError;
  bool ok = true;
  std::string user = ".\\netadmin";
  std::string password = "s3cret";
};

}  // namespace zlv::test
