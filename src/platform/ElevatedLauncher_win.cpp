#include "platform/ElevatedLauncher_win.h"

#include <objbase.h>
#include <shellapi.h>

namespace zlv {
namespace {

// Token information class and elevation type of Vista and later, which the
// Windows XP headers do not name. XP refuses the class: no token is limited there.
constexpr int kTokenElevationType = 18;
constexpr DWORD kTokenElevationTypeLimited = 3;

}  // namespace

bool Win32ElevatedLauncher::TokenLimited() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD type = 0, size = 0;
  const bool read =
      GetTokenInformation(token, static_cast<TOKEN_INFORMATION_CLASS>(kTokenElevationType), &type,
                          sizeof type, &size) != FALSE;
  CloseHandle(token);
  return read && type == kTokenElevationTypeLimited;
}

std::optional<int> Win32ElevatedLauncher::RunElevated(const std::string& parameters,
                                                      int32_t timeoutMs) {
  const HWND owner = owner_ ? owner_() : nullptr;
  std::optional<int> exitCode;
  // The consent prompt and the copy's work both happen off this thread.
  wait_.Run([&] {
    // Shell verbs may be carried out by COM objects.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = "runas";
    info.lpFile = program_.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    // A declined prompt fails with ERROR_CANCELLED and starts nothing.
    if (ShellExecuteExA(&info) && info.hProcess) {
      DWORD code = 0;
      if (WaitForSingleObject(info.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0 &&
          GetExitCodeProcess(info.hProcess, &code))
        exitCode = static_cast<int>(code);
      CloseHandle(info.hProcess);
    }
    if (SUCCEEDED(com)) CoUninitialize();
  });
  return exitCode;
}

}  // namespace zlv
