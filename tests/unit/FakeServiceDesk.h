// In-memory stand-ins for what the service operations and the status line
// use of the desktop: status bar, timers, clock, event pump, message boxes,
// shell, login dialog and the settings store.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "service/LoginDialog.h"
#include "service/StatusLine.h"
#include "shell/Failure.h"
#include "shell/ManagerGlobal.h"

namespace zlv::svctest {

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

class FakeTimer : public Timer {
 public:
  void SetInterval(int32_t ms) override { interval = ms; }
  void SetEnabled(bool on) override { enabled = on; }
  bool Enabled() const override { return enabled; }
  int32_t interval = 0;
  bool enabled = false;
};

// Seconds since midnight that move only when the code sleeps; wraps at 24 h.
// Kept in whole milliseconds so that many short sleeps add up exactly, as
// the readings of a real clock do.
class FakeClock : public Clock {
 public:
  float SecondsSinceMidnight() override { return static_cast<float>(ms / 1000.0); }
  void Sleep(int32_t duration) override {
    slept += duration;
    ms = (ms + duration) % 86400000;
  }
  void SetSeconds(double seconds) { ms = static_cast<int64_t>(seconds * 1000); }
  int64_t ms = 36000000;
  int64_t slept = 0;
};

class FakeEventPump : public EventPump {
 public:
  void DoEvents() override {
    ++calls;
    if (onEvents) onEvents();
  }
  int calls = 0;
  std::function<void()> onEvents;
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

class FakeStore : public ProfileStore {
 public:
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, const std::string& path) override {
    reads.push_back(path + "|" + section + "|" + key);
    const auto it = values.find(section + "|" + key);
    return it == values.end() ? defaultValue : it->second;
  }
  bool WriteString(const std::string&, const std::string&, const std::string&,
                   const std::string&) override {
    ++writes;
    return true;
  }
  std::map<std::string, std::string> values;
  std::vector<std::string> reads;
  int writes = 0;
};

class FakeBeeper : public Beeper {
 public:
  void Beep() override { ++beeps; }
  int beeps = 0;
};

}  // namespace zlv::svctest
