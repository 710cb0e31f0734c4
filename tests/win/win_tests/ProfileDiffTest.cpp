// Our settings engine's reads against the system's GetPrivateProfileStringA on the same
// files. Its writes are held natively and end to end (Wine writes differently in places).
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>

#include "settings/FileProfileStore.h"
#include "settings/FileProfileStore_win.h"

namespace zlv {
namespace {

using namespace std::string_literals;

void Put(const std::string& path, const std::optional<std::string>& content) {
  DeleteFileA(path.c_str());
  if (content) std::ofstream(path, std::ios::binary) << *content;
}

std::string SystemRead(const std::string& section, const std::string& key, const std::string& def,
                       const std::string& path) {
  std::string buffer(1024, ' ');
  const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                           1024, path.c_str());
  return buffer.substr(0, n);
}

TEST(ProfileDiff, ReadsMatchTheSystem) {
  const struct {
    const char* what;
    std::optional<std::string> content;  // nullopt: no file
    std::string section, key, def;
  } cases[] = {
      {"names ignore case", "[display options]\r\ntop=300\r\n", "DISPLAY Options", "TOP", "-1"},
      {"blanks around key and value", "[S]\r\n  Top  =  300  \r\n", "S", "Top", "-1"},
      {"blanks around the requested names", "[S]\r\nk=v\r\n", "  S ", " k  ", "d"},
      {"double quotes", "[S]\r\nTop=\"300\"\r\n", "S", "Top", "-1"},
      {"single quotes", "[S]\r\nk=' a b '\r\n", "S", "k", "d"},
      {"unmatched quotes", "[S]\r\nk=\"x'\r\n", "S", "k", "d"},
      {"1023-character cut", "[S]\r\nk=" + std::string(1500, 'x') + "\r\n", "S", "k", "d"},
      {"CR-only lines", "[S]\rk=v\r", "S", "k", "d"},
      {"duplicate sections", "[S]\r\na=1\r\n[S]\r\nb=2\r\n", "S", "b", "d"},
      {"line without '='", "[S]\r\nk\r\n", "S", "k", "d"},
      {"binary bytes", "[S]\r\nk=\x01\xe9\x7f\r\n", "S", "k", "d"},
      {"NUL inside the value", "[S]\r\nk=ab\0cd\r\n"s, "S", "k", "d"},
      {"absent file", std::nullopt, "S", "k", "def  "},
      {"long default", "[S]\r\n", "S", "k", std::string(1200, 'd')},
  };
  FileProfileStore ours{ReplaceFileWin32};
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  int index = 0;
  for (const auto& c : cases) {
    // Every case has a file of its own: the system caches profiles by name.
    const std::string path = std::string(temp) + "zlv-read" + std::to_string(index++) + ".ini";
    Put(path, c.content);
    EXPECT_EQ(ours.GetString(c.section, c.key, c.def, path),
              SystemRead(c.section, c.key, c.def, path))
        << c.what;
    Put(path, std::nullopt);
  }
}

}  // namespace
}  // namespace zlv
