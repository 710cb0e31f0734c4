// A stand-in for the application's service program, for tests and demos. It
// runs as the service, accepts stop and the user codes, records every control
// it is sent to controls.txt in its own folder, one per line ("200", "201",
// "stop"), and while it runs appends a line to InfoLog.txt there every
// interval (time, priority, device, details, tab-separated, CR LF), so a log
// monitor has something live to follow. While it runs, its process id is in
// pid.txt, so a test can end it the hard way.
//
// LinkvaneStandIn.ini beside the program makes it misbehave the ways real
// services do (all times in milliseconds):
//   [Stand-in]
//   Interval=250     the log interval (default 1000; also the start argument "interval=N")
//   StartMs=8000     stays START_PENDING that long, moving its checkpoint, before it runs
//   StopMode=slow    slow: STOP_PENDING for StopMs, moving its checkpoint
//                    stall: STOP_PENDING for StopMs without progress
//                    ignore: takes the stop request and goes on running
//   StopMs=12000     how long a slow or stalled stop takes (default 0)
// StopMode and StopMs are read at each stop request.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct StandIn {
  std::string folder;
  SERVICE_STATUS_HANDLE statusHandle = nullptr;
  SERVICE_STATUS status{};
  HANDLE stopEvent = nullptr;
  DWORD intervalMs = 1000;
  DWORD startMs = 0;
  std::string stopMode;
  DWORD stopMs = 0;
  unsigned long lineNumber = 0;
};

StandIn g_standIn;  // a service's entry points receive no context of their own

std::string OwnFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  const auto slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? "." : folder.substr(0, slash);
}

void AppendLine(const std::string& file, const std::string& line) {
  const std::string path = g_standIn.folder + "\\" + file;
  HANDLE handle = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\r\n";
  DWORD written = 0;
  WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(handle);
}

void Report(DWORD state, DWORD waitHint = 0) {
  g_standIn.status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  g_standIn.status.dwCurrentState = state;
  g_standIn.status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  g_standIn.status.dwWin32ExitCode = NO_ERROR;
  g_standIn.status.dwWaitHint = waitHint;
  g_standIn.status.dwCheckPoint = (state == SERVICE_RUNNING || state == SERVICE_STOPPED)
                                      ? 0
                                      : g_standIn.status.dwCheckPoint + 1;
  SetServiceStatus(g_standIn.statusHandle, &g_standIn.status);
}

// A pending state that lasts `ms`, reporting progress every half second when
// `progress` is set, as a well-behaved slow service does.
void StayPending(DWORD state, DWORD ms, bool progress) {
  constexpr DWORD kStep = 500;
  for (DWORD waited = 0; waited < ms; waited += kStep) {
    if (progress || waited == 0) Report(state, 2 * kStep);
    Sleep(ms - waited < kStep ? ms - waited : kStep);
  }
}

// The handler must return at once, so a slow or stalled stop runs here.
DWORD WINAPI StopLater(void*) {
  StayPending(SERVICE_STOP_PENDING, g_standIn.stopMs, g_standIn.stopMode == "slow");
  SetEvent(g_standIn.stopEvent);
  return 0;
}

std::string Ini() {
  return g_standIn.folder + "\\LinkvaneStandIn.ini";
}

// Read at every stop request, so a test can let a service that ignored one go.
void ReadStopBehaviour() {
  g_standIn.stopMs = GetPrivateProfileIntA("Stand-in", "StopMs", 0, Ini().c_str());
  char mode[32] = {};
  GetPrivateProfileStringA("Stand-in", "StopMode", "", mode, sizeof mode, Ini().c_str());
  g_standIn.stopMode = mode;
}

DWORD WINAPI Handler(DWORD control, DWORD, void*, void*) {
  switch (control) {
    case SERVICE_CONTROL_STOP:
      AppendLine("controls.txt", "stop");
      ReadStopBehaviour();
      if (g_standIn.stopMode == "ignore") return NO_ERROR;
      Report(SERVICE_STOP_PENDING, 3000);
      if (g_standIn.stopMode == "slow" || g_standIn.stopMode == "stall") {
        CreateThread(nullptr, 0, StopLater, nullptr, 0, nullptr);
      } else {
        SetEvent(g_standIn.stopEvent);
      }
      return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
      return NO_ERROR;
    default:
      if (control >= 128 && control <= 255) {
        AppendLine("controls.txt", std::to_string(control));
        return NO_ERROR;
      }
      return ERROR_CALL_NOT_IMPLEMENTED;
  }
}

DWORD ReadInterval(DWORD argc, char** argv) {
  DWORD interval = GetPrivateProfileIntA("Stand-in", "Interval", 1000, Ini().c_str());
  for (DWORD i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("interval=", 0) == 0) interval = std::strtoul(arg.c_str() + 9, nullptr, 10);
  }
  return interval < 10 ? 10 : interval;
}

std::string Timestamp() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[32];
  std::snprintf(text, sizeof text, "%02u/%02u/%04u %02u:%02u:%02u", now.wDay, now.wMonth, now.wYear,
                now.wHour, now.wMinute, now.wSecond);
  return text;
}

void WINAPI ServiceMain(DWORD argc, char** argv) {
  g_standIn.statusHandle = RegisterServiceCtrlHandlerExA("Zemlo Linkvane", Handler, nullptr);
  if (!g_standIn.statusHandle) return;
  Report(SERVICE_START_PENDING, 3000);
  g_standIn.stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  g_standIn.intervalMs = ReadInterval(argc, argv);
  g_standIn.startMs = GetPrivateProfileIntA("Stand-in", "StartMs", 0, Ini().c_str());
  {
    const std::string pidFile = g_standIn.folder + "\\pid.txt";
    DeleteFileA(pidFile.c_str());
    AppendLine("pid.txt", std::to_string(GetCurrentProcessId()));
  }
  StayPending(SERVICE_START_PENDING, g_standIn.startMs, true);
  AppendLine("InfoLog.txt", Timestamp() + "\tInfo\tService\tStand-in service started");
  Report(SERVICE_RUNNING);
  static const char* const kPriorities[] = {"Info", "Warning", "Error"};
  while (WaitForSingleObject(g_standIn.stopEvent, g_standIn.intervalMs) == WAIT_TIMEOUT) {
    ++g_standIn.lineNumber;
    AppendLine("InfoLog.txt", Timestamp() + "\t" + kPriorities[g_standIn.lineNumber % 3] +
                                  "\tRouter-" + std::to_string(g_standIn.lineNumber % 7) +
                                  "\tStand-in event " + std::to_string(g_standIn.lineNumber));
  }
  AppendLine("InfoLog.txt", Timestamp() + "\tInfo\tService\tStand-in service stopped");
  DeleteFileA((g_standIn.folder + "\\pid.txt").c_str());
  CloseHandle(g_standIn.stopEvent);
  Report(SERVICE_STOPPED);
}

}  // namespace

int main() {
  g_standIn.folder = OwnFolder();
  char name[] = "Zemlo Linkvane";
  SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
  if (!StartServiceCtrlDispatcherA(table)) {
    std::fprintf(stderr, "Linkvane_Service stand-in: run it as the service (error %lu)\n",
                 GetLastError());
    return 1;
  }
  return 0;
}
