// Turning a failed Win32 call into the program's Failure.
#pragma once

#include <windows.h>

#include <string>

#include "core/Failure.h"

namespace zlv {

// The system's text for an error code, without the trailing line break.
std::string SystemErrorText(DWORD code);

// Raises a Failure carrying the code and the system's text for it.
[[noreturn]] void RaiseWin32(DWORD code, const char* what);
[[noreturn]] inline void RaiseLastError(const char* what) {
  RaiseWin32(GetLastError(), what);
}

}  // namespace zlv
