#include "service/ScmSvcIt_win.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/Win32Error_win.h"
#include "service/ServiceConfig.h"

namespace zlv {

namespace {

// No operation may hang the manager: a service that reports progress is
// waited for within its own hints, but never longer than this.
constexpr ULONGLONG kLongestWaitMs = 30000;
// A pending service that moves its checkpoint no further within its wait hint
// (at least this long) has stalled.
constexpr DWORD kLeastStallMs = 5000;
// The old registration of a replaced service lingers until the last handle to
// it, ours or anyone's, is closed.
constexpr ULONGLONG kReplaceWaitMs = 10000;

struct ServiceHandleCloser {
  void operator()(SC_HANDLE handle) const { CloseServiceHandle(handle); }
};
using ServiceHandle = std::unique_ptr<SC_HANDLE__, ServiceHandleCloser>;

ServiceHandle OpenManager(DWORD access) {
  ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, access));
  if (!manager) RaiseLastError("OpenSCManager");
  return manager;
}

ServiceHandle OpenExisting(SC_HANDLE manager, const std::string& name, DWORD access) {
  ServiceHandle service(OpenServiceA(manager, name.c_str(), access));
  if (!service) RaiseLastError("OpenService");
  return service;
}

// Null when the service does not exist or is already marked for deletion.
ServiceHandle OpenIfPresent(SC_HANDLE manager, const std::string& name, DWORD access) {
  ServiceHandle service(OpenServiceA(manager, name.c_str(), access));
  if (!service) {
    const DWORD error = GetLastError();
    if (error != ERROR_SERVICE_DOES_NOT_EXIST && error != ERROR_SERVICE_MARKED_FOR_DELETE) {
      RaiseWin32(error, "OpenService");
    }
  }
  return service;
}

SERVICE_STATUS QueryStatus(SC_HANDLE service) {
  SERVICE_STATUS status{};
  if (!QueryServiceStatus(service, &status)) RaiseLastError("QueryServiceStatus");
  return status;
}

// Waits while the service stays in the pending state; returns the state it
// left it for, or the pending state itself when it stalled or took too long.
SERVICE_STATUS WaitWhilePending(SC_HANDLE service, DWORD pending) {
  const ULONGLONG started = GetTickCount64();
  SERVICE_STATUS status = QueryStatus(service);
  DWORD checkpoint = status.dwCheckPoint;
  ULONGLONG lastProgress = started;
  while (status.dwCurrentState == pending) {
    // A tenth of the hint, as the system's own samples poll.
    Sleep(std::clamp<DWORD>(status.dwWaitHint / 10, 10, 1000));
    status = QueryStatus(service);
    const ULONGLONG now = GetTickCount64();
    if (status.dwCheckPoint != checkpoint) {
      checkpoint = status.dwCheckPoint;
      lastProgress = now;
    } else if (now - lastProgress > std::max(status.dwWaitHint, kLeastStallMs)) {
      break;
    }
    if (now - started > kLongestWaitMs) break;
  }
  return status;
}

// Texts are ANSI in the program; the length given keeps embedded NULs.
std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  if (length <= 0) RaiseLastError("MultiByteToWideChar");
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

void WipeWide(std::wstring& secret) {
  SecureZeroMemory(secret.data(), secret.size() * sizeof(wchar_t));
  secret.clear();
}

bool CountsAsRunning(DWORD state) {
  return state == SERVICE_RUNNING || state == SERVICE_PAUSE_PENDING || state == SERVICE_PAUSED ||
         state == SERVICE_CONTINUE_PENDING;
}

void StopAndWait(SC_HANDLE service) {
  SERVICE_STATUS status = QueryStatus(service);
  if (status.dwCurrentState == SERVICE_START_PENDING) {
    // A starting service refuses the stop control until it runs.
    status = WaitWhilePending(service, SERVICE_START_PENDING);
  }
  if (status.dwCurrentState == SERVICE_STOPPED) return;
  if (status.dwCurrentState != SERVICE_STOP_PENDING) {
    if (!ControlService(service, SERVICE_CONTROL_STOP, &status)) {
      const DWORD error = GetLastError();
      if (error == ERROR_SERVICE_NOT_ACTIVE) return;
      RaiseWin32(error, "ControlService(stop)");
    }
  }
  status = WaitWhilePending(service, SERVICE_STOP_PENDING);
  if (status.dwCurrentState != SERVICE_STOPPED) {
    RaiseWin32(ERROR_SERVICE_REQUEST_TIMEOUT, "Stop");
  }
}

}  // namespace

ScmSvcIt::~ScmSvcIt() {
  SecureZeroMemory(password_.data(), password_.size());
}

void ScmSvcIt::AccountPassword(const std::string& password) {
  SecureZeroMemory(password_.data(), password_.size());
  password_ = password;
}

void ScmSvcIt::Install(bool) {
  // The password is needed for this one call only.
  struct Wipe {
    std::string& secret;
    ~Wipe() {
      SecureZeroMemory(secret.data(), secret.size());
      secret.clear();
    }
  } wipe{password_};

  ServiceHandle manager = OpenManager(SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE);
  // The wide entry point: Wine's ANSI CreateService keeps only the first name
  // of a dependency list.
  const std::wstring name = Widen(serviceName_);
  const std::wstring display = Widen(displayName_);
  const std::wstring path = Widen(QuotedProgramPath(executablePath_));
  const std::wstring dependencies = Widen(DependencyList(dependencies_));
  // Only Local System may interact with the desktop; a typed account runs
  // without that right, and no account at all means Local System.
  const bool typedAccount = !interactive_ && !accountName_.empty();
  const DWORD type = SERVICE_WIN32_OWN_PROCESS | (interactive_ ? SERVICE_INTERACTIVE_PROCESS : 0);
  const std::wstring account = Widen(accountName_);
  std::wstring password = Widen(password_);
  struct WipeCopy {
    std::wstring& secret;
    ~WipeCopy() { WipeWide(secret); }
  } wipeCopy{password};

  // Demand start: the administrator starts the service from the manager, and
  // a registration must not start anything behind his back at the next boot.
  const ULONGLONG started = GetTickCount64();
  ServiceHandle service;
  for (;;) {
    service.reset(CreateServiceW(
        manager.get(), name.c_str(), display.c_str(), SERVICE_CHANGE_CONFIG | SERVICE_QUERY_STATUS,
        type, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, path.c_str(), nullptr, nullptr,
        dependencies.c_str(), typedAccount ? account.c_str() : nullptr,
        typedAccount ? password.c_str() : nullptr));
    if (service) break;
    const DWORD error = GetLastError();
    if (error != ERROR_SERVICE_MARKED_FOR_DELETE || GetTickCount64() - started > kReplaceWaitMs) {
      RaiseWin32(error, "CreateService");
    }
    Sleep(50);
  }

  std::vector<char> text(description_.begin(), description_.end());
  text.push_back('\0');
  SERVICE_DESCRIPTIONA description{text.data()};
  if (!ChangeServiceConfig2A(service.get(), SERVICE_CONFIG_DESCRIPTION, &description)) {
    RaiseLastError("ChangeServiceConfig2(description)");
  }
}

void ScmSvcIt::Uninstall() {
  ServiceHandle manager = OpenManager(SC_MANAGER_CONNECT);
  ServiceHandle service =
      OpenExisting(manager.get(), serviceName_, DELETE | SERVICE_STOP | SERVICE_QUERY_STATUS);
  // A running service marked for deletion would linger until somebody stops
  // it, and block a new registration of the same name until then.
  try {
    StopAndWait(service.get());
  } catch (const Failure&) {
    // Marked all the same: it goes as soon as it stops.
  }
  if (!DeleteService(service.get())) {
    const DWORD error = GetLastError();
    if (error != ERROR_SERVICE_MARKED_FOR_DELETE) RaiseWin32(error, "DeleteService");
  }
}

void ScmSvcIt::Stop() {
  ServiceHandle manager = OpenManager(SC_MANAGER_CONNECT);
  ServiceHandle service =
      OpenExisting(manager.get(), serviceName_, SERVICE_STOP | SERVICE_QUERY_STATUS);
  StopAndWait(service.get());
}

bool ScmSvcIt::Running() {
  ServiceHandle manager = OpenManager(SC_MANAGER_CONNECT);
  ServiceHandle service = OpenIfPresent(manager.get(), serviceName_, SERVICE_QUERY_STATUS);
  return service && CountsAsRunning(QueryStatus(service.get()).dwCurrentState);
}

bool ScmSvcIt::Installed() {
  ServiceHandle manager = OpenManager(SC_MANAGER_CONNECT);
  return static_cast<bool>(OpenIfPresent(manager.get(), serviceName_, SERVICE_QUERY_STATUS));
}

void ScmSvcIt::Start(const std::string& arguments) {
  ServiceHandle manager = OpenManager(SC_MANAGER_CONNECT);
  ServiceHandle service =
      OpenExisting(manager.get(), serviceName_, SERVICE_START | SERVICE_QUERY_STATUS);
  // A non-empty text reaches the service as its one argument.
  const char* argument = arguments.c_str();
  if (!StartServiceA(service.get(), arguments.empty() ? 0 : 1,
                     arguments.empty() ? nullptr : &argument)) {
    const DWORD error = GetLastError();
    if (error == ERROR_SERVICE_ALREADY_RUNNING) return;
    RaiseWin32(error, "StartService");
  }
  const SERVICE_STATUS status = WaitWhilePending(service.get(), SERVICE_START_PENDING);
  if (!CountsAsRunning(status.dwCurrentState)) {
    const DWORD exitCode = status.dwWin32ExitCode;
    RaiseWin32(exitCode != NO_ERROR && exitCode != ERROR_SERVICE_SPECIFIC_ERROR
                   ? exitCode
                   : ERROR_SERVICE_REQUEST_TIMEOUT,
               "Start");
  }
}

void ScmSvcIt::SendControl(int32_t code) {
  ServiceHandle manager = OpenManager(SC_MANAGER_CONNECT);
  ServiceHandle service = OpenExisting(manager.get(), serviceName_, SERVICE_USER_DEFINED_CONTROL);
  SERVICE_STATUS status{};
  if (!ControlService(service.get(), static_cast<DWORD>(code), &status)) {
    RaiseLastError("ControlService");
  }
}

}  // namespace zlv
