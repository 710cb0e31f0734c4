#include "platform/TickCount64_win.h"

#include "platform/PerformanceCounter.h"

namespace zlv {

ULONGLONG WINAPI CounterMilliseconds() {
  // Neither call can fail from Windows XP on.
  LARGE_INTEGER frequency;
  LARGE_INTEGER count;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&count);
  return CounterToMilliseconds(count.QuadPart, frequency.QuadPart);
}

ULONGLONG WINAPI TickCount64() {
  // kernel32 is mapped into every process: its handle needs no reference.
  const auto system = reinterpret_cast<TickCount64Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64")));
  return system ? system() : CounterMilliseconds();
}

}  // namespace zlv

extern "C" const zlv::TickCount64Function zlvTickCount64Import = &zlv::TickCount64;
