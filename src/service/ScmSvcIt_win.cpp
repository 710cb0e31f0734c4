#include "service/ScmSvcIt_win.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/Win32Error_win.h"
#include "service/ServiceConfig.h"
#include "service/ServiceRights.h"

namespace zlv {

namespace {

// The rights asked for are the system's own masks.
static_assert(rights::kConnect == SC_MANAGER_CONNECT &&
              rights::kCreateService == SC_MANAGER_CREATE_SERVICE &&
              rights::kChangeConfig == SERVICE_CHANGE_CONFIG &&
              rights::kQueryStatus == SERVICE_QUERY_STATUS && rights::kStart == SERVICE_START &&
              rights::kStop == SERVICE_STOP &&
              rights::kUserControl == SERVICE_USER_DEFINED_CONTROL && rights::kDelete == DELETE);
// The kept connection carries what every call but Install asks of the manager.
static_assert(rights::kQuery.manager == rights::kConnect &&
              rights::kControl.manager == rights::kConnect &&
              rights::kStartIt.manager == rights::kConnect &&
              rights::kStopIt.manager == rights::kConnect &&
              rights::kRemove.manager == rights::kConnect);
static_assert(rights::kUsersOnManager == (SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE |
                                          SC_MANAGER_QUERY_LOCK_STATUS | READ_CONTROL));
static_assert(rights::kUsersOnService ==
              (SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS | SERVICE_ENUMERATE_DEPENDENTS |
               SERVICE_INTERROGATE | SERVICE_USER_DEFINED_CONTROL | READ_CONTROL));

// A pending service that changes neither its state nor its checkpoint within
// its wait hint (at least this long) has stalled.
constexpr DWORD kLeastStallMs = 5000;
// No wait runs longer than this, however much progress the service reports.
constexpr DWORD kLongestWaitMs = 30000;
// The old registration of a replaced service lingers until it has stopped and
// the last handle to it, ours or anyone's, is closed.
constexpr DWORD kReplaceWaitMs = 10000;

// Milliseconds that wrap after 49 days; differences taken as DWORDs stay right
// across the wrap, and the call exists on every Windows the program runs on.
DWORD Now() {
  return GetTickCount();
}

struct ServiceHandleCloser {
  void operator()(SC_HANDLE handle) const { CloseServiceHandle(handle); }
};
using ServiceHandle = std::unique_ptr<SC_HANDLE__, ServiceHandleCloser>;

ServiceHandle OpenManager(DWORD access) {
  ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, access));
  if (!manager) RaiseLastError("OpenSCManager");
  return manager;
}

// The errors of a request over a connection that the manager no longer knows:
// it restarted, or the connection broke.
bool ConnectionLost(DWORD error) {
  switch (error) {
    case ERROR_INVALID_HANDLE:
    case RPC_S_SERVER_UNAVAILABLE:
    case RPC_S_CALL_FAILED:
    case RPC_S_CALL_FAILED_DNE:
    case RPC_X_SS_IN_NULL_CONTEXT:
      return true;
    default:
      return false;
  }
}

SERVICE_STATUS QueryStatus(SC_HANDLE service) {
  SERVICE_STATUS status{};
  if (!QueryServiceStatus(service, &status)) RaiseLastError("QueryServiceStatus");
  return status;
}

bool IsStarting(DWORD state) {
  return state == SERVICE_START_PENDING;
}
bool IsStopping(DWORD state) {
  return state == SERVICE_STOP_PENDING;
}
bool IsAlive(DWORD state) {
  return state != SERVICE_STOPPED;
}

// Waits while `waiting` holds for the service's state, as long as the service
// shows progress; returns the last state read, which tells the outcome.
SERVICE_STATUS WaitWhile(SC_HANDLE service, bool (*waiting)(DWORD state)) {
  SERVICE_STATUS status = QueryStatus(service);
  const DWORD started = Now();
  DWORD lastProgress = started;
  while (waiting(status.dwCurrentState)) {
    const DWORD now = Now();
    if (now - started >= kLongestWaitMs ||
        now - lastProgress >= std::max(status.dwWaitHint, kLeastStallMs)) {
      break;
    }
    // A tenth of the hint, as the system's own samples poll.
    Sleep(std::clamp<DWORD>(status.dwWaitHint / 10, 10, 250));
    const SERVICE_STATUS before = status;
    status = QueryStatus(service);
    if (status.dwCurrentState != before.dwCurrentState ||
        status.dwCheckPoint != before.dwCheckPoint) {
      lastProgress = Now();
    }
  }
  return status;
}

// Errors in which the service, not the request, said no: it does not take the
// control now, runs dependants, is not running, or never came up. The state
// read afterwards is the outcome; anything else is a failed call.
bool ServiceSaidNo(DWORD error) {
  switch (error) {
    case ERROR_DEPENDENT_SERVICES_RUNNING:
    case ERROR_INVALID_SERVICE_CONTROL:
    case ERROR_SERVICE_CANNOT_ACCEPT_CTRL:
    case ERROR_SERVICE_NOT_ACTIVE:
    case ERROR_SERVICE_REQUEST_TIMEOUT:
      return true;
    default:
      return false;
  }
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

}  // namespace

ScmSvcIt::~ScmSvcIt() {
  WipeSecret(password_);
  if (connection_) CloseServiceHandle(connection_);
}

SC_HANDLE ScmSvcIt::OpenNamed(uint32_t access, bool mayBeAbsent) {
  for (bool reopened = false;; reopened = true) {
    if (!connection_) connection_ = OpenManager(rights::kConnect).release();
    if (SC_HANDLE service = OpenServiceA(connection_, serviceName_.c_str(), access)) return service;
    const DWORD error = GetLastError();
    if (mayBeAbsent &&
        (error == ERROR_SERVICE_DOES_NOT_EXIST || error == ERROR_SERVICE_MARKED_FOR_DELETE)) {
      return nullptr;
    }
    // The first request after the manager restarted is the one that finds out;
    // a new connection is tried once, and a manager that refuses that too fails.
    if (reopened || !ConnectionLost(error)) RaiseWin32(error, "OpenService");
    CloseServiceHandle(connection_);
    connection_ = nullptr;
  }
}

void ScmSvcIt::AccountPassword(const std::string& password) {
  WipeSecret(password_);
  password_ = password;
}

void ScmSvcIt::Install(bool) {
  wait_.Run([&] {
    // The password is needed for this one call only.
    WipedOnExit wipe(password_);

    ServiceHandle manager = OpenManager(rights::kCreate.manager);
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
    WipedOnExit wipeCopy(password);

    // Demand start: the administrator starts the service from the manager, and
    // a registration must not start anything behind his back at the next boot.
    const DWORD started = Now();
    ServiceHandle service;
    for (;;) {
      service.reset(CreateServiceW(manager.get(), name.c_str(), display.c_str(),
                                   rights::kCreate.service, type, SERVICE_DEMAND_START,
                                   SERVICE_ERROR_NORMAL, path.c_str(), nullptr, nullptr,
                                   dependencies.c_str(), typedAccount ? account.c_str() : nullptr,
                                   typedAccount ? password.c_str() : nullptr));
      if (service) break;
      const DWORD error = GetLastError();
      if (error != ERROR_SERVICE_MARKED_FOR_DELETE || Now() - started > kReplaceWaitMs) {
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
  });
}

void ScmSvcIt::Uninstall() {
  wait_.Run([&] {
    ServiceHandle service(OpenNamed(rights::kRemove.service, false));
    // A service marked for deletion goes once it has stopped. Ask it to stop,
    // but do not wait: the caller watches the removal with its own bound. A
    // service that refuses stays registered, which its state then tells.
    SERVICE_STATUS status{};
    ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
    if (!DeleteService(service.get())) {
      const DWORD error = GetLastError();
      if (error != ERROR_SERVICE_MARKED_FOR_DELETE) RaiseWin32(error, "DeleteService");
    }
  });
}

void ScmSvcIt::Stop() {
  wait_.Run([&] {
    ServiceHandle service(OpenNamed(rights::kStopIt.service, false));
    // A starting service takes no stop until it runs.
    SERVICE_STATUS status = WaitWhile(service.get(), IsStarting);
    if (!IsAlive(status.dwCurrentState)) return;
    if (!IsStopping(status.dwCurrentState) &&
        !ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) {
      const DWORD error = GetLastError();
      if (!ServiceSaidNo(error)) RaiseWin32(error, "ControlService(stop)");
      return;
    }
    WaitWhile(service.get(), IsAlive);
  });
}

bool ScmSvcIt::Running() {
  bool answer = false;
  wait_.Run([&] {
    ServiceHandle service(OpenNamed(rights::kQuery.service, true));
    // Starting, stopping and paused services count: their process runs, and
    // calling such a service stopped would be untrue.
    answer = service && IsAlive(QueryStatus(service.get()).dwCurrentState);
  });
  return answer;
}

bool ScmSvcIt::Installed() {
  bool answer = false;
  wait_.Run(
      [&] { answer = static_cast<bool>(ServiceHandle(OpenNamed(rights::kQuery.service, true))); });
  return answer;
}

void ScmSvcIt::Start(const std::string& arguments) {
  wait_.Run([&] {
    ServiceHandle service(OpenNamed(rights::kStartIt.service, false));
    // A stopping service can be started again once it has stopped.
    const SERVICE_STATUS status = WaitWhile(service.get(), IsStopping);
    // A non-empty text reaches the service as its one argument.
    const char* argument = arguments.c_str();
    if (!IsAlive(status.dwCurrentState) &&
        !StartServiceA(service.get(), arguments.empty() ? 0 : 1,
                       arguments.empty() ? nullptr : &argument)) {
      // A missing program, a program that is no service, a refused logon, a
      // disabled or deleted service: the state says the start failed. Only a
      // request the manager could not take is a failed call.
      const DWORD error = GetLastError();
      if (error == ERROR_ACCESS_DENIED || error == ERROR_INVALID_HANDLE ||
          error == ERROR_INVALID_PARAMETER) {
        RaiseWin32(error, "StartService");
      }
      return;
    }
    WaitWhile(service.get(), IsStarting);
  });
}

void ScmSvcIt::SendControl(int32_t code) {
  wait_.Run([&] {
    ServiceHandle service(OpenNamed(rights::kControl.service, false));
    // A service still starting takes its controls once it runs.
    WaitWhile(service.get(), IsStarting);
    SERVICE_STATUS status{};
    if (!ControlService(service.get(), static_cast<DWORD>(code), &status)) {
      const DWORD error = GetLastError();
      if (!ServiceSaidNo(error)) RaiseWin32(error, "ControlService");
    }
  });
}

}  // namespace zlv
