// Our settings engine against the system's own GetPrivateProfileStringA and
// WritePrivateProfileStringA, on identical files in a temporary folder.
// Where Wine is known to answer differently from Windows, the case carries
// the Windows result and our engine must give that one; the test also checks
// that Wine still differs, so a stale mark shows up.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "shell/FileProfileStore.h"
#include "shell/FileProfileStore_win.h"

namespace zlv {
namespace {

using namespace std::string_literals;

std::string Folder() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + "zlv_profile_diff\\";
}

void Put(const std::string& path, const std::optional<std::string>& content) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(path.c_str());
  if (!content) return;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(h, content->data(), static_cast<DWORD>(content->size()), &written, nullptr);
  CloseHandle(h);
  ASSERT_EQ(written, content->size());
}

std::optional<std::string> Get(const std::string& path) {
  return ReadWholeFile(path);
}

// Equal bytes; a mismatch of big files names the first differing offset
// instead of printing megabytes.
::testing::AssertionResult SameBytes(const std::optional<std::string>& a,
                                     const std::optional<std::string>& b) {
  if (a == b) return ::testing::AssertionSuccess();
  if (!a || !b || a->size() + b->size() < 8192) {
    return ::testing::AssertionFailure() << ::testing::PrintToString(a) << "\n  vs\n"
                                         << ::testing::PrintToString(b);
  }
  std::size_t i = 0;
  while (i < a->size() && i < b->size() && (*a)[i] == (*b)[i]) ++i;
  return ::testing::AssertionFailure()
         << "sizes " << a->size() << " and " << b->size() << ", first difference at byte " << i;
}

struct PlatformRead {
  DWORD count;
  std::string text;
};

PlatformRead SystemRead(const std::string& section, const std::string& key, const std::string& def,
                        const std::string& path) {
  std::string buffer(1024, ' ');
  const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                           1024, path.c_str());
  return {n, std::string(buffer.c_str())};
}

class ProfileDiff : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryA(Folder().c_str(), nullptr);
    ASSERT_NE(GetFileAttributesA(Folder().c_str()), INVALID_FILE_ATTRIBUTES);
  }
  // Every case has files of its own: the system caches profiles by name.
  std::string Path(const std::string& name, int index, const char* side) {
    return Folder() + name + std::to_string(index) + side + ".ini";
  }
  FileProfileStore ours_{ReplaceFileWin32};
};

struct ReadCase {
  const char* what;
  std::optional<std::string> content;  // nullopt: no file
  std::string section;
  std::string key;
  std::string def;
};

// Ten megabytes of comment lines around one entry.
std::string Huge(const std::string& entry) {
  std::string content = "[S]\r\n";
  const std::string filler = "; " + std::string(98, '-') + "\r\n";
  while (content.size() < 10 * 1024 * 1024) content += filler;
  return content + entry;
}

TEST_F(ProfileDiff, ReadsMatchTheSystem) {
  const std::string big(1500, 'x');
  const ReadCase cases[] = {
      {"plain", "[Display Options]\r\nTop=300\r\n", "Display Options", "Top", "-1"},
      {"names ignore case", "[display options]\r\ntop=300\r\n", "DISPLAY Options", "TOP", "-1"},
      {"blanks around key and value", "[S]\r\n  Top  =  300  \r\n", "S", "Top", "-1"},
      {"blanks around the requested names", "[S]\r\nk=v\r\n", "  S ", " k  ", "d"},
      {"double quotes", "[S]\r\nTop=\"300\"\r\n", "S", "Top", "-1"},
      {"single quotes", "[S]\r\nk=' a b '\r\n", "S", "k", "d"},
      {"unmatched quotes", "[S]\r\nk=\"x'\r\n", "S", "k", "d"},
      {"empty value", "[S]\r\nRefresh Time=\r\n", "S", "Refresh Time", "500"},
      {"1023-character cut", "[S]\r\nk=" + big + "\r\n", "S", "k", "d"},
      {"LF only", "[S]\nk=v\n", "S", "k", "d"},
      {"no final newline", "[S]\r\nk=v", "S", "k", "d"},
      {"CR-only lines", "[S]\rk=v\r", "S", "k", "d"},
      {"duplicate keys", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "d"},
      {"duplicate sections", "[S]\r\na=1\r\n[S]\r\nb=2\r\n", "S", "b", "d"},
      {"key in another section", "[A]\r\nk=1\r\n[B]\r\nj=2\r\n", "B", "k", "d"},
      {"line without '='", "[S]\r\nk\r\n", "S", "k", "d"},
      {"binary bytes", "[S]\r\nk=\x01\xe9\x7f\r\n", "S", "k", "d"},
      {"NUL inside the value", "[S]\r\nk=ab\0cd\r\n"s, "S", "k", "d"},
      {"ten megabytes", Huge("k=v\r\n"), "S", "k", "d"},
      {"absent file", std::nullopt, "S", "k", "def  "},
      {"absent section", "[T]\r\nk=v\r\n", "S", "k", "def"},
      {"absent key", "[S]\r\nj=v\r\n", "S", "k", ""},
      {"long default", "[S]\r\n", "S", "k", std::string(1200, 'd')},
  };
  int index = 0;
  for (const auto& c : cases) {
    const std::string path = Path("read", index++, "");
    Put(path, c.content);
    const PlatformRead system = SystemRead(c.section, c.key, c.def, path);
    const std::string mine = ours_.GetString(c.section, c.key, c.def, path);
    EXPECT_EQ(mine, system.text) << c.what;
    EXPECT_EQ(mine.size(), system.count) << c.what;
    Put(path, std::nullopt);
  }
}

struct WriteCase {
  const char* what;
  std::optional<std::string> content;
  std::string section;
  std::string key;
  std::string value;
  // Set where Wine differs from Windows: the bytes Windows leaves, which ours
  // must match, and why Wine does not.
  std::optional<std::string> windows = std::nullopt;
  const char* wineDiffers = nullptr;
};

TEST_F(ProfileDiff, WritesLeaveTheSameBytes) {
  const std::string big(1500, 'y');
  const char* rewrites =
      "Wine parses the file and writes it back from its parse, so untouched lines lose their "
      "blanks, blank lines and NULs; Windows edits the file text and keeps them";
  const WriteCase cases[] = {
      {"creates the file", std::nullopt, "Display Options", "Top", "300"},
      {"replaces in place", "[S]\r\na=1\r\nk=old\r\nb=2\r\n", "S", "k", "new"},
      {"names ignore case", "[display options]\r\ntop=1\r\n", "Display Options", "TOP", "2"},
      {"new key at the end of its section", "[A]\r\na=1\r\n[B]\r\nb=2\r\n", "A", "k", "v"},
      {"new section at the end of the file", "[A]\r\na=1\r\n", "B", "k", "v"},
      {"empty value", "[S]\r\nk=v\r\n", "S", "k", ""},
      {"long value kept whole", "[S]\r\n", "S", "k", big},
      {"duplicate keys: the first", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "9"},
      {"duplicate sections: the first", "[A]\r\nx=1\r\n[A]\r\ny=2\r\n", "A", "k", "v"},
      {"no final newline, new key", "[A]\r\na=1", "A", "k", "v"},
      {"no final newline, new section", "[A]\r\na=1", "B", "k", "v"},
      {"ten megabytes", Huge("k=v\r\n"), "S", "k", "w"},
      {"comments and blank lines stay", "; top\r\n[A]\r\n; c\r\na=1\r\n\r\n[B]\r\nb=2\r\n", "B",
       "b", "3", "; top\r\n[A]\r\n; c\r\na=1\r\n\r\n[B]\r\nb=3\r\n", rewrites},
      {"blanks of other lines stay", "[A]\r\n  a = 1  \r\n[B]\r\n", "B", "k", "v",
       "[A]\r\n  a = 1  \r\n[B]\r\nk=v\r\n", rewrites},
      {"LF-only lines stay", "[A]\na=1\n[B]\nb=2\n", "B", "b", "3", "[A]\na=1\n[B]\nb=3\n",
       rewrites},
      {"CR-only lines stay", "[S]\rk=v\r", "S", "k", "w", "[S]\rk=w\r", rewrites},
      {"NULs before the first section stay", "Data \0 before \0 first \0 section"s, "section1",
       "key1", "string1", "Data \0 before \0 first \0 section\r\n[section1]\r\nkey1=string1\r\n"s,
       rewrites},
  };
  int index = 0;
  for (const auto& c : cases) {
    const std::string mine = Path("write", index, "o");
    const std::string system = Path("write", index, "s");
    ++index;
    Put(mine, c.content);
    Put(system, c.content);
    EXPECT_TRUE(ours_.WriteString(c.section, c.key, c.value, mine)) << c.what;
    EXPECT_TRUE(WritePrivateProfileStringA(c.section.c_str(), c.key.c_str(), c.value.c_str(),
                                           system.c_str()))
        << c.what;
    const auto ourBytes = Get(mine);
    const auto systemBytes = Get(system);
    if (c.windows) {
      EXPECT_EQ(ourBytes, c.windows) << c.what;
      EXPECT_NE(systemBytes, c.windows)
          << c.what << ": Wine now behaves like Windows (" << c.wineDiffers << "); drop the mark";
    } else {
      EXPECT_TRUE(SameBytes(ourBytes, systemBytes)) << c.what;
    }
    // Each side reads back what the other wrote.
    EXPECT_EQ(SystemRead(c.section, c.key, "?", mine).text,
              ours_.GetString(c.section, c.key, "?", system))
        << c.what;
    Put(mine, std::nullopt);
    Put(system, std::nullopt);
  }
}

TEST_F(ProfileDiff, AReadOnlyFileStaysAsItWas) {
  const std::string content = "[S]\r\nk=v\r\n";
  const std::string mine = Path("readonly", 0, "o");
  const std::string system = Path("readonly", 0, "s");
  for (const auto& path : {mine, system}) {
    Put(path, content);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  }
  if (WritePrivateProfileStringA("S", "k", "w", system.c_str())) {
    // Wine keeps the attribute in the Unix mode bits, which do not bind root.
    Put(mine, std::nullopt);
    Put(system, std::nullopt);
    GTEST_SKIP() << "this system lets the read-only file be written";
  }
  EXPECT_FALSE(ours_.WriteString("S", "k", "w", mine));
  EXPECT_EQ(Get(system), content);
  EXPECT_EQ(Get(mine), content);
  EXPECT_EQ(GetFileAttributesA((mine + ".tmp~").c_str()), INVALID_FILE_ATTRIBUTES);
  Put(mine, std::nullopt);
  Put(system, std::nullopt);
}

}  // namespace
}  // namespace zlv
