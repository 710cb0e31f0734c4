#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "FakeErrors.h"
#include "platform/Registry.h"
#include "platform/WinVersion.h"

namespace zlv {
namespace {

using namespace std::string_literals;
using test::FakeReporter;
using test::ProgramEnded;

constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegDword = 4;
constexpr int32_t kFileNotFound = 2;
constexpr int32_t kInvalidHandle = 6;
const std::string kVersionKey = "Software\\Microsoft\\Windows NT\\CurrentVersion";

// An in-memory registry under HKEY_LOCAL_MACHINE that behaves as the
// three calls do and records what the logic asks of it.
class MemoryRegistry : public RegistryApi {
 public:
  struct Value {
    uint32_t type;
    std::string bytes;  // exactly as stored, terminator or not
  };

  int32_t OpenKey(RegKey parent, const std::string& subKey, RegKey& key) override {
    calls.push_back("open " + subKey);
    if (parent != kHkeyLocalMachine || !keys.count(subKey)) return kFileNotFound;
    key = 0x100 + static_cast<RegKey>(opened.size());
    opened.push_back(subKey);
    return 0;
  }
  int32_t QueryValue(RegKey key, const std::string& valueName, uint32_t& type, std::string* data,
                     uint32_t& size) override {
    calls.push_back(std::string(data ? "read " : "size ") + valueName);
    if (key < 0x100 || key - 0x100 >= opened.size()) return kInvalidHandle;
    const auto& values = keys[opened[key - 0x100]];
    const auto found = values.find(valueName);
    if (found == values.end()) return kFileNotFound;
    type = found->second.type;
    if (data) {
      if (failReads) return 5;
      data->replace(0, found->second.bytes.size(), found->second.bytes);
    }
    size = static_cast<uint32_t>(found->second.bytes.size());
    return 0;
  }
  int32_t CloseKey(RegKey key) override {
    calls.push_back("close " + std::to_string(key));
    return key == 0 ? kInvalidHandle : 0;
  }

  std::map<std::string, std::map<std::string, Value>> keys;
  std::vector<std::string> opened;
  std::vector<std::string> calls;
  bool failReads = false;
};

struct VersionCase {
  const char* what;
  bool keyExists;
  std::optional<MemoryRegistry::Value> value;
  const char* label;
};

TEST(GetWinVersion, LabelsTheNtVersionText) {
  const VersionCase cases[] = {
      {"Windows 9x: no key", false, std::nullopt, "9X"},
      {"no value", true, std::nullopt, "9X"},
      {"2000", true, {{kRegSz, "5.0\0"s}}, "2K"},
      {"XP", true, {{kRegSz, "5.1\0"s}}, "XP"},
      {"Server 2003", true, {{kRegSz, "5.2\0"s}}, "2K3"},
      {"Vista", true, {{kRegSz, "6.0\0"s}}, "VISTA"},
      {"NT 4", true, {{kRegSz, "4.0\0"s}}, "NT4"},
      {"NT 3.51", true, {{kRegSz, "3.51\0"s}}, "NT4"},
      {"Windows 7", true, {{kRegSz, "6.1\0"s}}, "NT4"},
      {"Windows 10", true, {{kRegSz, "10.0\0"s}}, "NT4"},
      {"only three characters count", true, {{kRegSz, "5.10\0"s}}, "XP"},
      {"exact comparison", true, {{kRegSz, " 5.1\0"s}}, "NT4"},
      {"empty text", true, {{kRegSz, "\0"s}}, "NT4"},
      {"no terminator", true, {{kRegSz, "6.0"}}, "VISTA"},
      {"text after an embedded NUL",
       true,
       {{kRegSz,
         "5.2\0"
         "6.0\0"s}},
       "2K3"},
      {"expandable text is unreadable", true, {{kRegExpandSz, "5.1\0"s}}, "9X"},
      {"a number is unreadable", true, {{kRegDword, "\x05\0\0\0"s}}, "9X"},
  };
  for (const auto& c : cases) {
    MemoryRegistry registry;
    if (c.keyExists) registry.keys[kVersionKey];
    if (c.value) registry.keys[kVersionKey]["CurrentVersion"] = *c.value;
    FakeReporter fake;
    EXPECT_EQ(GetWinVersion(registry, fake.reporter), c.label) << c.what;
    EXPECT_FALSE(fake.Reported()) << c.what;
  }
}

TEST(Getstring, AlwaysClosesAndNeverChangesTheDefault) {
  MemoryRegistry registry;
  FakeReporter fake;
  const std::string def = "fallback";
  // The failed open leaves the handle 0: the query fails, 0 is closed.
  EXPECT_EQ(Getstring(registry, fake.reporter, kHkeyLocalMachine, "Missing", "v", def), def);
  EXPECT_EQ(registry.calls, (std::vector<std::string>{"open Missing", "size v", "close 0"}));

  registry.keys["K"]["v"] = {kRegSz, "text\0"s};
  registry.calls.clear();
  EXPECT_EQ(Getstring(registry, fake.reporter, kHkeyLocalMachine, "K", "v", def), "text");
  EXPECT_EQ(registry.calls, (std::vector<std::string>{"open K", "size v", "read v", "close 256"}));
  EXPECT_EQ(def, "fallback");
}

TEST(RegQueryStringValue, AFailedSecondReadGivesTheDefault) {
  MemoryRegistry registry;
  FakeReporter fake;
  registry.keys["K"]["v"] = {kRegSz, "text\0"s};
  RegKey key = 0;
  ASSERT_EQ(registry.OpenKey(kHkeyLocalMachine, "K", key), 0);
  registry.failReads = true;
  EXPECT_EQ(RegQueryStringValue(registry, fake.reporter, key, "v", "d"), "d");
}

TEST(StripTerminator, CutsAtTheFirstNulWithinSixteenBits) {
  FakeReporter fake;
  struct Case {
    std::string text, expected;
  };
  const Case cases[] = {
      {"abc", "abc"},
      {"ab\0c\0"s, "ab"},
      {"\0abc"s, ""},
      {std::string(32766, 'x') + '\0', std::string(32766, 'x')},  // position 32767
      {std::string(40000, 'y'), std::string(40000, 'y')},         // no NUL: no position
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StripTerminator(fake.reporter, c.text), c.expected) << c.text.size();
  }
  EXPECT_FALSE(fake.Reported());

  EXPECT_THROW(StripTerminator(fake.reporter, std::string(32767, 'x') + '\0'), ProgramEnded);
  EXPECT_NE(fake.Message().find("Error Number: 6\r\nDescription: Overflow\r\n"
                                "Module Name: Registry\r\nProcedure Name: StripTerminator\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace zlv
