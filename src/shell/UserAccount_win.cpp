#include "shell/UserAccount_win.h"

#include <windows.h>

#include <shlobj.h>

#include "shell/ManagerGlobal.h"

namespace zlv {
namespace {

// Token information class and elevation type of Vista and later, which the
// Windows XP headers do not name. XP refuses the class: no token is limited there.
constexpr int kTokenElevationType = 18;
constexpr DWORD kTokenElevationTypeLimited = 3;

std::string OwnFolder() {
  char roaming[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, roaming))) return {};
  return std::string(roaming) + "\\Zemlo";
}

}  // namespace

std::string Win32UserAccount::OwnCopy() {
  const std::string folder = OwnFolder();
  return folder.empty() ? folder : folder + "\\" + std::string(kSettingsFileName);
}

bool Win32UserAccount::MakeOwnCopyFolder() {
  const std::string folder = OwnFolder();
  return !folder.empty() &&
         (CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
}

bool Win32UserAccount::Limited() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD type = 0, size = 0;
  const bool read =
      GetTokenInformation(token, static_cast<TOKEN_INFORMATION_CLASS>(kTokenElevationType), &type,
                          sizeof type, &size) != FALSE;
  CloseHandle(token);
  return read && type == kTokenElevationTypeLimited;
}

}  // namespace zlv
