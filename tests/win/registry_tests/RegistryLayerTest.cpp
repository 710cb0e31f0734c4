// The advapi32 registry layer under the registry functions, on a key of our
// own in HKEY_CURRENT_USER, and the version label of the system we run on.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/Registry_win.h"
#include "platform/WinVersion.h"
#include "shell/ErrorReporter.h"

namespace zlv {
namespace {

using namespace std::string_literals;

constexpr RegKey kHkeyCurrentUser = 0x80000001;
const char* const kTestKey = "Software\\ZemloLinkvaneRegistryTest";

// Failures must not end the test program: they become test failures.
class ThrowingOutput : public ErrorOutput {
 public:
  ProgramVersion Version() override { return {}; }
  std::string GeneralDateTime() override { return ""; }
  void ShowCritical(const std::string& text, const std::string&) override { last = text; }
  void Beep() override {}
  [[noreturn]] void EndNow() override { throw std::runtime_error(last); }
  std::string last;
};

class RegistryLayer : public ::testing::Test {
 protected:
  // The key holds values only, so deleting it needs no recursion.
  void SetUp() override {
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kTestKey, &key), ERROR_SUCCESS);
    Set(key, "text", REG_SZ, "5.1\0"s);
    Set(key, "unterminated", REG_SZ, "6.0"s);
    Set(key, "embedded", REG_SZ, "5.2\0tail\0"s);
    Set(key, "empty", REG_SZ, "\0"s);
    Set(key, "expand", REG_EXPAND_SZ, "%WINDIR%\0"s);
    Set(key, "number", REG_DWORD, "\x01\0\0\0"s);
    RegCloseKey(key);
  }
  void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey); }
  static void Set(HKEY key, const char* name, DWORD type, const std::string& bytes) {
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
  }

  ThrowingOutput output_;
  ErrorReporter reporter_{output_};
  Win32Registry registry_;
};

TEST_F(RegistryLayer, ReadsTextValuesThroughThirtyTwoBitHandles) {
  struct Case {
    const char* value;
    std::string expected;
  };
  const Case cases[] = {
      {"text", "5.1"},       {"unterminated", "6.0"}, {"embedded", "5.2"},    {"empty", ""},
      {"expand", "default"}, {"number", "default"},   {"missing", "default"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Getstring(registry_, reporter_, kHkeyCurrentUser, kTestKey, c.value, "default"),
              c.expected)
        << c.value;
  }
  EXPECT_EQ(Getstring(registry_, reporter_, kHkeyCurrentUser, "Software\\NoSuchKeyHere", "text",
                      "default"),
            "default");
}

TEST_F(RegistryLayer, AFailedOpenLeavesTheHandleZeroAndClosingZeroIsHarmless) {
  RegKey key = 0;
  EXPECT_NE(registry_.OpenKey(kHkeyCurrentUser, "Software\\NoSuchKeyHere", key), 0);
  EXPECT_EQ(key, 0u);
  uint32_t type = 0, size = 0;
  EXPECT_NE(registry_.QueryValue(0, "text", type, nullptr, size), 0);
  registry_.CloseKey(0);

  ASSERT_EQ(registry_.OpenKey(kHkeyCurrentUser, kTestKey, key), 0);
  EXPECT_NE(key, 0u);
  ASSERT_EQ(registry_.QueryValue(key, "text", type, nullptr, size), 0);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(registry_.CloseKey(key), 0);
  EXPECT_NE(registry_.QueryValue(key, "text", type, nullptr, size), 0) << "closed";
}

TEST_F(RegistryLayer, FindsTheNtVersionUnderTheMachineRoot) {
  // Every NT system has the key, so "9X" here would mean the root handle was
  // not mapped to HKEY_LOCAL_MACHINE.
  const std::string label = GetWinVersion(registry_, reporter_);
  EXPECT_NE(label, "9X");
  std::printf("This system counts as %s\n", label.c_str());
}

}  // namespace
}  // namespace zlv
