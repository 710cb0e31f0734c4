// The service-control component against Wine's real service control manager,
// with the stand-in service program copied to a folder whose name holds a blank.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "../../unit/SvcItContract.h"
#include "../WinTestKit.h"
#include "platform/UiGate_win.h"
#include "service/ScmSvcIt_win.h"
#include "service/ServiceConfig.h"

namespace zlv::test {
namespace {

const std::string kFolder = "C:\\Zemlo Test";
const std::string kProgram = kFolder + "\\Linkvane_Service.exe";
const std::string kStandInIni = kFolder + "\\LinkvaneStandIn.ini";

std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void SetStopMode(const char* mode, const char* ms) {
  WritePrivateProfileStringA("Stand-in", "StopMode", mode, kStandInIni.c_str());
  WritePrivateProfileStringA("Stand-in", "StopMs", ms, kStandInIni.c_str());
}

class ScmSide {
 public:
  ScmSide() {
    CreateDirectoryA(kFolder.c_str(), nullptr);
    EXPECT_TRUE(wintest::RemoveService()) << "a leftover service would not go";
    for (const char* file : {"controls.txt", "LinkvaneStandIn.ini"})
      DeleteFileA((kFolder + "\\" + file).c_str());
    EXPECT_TRUE(CopyFileA((wintest::ProgramsFolder() + "\\Linkvane_Service.exe").c_str(),
                          kProgram.c_str(), FALSE));
  }
  ~ScmSide() { wintest::RemoveService(); }

  SvcIt& Svc() { return svc_; }
  std::string Program() const { return kProgram; }
  void Behave(Behaviour behaviour) {
    if (behaviour == Behaviour::kNeverStarts) DeleteFileA(kProgram.c_str());
    if (behaviour == Behaviour::kIgnoresStop) SetStopMode("ignore", "0");
    if (behaviour == Behaviour::kStopsSlowly) SetStopMode("slow", "6000");
  }
  std::vector<int32_t> Delivered() const {
    std::vector<int32_t> codes;
    std::istringstream lines(FileText(kFolder + "\\controls.txt"));
    for (std::string line; std::getline(lines, line);)
      if (line != "stop\r") codes.push_back(std::stoi(line));
    return codes;
  }
  bool Eventually(const std::function<bool()>& probe) { return wintest::Within(10000, probe); }

 private:
  UiGate gate_;
  ScmSvcIt svc_{gate_};
};

INSTANTIATE_TYPED_TEST_SUITE_P(ServiceManager, SvcItContract, ScmSide);

// Ends the process that serves the service manager's pipe and starts another, as a restart of the
// service manager does: every connection made before it is lost.
void RestartServiceManager() {
  const auto serverPid = reinterpret_cast<BOOL(WINAPI*)(HANDLE, PULONG)>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetNamedPipeServerProcessId")));
  HANDLE pipe =
      CreateFileA("\\\\.\\pipe\\svcctl", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ULONG pid = 0;
  ASSERT_TRUE(serverPid && serverPid(pipe, &pid));
  CloseHandle(pipe);
  HANDLE old = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
  ASSERT_TRUE(TerminateProcess(old, 1) && WaitForSingleObject(old, 10000) == WAIT_OBJECT_0);
  CloseHandle(old);
  STARTUPINFOA start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION started{};
  char program[] = "services.exe";
  ASSERT_TRUE(CreateProcessA(nullptr, program, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start,
                             &started));
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  ASSERT_TRUE(wintest::Within(10000, [] {
    return CloseServiceHandle(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT)) != FALSE;
  }));
}

TEST(ScmSvcItConnection, AServiceManagerRestartedBetweenCallsIsReconnectedWithoutAFailure) {
  ScmSide side;
  SvcIt& svc = side.Svc();
  svc.ServiceName(std::string(kServiceName));
  svc.DisplayName(std::string(kServiceName));
  svc.ExecutablePath(side.Program());
  ASSERT_FALSE(svc.Installed());
  RestartServiceManager();
  svc.Install(false);
  EXPECT_TRUE(svc.Installed());
}

}  // namespace
}  // namespace zlv::test
