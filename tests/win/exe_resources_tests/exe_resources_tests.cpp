// Reads the manager's own resources back from the built program file: the
// manifest that turns on version 6 of the common controls, and the version
// record that the error message and the about texts rely on.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "../../../res/resource.h"

namespace {

// The manager sits one folder above the test programs.
std::string ManagerExePath() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  path.resize(path.find_last_of("\\/") + 1);
  return path + "..\\ZemloLinkvaneManager.exe";
}

// The manifest names the architecture the program was built for.
const std::string kArch = sizeof(void*) == 8 ? "amd64" : "X86";

using Attributes = std::map<std::string, std::string>;

// The attributes of every element with this tag, in document order. The
// manifest is small, regular XML; this reads exactly what it needs.
std::vector<Attributes> Elements(const std::string& xml, const std::string& tag) {
  std::vector<Attributes> found;
  const std::string open = "<" + tag;
  for (size_t at = xml.find(open); at != std::string::npos; at = xml.find(open, at + 1)) {
    const size_t after = at + open.size();
    if (after >= xml.size() || (xml[after] != ' ' && xml[after] != '>' && xml[after] != '/' &&
                                xml[after] != '\n' && xml[after] != '\r' && xml[after] != '\t')) {
      continue;  // a longer tag name that only starts the same
    }
    const size_t end = xml.find('>', after);
    const std::string body = xml.substr(after, end - after);
    Attributes attributes;
    for (size_t eq = body.find('='); eq != std::string::npos; eq = body.find('=', eq + 1)) {
      size_t nameEnd = eq;
      while (nameEnd > 0 && body[nameEnd - 1] == ' ') --nameEnd;
      size_t nameStart = nameEnd;
      while (nameStart > 0 && body[nameStart - 1] != ' ' && body[nameStart - 1] != '\n' &&
             body[nameStart - 1] != '\t' && body[nameStart - 1] != '\r') {
        --nameStart;
      }
      const size_t quote = body.find('"', eq);
      const size_t close = body.find('"', quote + 1);
      attributes[body.substr(nameStart, nameEnd - nameStart)] =
          body.substr(quote + 1, close - quote - 1);
      eq = close;
    }
    found.push_back(attributes);
  }
  return found;
}

class ManagerExe : public testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr) << path_ << " cannot be loaded, error " << GetLastError();
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }

  std::string Manifest() {
    const HRSRC found = FindResourceExA(module_, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1),
                                        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (!found) return {};
    const HGLOBAL loaded = LoadResource(module_, found);
    const auto* bytes = static_cast<const char*>(LockResource(loaded));
    return bytes ? std::string(bytes, SizeofResource(module_, found)) : std::string();
  }

  const std::string path_ = ManagerExePath();
  HMODULE module_ = nullptr;
};

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list) {
  reinterpret_cast<std::vector<WORD>*>(list)->push_back(language);
  return TRUE;
}

TEST_F(ManagerExe, ManifestIsResourceOneInUSEnglishOnly) {
  std::vector<WORD> languages;
  EnumResourceLanguagesA(module_, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), &CollectLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));
  EXPECT_EQ(languages, std::vector<WORD>{1033});
}

TEST_F(ManagerExe, ManifestAsksForCommonControlsVersion6) {
  const std::string xml = Manifest();
  ASSERT_FALSE(xml.empty());
  EXPECT_EQ(xml.rfind("<?xml", 0), 0u) << "no BOM or text before the declaration";

  const auto assembly = Elements(xml, "assembly");
  ASSERT_EQ(assembly.size(), 1u);
  EXPECT_EQ(assembly[0], (Attributes{{"xmlns", "urn:schemas-microsoft-com:asm.v1"},
                                     {"manifestVersion", "1.0"}}));

  const auto identities = Elements(xml, "assemblyIdentity");
  ASSERT_EQ(identities.size(), 2u);
  EXPECT_EQ(identities[0], (Attributes{{"version", "1.0.0.0"},
                                       {"processorArchitecture", kArch},
                                       {"name", "Zemlo.XPStyles.Linkvane"},
                                       {"type", "win32"}}));
  EXPECT_EQ(identities[1], (Attributes{{"type", "win32"},
                                       {"name", "Microsoft.Windows.Common-Controls"},
                                       {"version", "6.0.0.0"},
                                       {"processorArchitecture", kArch},
                                       {"publicKeyToken", "6595b64144ccf1df"},
                                       {"language", "*"}}));
  // The second identity is the dependency, not a second identity of our own.
  const size_t dependency = xml.find("<dependentAssembly>");
  ASSERT_NE(dependency, std::string::npos);
  EXPECT_GT(xml.find("Microsoft.Windows.Common-Controls"), dependency);
  EXPECT_LT(xml.find("Zemlo.XPStyles.Linkvane"), dependency);

  EXPECT_NE(xml.find("<description>Zemlo XP Styles Resource Manifest</description>"),
            std::string::npos);
}

TEST_F(ManagerExe, VersionRecordSays3Point02Point0001) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path_.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(path_.c_str(), 0, size, block.data()));

  char* text = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\FileVersion",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_STREQ(text, "3.02.0001");

  VS_FIXEDFILEINFO* fixed = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 3);
  EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), 2);
  EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), 0);
  EXPECT_EQ(LOWORD(fixed->dwFileVersionLS), 1);
}

TEST_F(ManagerExe, LoginDialogIconIsEmbedded) {
  EXPECT_NE(FindResourceA(module_, MAKEINTRESOURCEA(IDI_INSTALLAS), MAKEINTRESOURCEA(14)), nullptr)
      << "group icon " << IDI_INSTALLAS;
}

}  // namespace
