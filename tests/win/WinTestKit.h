// What the Windows-side test programs share: a bounded wait, their own folder,
// and the service "Zemlo Linkvane" read and removed as every test's reset does.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace zlv::wintest {

// Polls every 50 ms until `holds` or `ms` have passed; always checks once.
inline bool Within(long ms, const std::function<bool()>& holds) {
  for (const DWORD start = GetTickCount(); !holds(); Sleep(50))
    if (static_cast<long>(GetTickCount() - start) >= ms) return false;
  return true;
}

// The folder of the test programs; the manager's exe sits one above it.
inline std::string ProgramsFolder() {
  char path[MAX_PATH] = {};
  const std::string own(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return own.substr(0, own.rfind('\\'));
}

inline void Kill(HANDLE process) {
  TerminateProcess(process, 9);
  WaitForSingleObject(process, 5000);
  CloseHandle(process);
}

using ServiceHandle = std::unique_ptr<SC_HANDLE__, decltype(&CloseServiceHandle)>;

inline ServiceHandle OpenOurService(DWORD access) {
  const ServiceHandle scm(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS),
                          &CloseServiceHandle);
  return {scm ? OpenServiceA(scm.get(), "Zemlo Linkvane", access) : nullptr, &CloseServiceHandle};
}

// The service's state, 0 when there is no such service.
inline DWORD ServiceState(DWORD* pid = nullptr) {
  SERVICE_STATUS_PROCESS status{};
  DWORD size = 0;
  const ServiceHandle service = OpenOurService(SERVICE_QUERY_STATUS);
  if (!service || !QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO,
                                        reinterpret_cast<BYTE*>(&status), sizeof status, &size))
    return 0;
  if (pid) *pid = status.dwProcessId;
  return status.dwCurrentState;
}

// Stops and deletes the service, ending its process when it has not ended within 2 s
// (Wine refuses a second stop request); true once the service is gone (10 s at most).
inline bool RemoveService() {
  DWORD pid = 0;
  if (ServiceState(&pid)) {
    const ServiceHandle service = OpenOurService(SERVICE_ALL_ACCESS);
    const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    SERVICE_STATUS status{};
    ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
    DeleteService(service.get());
    if (process && WaitForSingleObject(process, 2000) == WAIT_TIMEOUT)
      Kill(process);
    else if (process)
      CloseHandle(process);
  }
  return Within(10000, [] { return ServiceState() == 0; });
}

}  // namespace zlv::wintest
