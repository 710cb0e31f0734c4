// In-memory stand-ins shared by the unit tests. Each keeps the contract of
// what it stands for: where the real one raises or refuses, so does the fake.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/ErrorReporter.h"
#include "core/Failure.h"
#include "logmonitor/InfoLogReader.h"
#include "platform/Clock.h"
#include "platform/UserPrompts.h"
#include "platform/WindowFrame.h"
#include "settings/ManagerGlobal.h"
#include "settings/ProfileEngine.h"
#include "theme/XPTheme.h"

namespace zlv::test {

using Strings = std::vector<std::string>;

// The abrupt end of the program, which no Procedure catches.
struct ProgramEnded {};

// The desktop's small services, a 1024 x 768 screen at 15 twips a pixel and
// the error output, whose box, beeps and end are logged in order. The clock
// counts whole milliseconds, so that short sleeps add up exactly, moved by
// sleeps and by a step at every reading; it wraps at midnight.
struct FakeDesktop : Clock, EventPump, Beeper, Screen, ErrorOutput {
  float SecondsSinceMidnight() override {
    const float seconds = static_cast<float>(ms / 1000.0);
    Advance(stepPerReading);
    return seconds;
  }
  void Sleep(int32_t duration) override { slept += duration, Advance(duration); }
  void Advance(int64_t duration) { ms = (ms + duration) % 86400000; }
  void DoEvents() override { ++pumped; }
  void Beep() override { ++beeps, events.push_back("beep"); }
  int32_t WidthTwips() override { return 15360; }
  int32_t HeightTwips() override { return 11520; }
  int32_t TwipsPerPixelX() override { return 15; }
  int32_t TwipsPerPixelY() override { return 15; }
  ProgramVersion Version() override { return {3, 2, 1}; }
  std::string GeneralDateTime() override { return "06/12/2026 10:11:12"; }
  void ShowCritical(const std::string& text, const std::string& title) override {
    message = text, events.push_back("box " + title);
  }
  [[noreturn]] void EndNow() override {
    events.push_back("end");
    throw ProgramEnded{};
  }
  int64_t ms = 36000000, stepPerReading = 0, slept = 0;
  int pumped = 0, beeps = 0;
  std::string message;
  Strings events;
  ErrorReporter reporter{*this};
};

struct FakeTimer : Timer {
  void SetInterval(int32_t ms) override {
    if (ms < 0) Raise(err::kInvalidProperty, "Invalid property value");
    interval = ms;
  }
  // Enabling starts the interval afresh, as SetTimer does.
  void SetEnabled(bool on) override { enabled = on, starts += on; }
  bool Enabled() const override { return enabled; }
  int32_t interval = 0;
  bool enabled = false;
  int starts = 0;
};

// A frame that logs every change ("Top=300"); like a real window it refuses
// states but 0..2 and raises its resize event at once on a change of size or state.
template <class Frame>
struct FakeFrame : Frame {
  int32_t Left() override { return left; }
  int32_t Top() override { return top; }
  int32_t Width() override { return width; }
  int32_t Height() override { return height; }
  void SetLeft(int32_t v) override { left = v, Log("Left=" + std::to_string(v)); }
  void SetTop(int32_t v) override { top = v, Log("Top=" + std::to_string(v)); }
  void SetWidth(int32_t v) override { Log("Width=" + std::to_string(v)), Resize(v, height); }
  void SetHeight(int32_t v) override { Log("Height=" + std::to_string(v)), Resize(width, v); }
  void Move(int32_t l, int32_t t, int32_t w, int32_t h) override {
    left = l, top = t;
    Log("Move=" + std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(w) + "," +
        std::to_string(h));
    Resize(w, h);
  }
  int32_t WindowState() override { return state; }
  void SetWindowState(int32_t s) override {
    if (s < 0 || s > 2) Raise(err::kInvalidProperty, "Invalid property value");
    state = s, Log("State=" + std::to_string(s));
    if (onResize) onResize();
  }
  void Log(std::string entry) { log.push_back(std::move(entry)); }
  int32_t left = 0, top = 0, width = 4800, height = 3600, state = 0;
  Strings log;
  std::function<void()> onResize;

 private:
  void Resize(int32_t w, int32_t h) {
    const bool changed = w != width || h != height;
    width = w, height = h;
    if (changed && onResize) onResize();
  }
};

// The settings file's bytes under the real store's engine, so reads and refused
// writes are exactly those of a file; `writable` false refuses every write.
struct FakeProfileStore : ProfileStore {
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, const std::string&) override {
    return profile::ReadString(content, section, key, defaultValue);
  }
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string&) override {
    auto updated = profile::WriteString(content.value_or(""), section, key, value);
    if (!writable || !updated) return false;
    content = std::move(updated);
    return true;
  }
  std::optional<std::string> content;  // nullopt: no file
  bool writable = true;
};

// Windows and their current procedures. A called procedure is logged and
// answers its address plus the message; the default processing answers -77.
struct FakeWindowProcLayer : WindowProcLayer {
  WindowProcAddress ThemeProc() override { return 0x7000; }
  // Like SetWindowLong: 0, and nothing changed, for a window it does not know.
  WindowProcAddress SetWindowProc(WindowHandle window, WindowProcAddress proc) override {
    ++setCalls;
    return procs.contains(window) ? std::exchange(procs[window], proc) : 0;
  }
  intptr_t CallProc(WindowProcAddress proc, WindowHandle, uint32_t message, uintptr_t,
                    intptr_t) override {
    if (message == wm::kNcDestroy && onNcDestroy) onNcDestroy();
    calls.push_back(proc);
    return static_cast<intptr_t>(proc + message);
  }
  intptr_t DefaultProc(WindowHandle, uint32_t, uintptr_t, intptr_t) override {
    calls.push_back(0);
    return -77;
  }
  int32_t InitCommonControlsEx(const CommonControlsInit& init) override {
    initClasses = init.classes;
    if (!initResult) Raise(453, "Can't find DLL entry point InitCommonControlsEx in comctl32");
    return *initResult;
  }
  std::vector<ControlInfo> Controls(WindowHandle window) override { return windows[window]; }
  std::map<WindowHandle, WindowProcAddress> procs;
  std::map<WindowHandle, std::vector<ControlInfo>> windows;
  std::vector<WindowProcAddress> calls;  // who handled each message; 0: the default
  std::function<void()> onNcDestroy;
  uint32_t initClasses = 0;
  std::optional<int32_t> initResult = 1;  // nullopt: comctl32 lacks the function
  int setCalls = 0;
};

// The grid's rows in memory; `redrawsOff` counts the set-up's and each fill's switch-off.
struct FakeLogGrid : LogGridSetup {
  void SetRedraw(bool on) override { redrawsOff += on ? 0 : 1; }
  void InsertRow(int32_t position, std::span<const std::string_view> cells) override {
    rows.insert(rows.begin() + position, Strings(cells.begin(), cells.end()));
  }
  int32_t Rows() override { return static_cast<int32_t>(rows.size()); }
  void SetRows(int32_t count) override { rows.resize(count); }
  int32_t Cols() override { return 4; }
  void SetView(int32_t) override {}
  void AutoSize(int32_t, int32_t, bool, int32_t) override {}
  void SetCols(int32_t) override {}
  void SetTitles(std::string_view) override {}
  void SetLeftAligned(int32_t) override {}
  void SetLogLook() override {}
  std::vector<Strings> rows{{"Time", "Priority", "Device", "Details"}};
  int redrawsOff = 0;
};

// The settings engine over a file in memory, with what it uses around it.
struct FakeSettings {
  FakeProfileStore store;
  FakeDesktop desktop;
  ManagerGlobal settings{store, desktop, desktop.reporter};
};

// A fresh folder that anyone may write to, removed with its contents.
struct TempFolder {
  TempFolder() { create_directories(path), permissions(path, std::filesystem::perms::all); }
  ~TempFolder() {
    std::error_code ignored;
    remove_all(path, ignored);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
  void Put(const std::string& name, const std::string& bytes,
           std::ios::openmode mode = std::ios::trunc) const {
    std::ofstream(File(name), std::ios::binary | mode) << bytes;
  }
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("zlv-test-" + std::to_string(std::random_device()()));
};

}  // namespace zlv::test
