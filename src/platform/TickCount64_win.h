// GetTickCount64 for a program that must also load on Windows XP.
//
// The toolchain's static winpthreads calls GetTickCount64, which the kernel32
// of Windows XP lacks: importing it would stop the program from loading there.
// The manager's link (cmake/Windows.cmake) points that import at
// zlvTickCount64Import instead. Only differences between two readings mean
// anything: the two sources below count from different origins.
#pragma once

#include <windows.h>

namespace zlv {

using TickCount64Function = ULONGLONG(WINAPI*)();

// Milliseconds from the performance counter.
ULONGLONG WINAPI CounterMilliseconds();

// The system's GetTickCount64 where kernel32 has it, CounterMilliseconds elsewhere.
ULONGLONG WINAPI TickCount64();

}  // namespace zlv

// What a call through the GetTickCount64 import reaches: a pointer, as an
// import table entry is.
extern "C" const zlv::TickCount64Function zlvTickCount64Import;
