// In-memory stand-ins for the settings file's platform side: a profile store
// with programmed answers, a beeper that counts, and a window frame and
// screen that record what the placement scheme does to them.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/Desktop.h"
#include "shell/Failure.h"
#include "shell/ManagerGlobal.h"

namespace zlv::test {

class FakeProfileStore : public ProfileStore {
 public:
  // Answers are keyed by section and key; anything else gets the reader's
  // answer for an absent entry: the default without trailing blanks.
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, const std::string& path) override {
    reads.push_back({section, key, defaultValue, path});
    const auto found = answers.find({section, key});
    if (found != answers.end()) return found->second;
    std::string def = defaultValue;
    while (!def.empty() && def.back() == ' ') def.pop_back();
    return def;
  }
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& path) override {
    writes.push_back({section, key, value, path});
    return writable;
  }

  struct Call {
    std::string section, key, text, path;
    bool operator==(const Call&) const = default;
  };
  std::map<std::pair<std::string, std::string>, std::string> answers;
  std::vector<Call> reads;
  std::vector<Call> writes;
  bool writable = true;
};

class CountingBeeper : public Beeper {
 public:
  void Beep() override { ++beeps; }
  int beeps = 0;
};

class FakeWindowFrame : public WindowFrame {
 public:
  int32_t Left() override { return left; }
  int32_t Top() override { return top; }
  int32_t Width() override { return width; }
  int32_t Height() override { return height; }
  void SetLeft(int32_t v) override { left = v, log.push_back("Left=" + std::to_string(v)); }
  void SetTop(int32_t v) override { top = v, log.push_back("Top=" + std::to_string(v)); }
  void SetWidth(int32_t v) override { width = v, log.push_back("Width=" + std::to_string(v)); }
  void SetHeight(int32_t v) override { height = v, log.push_back("Height=" + std::to_string(v)); }
  void Move(int32_t l, int32_t t, int32_t w, int32_t h) override {
    left = l, top = t, width = w, height = h;
    log.push_back("Move=" + std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(w) +
                  "," + std::to_string(h));
  }
  int32_t WindowState() override { return state; }
  void SetWindowState(int32_t s) override {
    if (s < 0 || s > 2) Raise(err::kInvalidProperty, "Invalid property value");
    state = s;
    log.push_back("State=" + std::to_string(s));
  }

  int32_t left = 0, top = 0, width = 4800, height = 3600, state = 0;
  std::vector<std::string> log;
};

class FakeScreen : public Screen {
 public:
  int32_t WidthTwips() override { return width; }
  int32_t HeightTwips() override { return height; }
  int32_t TwipsPerPixelX() override { return 15; }
  int32_t width = 15360, height = 11520;  // 1024 x 768 pixels
};

}  // namespace zlv::test
