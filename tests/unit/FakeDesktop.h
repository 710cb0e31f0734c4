// In-memory fakes of the small desktop services.
#pragma once

#include <cctype>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/Desktop.h"
#include "shell/ManagerGlobal.h"

namespace zlv::test {

// A clock that moves only when told to, or by a step at every reading.
class FakeClock : public Clock {
 public:
  float SecondsSinceMidnight() override {
    const float value = now;
    now += stepPerReading;
    return value;
  }
  void Sleep(int32_t milliseconds) override {
    slept += milliseconds;
    now += milliseconds / 1000.0f;
  }
  float now = 36000.0f;
  float stepPerReading = 0.0f;
  int32_t slept = 0;
};

class FakeEventPump : public EventPump {
 public:
  void DoEvents() override {
    ++count;
    if (onDoEvents) onDoEvents();
  }
  int count = 0;
  std::function<void()> onDoEvents;
};

class FakeBeeper : public Beeper {
 public:
  void Beep() override { ++beeps; }
  int beeps = 0;
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

// Settings kept in memory, keyed case-insensitively like the profile functions.
class MemoryProfileStore : public ProfileStore {
 public:
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, const std::string& path) override {
    auto it = values.find(Key(path, section, key));
    return it == values.end() ? defaultValue : it->second;
  }
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& path) override {
    if (readOnly) return false;
    values[Key(path, section, key)] = value;
    writes.push_back(key + "=" + value);
    return true;
  }
  std::string Value(const std::string& path, const std::string& section, const std::string& key) {
    auto it = values.find(Key(path, section, key));
    return it == values.end() ? "<absent>" : it->second;
  }
  void Set(const std::string& path, const std::string& section, const std::string& key,
           const std::string& value) {
    values[Key(path, section, key)] = value;
  }

  bool readOnly = false;
  std::vector<std::string> writes;

 private:
  static std::tuple<std::string, std::string, std::string> Key(std::string path,
                                                               std::string section,
                                                               std::string key) {
    for (auto* s : {&path, &section, &key}) {
      for (char& c : *s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return {path, section, key};
  }
  std::map<std::tuple<std::string, std::string, std::string>, std::string> values;
};

}  // namespace zlv::test
