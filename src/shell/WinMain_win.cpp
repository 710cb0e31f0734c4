#include <windows.h>

#include "shell/ErrorOutput_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  zlv::Win32ErrorOutput errorOutput;
  zlv::ErrorReporter reporter(errorOutput);
  return 0;
}
