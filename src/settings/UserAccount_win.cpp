#include "settings/UserAccount_win.h"

#include <windows.h>

#include <shlobj.h>

#include "settings/ManagerGlobal.h"

namespace zlv {
namespace {

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

}  // namespace zlv
