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
#include "platform/UiGate_win.h"
#include "service/ScmSvcIt_win.h"

namespace zlv::test {
namespace {

const std::string kName = "Zemlo Linkvane";
const std::string kFolder = "C:\\Zemlo Test";
const std::string kProgram = kFolder + "\\Linkvane_Service.exe";
const std::string kStandInIni = kFolder + "\\LinkvaneStandIn.ini";

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
  for (const DWORD start = GetTickCount(); !done(); Sleep(20))
    if (GetTickCount() - start > ms) return false;
  return true;
}

std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void SetStopMode(const char* mode, const char* ms) {
  WritePrivateProfileStringA("Stand-in", "StopMode", mode, kStandInIni.c_str());
  WritePrivateProfileStringA("Stand-in", "StopMs", ms, kStandInIni.c_str());
}

// Removes whatever an earlier test left: a service that ignored its stop is told to take the
// next one, then stopped, deleted and waited for (bounded). Wine refuses a second stop request
// and drops such a service at once; its process, which keeps its pid file, is then ended.
void RemoveService() {
  SetStopMode("", "0");
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  ASSERT_NE(manager, nullptr);
  if (SC_HANDLE service = OpenServiceA(manager, kName.c_str(), SERVICE_ALL_ACCESS)) {
    SERVICE_STATUS status{};
    ControlService(service, SERVICE_CONTROL_STOP, &status);
    DeleteService(service);
    CloseServiceHandle(service);
  }
  const bool gone = WaitFor(
      [&] {
        SC_HANDLE probe = OpenServiceA(manager, kName.c_str(), SERVICE_QUERY_STATUS);
        if (probe) CloseServiceHandle(probe);
        return probe == nullptr;
      },
      10000);
  CloseServiceHandle(manager);
  const std::string pid = FileText(kFolder + "\\pid.txt");
  if (HANDLE process =
          pid.empty() ? nullptr : OpenProcess(PROCESS_TERMINATE, FALSE, std::stoul(pid))) {
    TerminateProcess(process, 1);
    CloseHandle(process);
  }
  DeleteFileA((kFolder + "\\pid.txt").c_str());
  ASSERT_TRUE(gone) << "a leftover service would not go";
}

std::string OwnFolder() {
  char path[MAX_PATH] = {};
  std::string own(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return own.substr(0, own.find_last_of('\\'));
}

class ScmSide {
 public:
  ScmSide() {
    CreateDirectoryA(kFolder.c_str(), nullptr);
    RemoveService();
    for (const char* file : {"controls.txt", "LinkvaneStandIn.ini"})
      DeleteFileA((kFolder + "\\" + file).c_str());
    EXPECT_TRUE(
        CopyFileA((OwnFolder() + "\\Linkvane_Service.exe").c_str(), kProgram.c_str(), FALSE));
  }
  ~ScmSide() { RemoveService(); }

  SvcIt& Svc() { return svc_; }
  std::string Program() const { return kProgram; }
  void Behave(Behaviour behaviour) {
    if (behaviour == Behaviour::kNeverStarts) DeleteFileA(kProgram.c_str());
    if (behaviour == Behaviour::kIgnoresStop) SetStopMode("ignore", "0");
    if (behaviour == Behaviour::kStopsSlowly) SetStopMode("slow", "1500");
  }
  std::vector<int32_t> Delivered() const {
    std::vector<int32_t> codes;
    std::istringstream lines(FileText(kFolder + "\\controls.txt"));
    for (std::string line; std::getline(lines, line);)
      if (line != "stop\r") codes.push_back(std::stoi(line));
    return codes;
  }
  bool Eventually(const std::function<bool()>& probe) { return WaitFor(probe, 10000); }

 private:
  UiGate gate_;
  ScmSvcIt svc_{gate_};
};

INSTANTIATE_TYPED_TEST_SUITE_P(ServiceManager, SvcItContract, ScmSide);

}  // namespace
}  // namespace zlv::test
