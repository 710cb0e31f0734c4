// The service-control component against Wine's real service control manager,
// with the stand-in service program copied to a folder whose name holds a blank.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "../../unit/SvcItContract.h"
#include "../WinTestKit.h"
#include "platform/UiGate_win.h"
#include "service/ScmSvcIt_win.h"

namespace zlv::test {
namespace {

const std::string kFolder = "C:\\Zemlo Test";
const std::string kProgram = kFolder + "\\Linkvane_Service.exe";
const std::string kStandInIni = kFolder + "\\LinkvaneStandIn.ini";

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
    std::ifstream lines(kFolder + "\\controls.txt", std::ios::binary);
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

}  // namespace
}  // namespace zlv::test
