// In-memory stand-ins for the desktop services and the settings store that
// every part of the manager asks for. One of each, shared by all unit tests.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Desktop.h"
#include "shell/Failure.h"
#include "shell/ManagerGlobal.h"

namespace zlv::test {

// Seconds since midnight that move when the code sleeps, and by an optional
// step at every reading; wraps at 24 h. Kept in whole milliseconds so that
// many short sleeps add up exactly, as the readings of a real clock do.
class FakeClock : public Clock {
 public:
  float SecondsSinceMidnight() override {
    const float value = static_cast<float>(ms / 1000.0);
    Advance(stepPerReading);
    return value;
  }
  void Sleep(int32_t duration) override {
    slept += duration;
    Advance(duration);
  }
  void SetSeconds(double seconds) { ms = static_cast<int64_t>(seconds * 1000); }
  void Advance(int64_t duration) { ms = (ms + duration) % 86400000; }

  int64_t ms = 36000000;
  int64_t stepPerReading = 0;  // milliseconds
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

class FakeBeeper : public Beeper {
 public:
  void Beep() override { ++beeps; }
  int beeps = 0;
};

class FakeTimer : public Timer {
 public:
  void SetInterval(int32_t ms) override { interval = ms; }
  void SetEnabled(bool on) override { enabled = on; }
  bool Enabled() const override { return enabled; }
  int32_t interval = 0;
  bool enabled = false;
};

class FakeScreen : public Screen {
 public:
  int32_t WidthTwips() override { return width; }
  int32_t HeightTwips() override { return height; }
  int32_t TwipsPerPixelX() override { return twipsPerPixel; }
  int32_t width = 15360;   // 1024 pixels at 15 twips
  int32_t height = 11520;  // 768 pixels
  int32_t twipsPerPixel = 15;
};

// A frame that records every change; like a real window, a change of size or
// state raises the resize event at once.
class FakeWindowFrame : public WindowFrame {
 public:
  int32_t Left() override { return left; }
  int32_t Top() override { return top; }
  int32_t Width() override { return width; }
  int32_t Height() override { return height; }
  void SetLeft(int32_t v) override { left = v, Log("Left=" + std::to_string(v)); }
  void SetTop(int32_t v) override { top = v, Log("Top=" + std::to_string(v)); }
  void SetWidth(int32_t v) override {
    Log("Width=" + std::to_string(v));
    Resize(v, height);
  }
  void SetHeight(int32_t v) override {
    Log("Height=" + std::to_string(v));
    Resize(width, v);
  }
  void Move(int32_t l, int32_t t, int32_t w, int32_t h) override {
    left = l, top = t;
    Log("Move=" + std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(w) + "," +
        std::to_string(h));
    Resize(w, h);
  }
  int32_t WindowState() override { return state; }
  void SetWindowState(int32_t s) override {
    if (s < 0 || s > 2) Raise(err::kInvalidProperty, "Invalid property value");
    state = s;
    Log("State=" + std::to_string(s));
    if (onResize) onResize();
  }

  int32_t left = 0, top = 0, width = 4800, height = 3600, state = 0;
  std::vector<std::string> log;
  std::function<void()> onResize;

 private:
  void Log(std::string entry) { log.push_back(std::move(entry)); }
  void Resize(int32_t w, int32_t h) {
    const bool changed = w != width || h != height;
    width = w, height = h;
    if (changed && onResize) onResize();
  }
};

// Settings kept in memory, keyed case-insensitively by section and key like
// the profile functions. An absent entry reads as the default without its
// trailing blanks, as the real reader answers. Every call is logged; a store
// that is not writable refuses writes and keeps nothing.
class FakeProfileStore : public ProfileStore {
 public:
  struct Call {
    std::string section, key, text, path;
    bool operator==(const Call&) const = default;
  };

  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, const std::string& path) override {
    reads.push_back({section, key, defaultValue, path});
    CheckPath(path);
    const auto found = values.find(Key(section, key));
    if (found != values.end()) return found->second;
    std::string def = defaultValue;
    while (!def.empty() && def.back() == ' ') def.pop_back();
    return def;
  }
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& path) override {
    writes.push_back({section, key, value, path});
    CheckPath(path);
    if (!writable) return false;
    values[Key(section, key)] = value;
    return true;
  }

  void Set(const std::string& section, const std::string& key, const std::string& value) {
    values[Key(section, key)] = value;
  }
  void Erase(const std::string& section, const std::string& key) {
    values.erase(Key(section, key));
  }
  std::string Value(const std::string& section, const std::string& key) const {
    const auto found = values.find(Key(section, key));
    return found == values.end() ? "<absent>" : found->second;
  }
  // The writes as "key=value", in order.
  std::vector<std::string> Written() const {
    std::vector<std::string> out;
    for (const Call& w : writes) out.push_back(w.key + "=" + w.text);
    return out;
  }

  std::map<std::pair<std::string, std::string>, std::string> values;
  std::vector<Call> reads;
  std::vector<Call> writes;
  bool writable = true;
  std::string expectedPath;  // when set, every call must name this file

 private:
  void CheckPath(const std::string& path) const {
    if (!expectedPath.empty()) {
      EXPECT_EQ(path, expectedPath);
    }
  }
  static std::pair<std::string, std::string> Key(std::string section, std::string key) {
    for (auto* s : {&section, &key}) {
      for (char& c : *s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return {section, key};
  }
};

}  // namespace zlv::test
