// The service-control component and the service operations against Wine's
// real service control manager, with the stand-in service program copied to
// a folder whose name holds a blank.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "../../unit/FakeErrors.h"
#include "../../unit/FakeServiceDesk.h"
#include "../../unit/Fakes.h"
#include "service/ScmSvcIt_win.h"
#include "service/ServiceOperations.h"

namespace zlv {
namespace {

const std::string kName = "Zemlo Linkvane";
const std::string kFolder = "C:\\Zemlo Test";
const std::string kProgram = kFolder + "\\Linkvane_Service.exe";
const std::string kDescription = "Zemlo Linkvane Service - Network management tools";
const char* const kKey = "System\\CurrentControlSet\\Services\\Zemlo Linkvane";

bool WaitFor(const std::function<bool()>& done, int ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    Sleep(20);
  }
  return true;
}

std::string FileText(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  std::string text(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
  CloseHandle(file);
  text.resize(read);
  return text;
}

std::string Controls() {
  return FileText(kFolder + "\\controls.txt");
}

// Removes whatever an earlier test or run left: stops and deletes the
// service and waits (bounded) until the system has let it go.
void RemoveService() {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  ASSERT_NE(manager, nullptr);
  SC_HANDLE service = OpenServiceA(manager, kName.c_str(), SERVICE_ALL_ACCESS);
  if (service) {
    SERVICE_STATUS status{};
    ControlService(service, SERVICE_CONTROL_STOP, &status);
    WaitFor(
        [&] {
          return QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_STOPPED;
        },
        10000);
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
  ASSERT_TRUE(gone) << "a leftover service would not go";
}

std::string OwnFolder() {
  char path[MAX_PATH] = {};
  std::string own(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return own.substr(0, own.find_last_of('\\'));
}

struct Registration {
  HKEY key = nullptr;
  Registration() { RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key); }
  ~Registration() {
    if (key) RegCloseKey(key);
  }
  std::string Text(const char* name) {
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 2;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size)) {
      return "<missing>";
    }
    return std::string(buffer, size);  // multi-strings keep their NULs
  }
  DWORD Number(const char* name) {
    DWORD value = 0xFFFFFFFF, size = sizeof value;
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    return value;
  }
};

std::string Trimmed(std::string text) {
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

class ScmSvcItTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveService();
    CreateDirectoryA(kFolder.c_str(), nullptr);
    ASSERT_TRUE(
        CopyFileA((OwnFolder() + "\\Linkvane_Service.exe").c_str(), kProgram.c_str(), FALSE));
    for (const char* file : {"controls.txt", "InfoLog.txt", "LinkvaneStandIn.ini"}) {
      DeleteFileA((kFolder + "\\" + file).c_str());
    }
  }
  void TearDown() override { RemoveService(); }

  // The values the manager writes for a Local System installation.
  void Describe(ScmSvcIt& svc, const std::string& dependencies = "") {
    svc.ServiceName(kName);
    svc.DisplayName(kName);
    svc.ExecutablePath(kProgram);
    svc.LocalSystemInteractive(true);
    svc.AccountName("");
    svc.AccountPassword("");
    svc.ServiceDependencies(dependencies);
    svc.Description(kDescription);
  }
};

TEST_F(ScmSvcItTest, InstallRegistersTheService) {
  ScmSvcIt svc;
  Describe(svc, "Tcpip; Afd");
  svc.Install(false);
  EXPECT_TRUE(svc.Installed());
  EXPECT_FALSE(svc.Running());
  Registration reg;
  ASSERT_NE(reg.key, nullptr);
  EXPECT_EQ(Trimmed(reg.Text("ImagePath")), "\"" + kProgram + "\"");
  EXPECT_EQ(Trimmed(reg.Text("DisplayName")), kName);
  EXPECT_EQ(Trimmed(reg.Text("Description")), kDescription);
  EXPECT_EQ(Trimmed(reg.Text("ObjectName")), "LocalSystem");
  EXPECT_EQ(reg.Number("Type"), 0x110u);
  EXPECT_EQ(reg.Number("Start"), static_cast<DWORD>(SERVICE_DEMAND_START));
  EXPECT_EQ(Trimmed(reg.Text("DependOnService")), std::string("Tcpip\0Afd", 9));
}

TEST_F(ScmSvcItTest, TypedAccountIsRegisteredWithoutDesktopAccess) {
  ScmSvcIt svc;
  Describe(svc);
  svc.LocalSystemInteractive(false);
  svc.AccountName(".\\netadmin");
  svc.AccountPassword("pw");
  svc.Install(false);
  Registration reg;
  EXPECT_EQ(Trimmed(reg.Text("ObjectName")), ".\\netadmin");
  EXPECT_EQ(reg.Number("Type"), 0x10u);
}

TEST_F(ScmSvcItTest, StartControlStopUninstall) {
  WritePrivateProfileStringA("Stand-in", "Interval", "100",
                             (kFolder + "\\LinkvaneStandIn.ini").c_str());
  ScmSvcIt svc;
  Describe(svc);
  svc.Install(false);
  svc.Start("");
  EXPECT_TRUE(svc.Running());
  svc.SendControl(200);
  svc.SendControl(201);
  EXPECT_TRUE(WaitFor([] { return FileText(kFolder + "\\InfoLog.txt").size() > 100; }, 5000));
  svc.Stop();
  EXPECT_FALSE(svc.Running());
  EXPECT_TRUE(svc.Installed());
  EXPECT_EQ(Controls(), "200\r\n201\r\nstop\r\n");

  // Every log line: four tab-separated fields, CR LF.
  const std::string log = FileText(kFolder + "\\InfoLog.txt");
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
  size_t lines = 0;
  for (size_t start = 0; start < log.size(); ++lines) {
    const size_t end = log.find("\r\n", start);
    const std::string line = log.substr(start, end - start);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 3) << line;
    start = end + 2;
  }
  EXPECT_GE(lines, 3u);

  svc.Uninstall();
  EXPECT_TRUE(WaitFor([&] { return !svc.Installed(); }, 5000));
}

TEST_F(ScmSvcItTest, InstallOverARunningInstallation) {
  ScmSvcIt svc;
  Describe(svc);
  svc.Install(false);
  svc.Start("");
  ASSERT_TRUE(svc.Running());
  // What the install command does: remove and register again at once.
  svc.Uninstall();
  svc.Description("second registration");
  svc.Install(false);
  EXPECT_TRUE(svc.Installed());
  EXPECT_FALSE(svc.Running());
  EXPECT_EQ(Trimmed(Registration().Text("Description")), "second registration");
  svc.Start("");
  EXPECT_TRUE(svc.Running());
}

TEST_F(ScmSvcItTest, AMissingServiceAnswersFalseAndRefusesCalls) {
  ScmSvcIt svc;
  Describe(svc);
  EXPECT_FALSE(svc.Installed());
  EXPECT_FALSE(svc.Running());
  const std::vector<std::function<void()>> calls = {[&] { svc.Uninstall(); }, [&] { svc.Stop(); },
                                                    [&] { svc.Start(""); },
                                                    [&] { svc.SendControl(200); }};
  for (const auto& call : calls) {
    try {
      call();
      ADD_FAILURE() << "a call on a missing service succeeded";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.Number(), ERROR_SERVICE_DOES_NOT_EXIST) << failure.Description();
    }
  }
}

TEST_F(ScmSvcItTest, AMissingProgramFailsToStartAtOnce) {
  ScmSvcIt svc;
  Describe(svc);
  svc.ExecutablePath(kFolder + "\\Nowhere.exe");
  svc.Install(false);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_THROW(svc.Start(""), Failure);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_FALSE(svc.Running());
}

// The operations layer over the real component: what the stand-in receives.
class OperationsOnScmTest : public ScmSvcItTest {
 protected:
  ScmSvcIt svc;
  test::FakeStatusBar bar;
  test::FakeTimer poll, countdown;
  test::FakeReporter fake;
  test::FakeProfileStore store;
  test::FakeBeeper beeper;
  ManagerGlobal settings{store, beeper, fake.reporter};
  StatusLine status{svc, bar, poll, countdown, fake.reporter};
  std::string settingsFile = kFolder + "\\ZemloLinkvaneManager-Settings.ini";
  std::string appFolder = kFolder;
  test::FakeLogin login;
  test::FakeBoxes boxes;
  test::FakeShell shell;
  test::FakeClock clock;
  test::FakeEventPump events;
  ServiceOperations ops{{svc, status, settings, settingsFile, appFolder, login, boxes, shell, clock,
                         events, fake.reporter, nullptr}};
};

TEST_F(OperationsOnScmTest, ShowAndHideOnStoppedRunningAndMissingServices) {
  enum Start { kMissing, kStopped, kRunning };
  const struct {
    Start start;
    bool hide;
    std::string received;
  } cases[] = {
      {kStopped, false, "200\r\n200\r\n"}, {kStopped, true, "200\r\n201\r\n"},
      {kRunning, false, "200\r\n"},        {kRunning, true, "201\r\n"},
      {kMissing, true, "200\r\n201\r\n"},
  };
  for (const auto& c : cases) {
    RemoveService();
    DeleteFileA((kFolder + "\\controls.txt").c_str());
    if (c.start != kMissing) {
      ops.ServiceInstall();
      ASSERT_EQ(bar.Line(), "Service installed successfully");
    }
    if (c.start == kRunning) {
      svc.Start("");  // the component alone: no code sent yet
      ASSERT_TRUE(svc.Running());
    }
    c.hide ? ops.ServiceHide() : ops.ServiceShow();
    EXPECT_TRUE(ops.LastOutcomeSucceeded());
    ops.ServiceStop();
    EXPECT_EQ(bar.Line(), "Service is Stopped");
    EXPECT_EQ(Controls(), c.received + "stop\r\n") << c.start << c.hide;
  }
  ops.ServiceUninstall();
  EXPECT_EQ(bar.Line(), "Service was uninstalled successfully");
  status.ShowStatus();
  EXPECT_EQ(status.StatusText(), "Service not installed");
  EXPECT_FALSE(fake.Reported());
}

TEST_F(OperationsOnScmTest, InstallOverRunningThenStopOnMissing) {
  ops.ServiceStart();
  ASSERT_EQ(bar.Line(), "Service is Running");
  ops.ServiceInstall();
  EXPECT_EQ(bar.Line(), "Service installed successfully");
  EXPECT_TRUE(ops.LastOutcomeSucceeded());
  ops.ServiceUninstall();
  EXPECT_EQ(bar.Line(), "Service was uninstalled successfully");
  ops.ServiceStop();
  EXPECT_EQ(bar.Line(), "Service was not installed");
  EXPECT_FALSE(ops.LastOutcomeSucceeded());
}

// The shell's "open" as the manager window passes it, over ShellExecuteA.
class ShellOpen : public ShellLauncher {
 public:
  void Open(const std::string& operation, const std::string& file, const std::string& parameters,
            const std::string& directory, int32_t showMode) override {
    ShellExecuteA(nullptr, operation.c_str(), file.c_str(), parameters.c_str(), directory.c_str(),
                  showMode);
  }
};

TEST_F(OperationsOnScmTest, RunInteractiveStartsTheDesktopProgramInTheAppFolder) {
  const std::string launched = kFolder + "\\launched.txt";
  DeleteFileA(launched.c_str());
  ASSERT_TRUE(CopyFileA((OwnFolder() + "\\Linkvane.exe").c_str(),
                        (kFolder + "\\Linkvane.exe").c_str(), FALSE));
  ops.ServiceStart();
  ASSERT_TRUE(svc.Running());
  ShellOpen shellOpen;
  ServiceOperations interactive{{svc, status, settings, settingsFile, appFolder, login, boxes,
                                 shellOpen, clock, events, fake.reporter, nullptr}};
  boxes.answer = mb::kAnswerYes;
  interactive.RunInteractive();
  EXPECT_TRUE(interactive.LastOutcomeSucceeded());
  EXPECT_FALSE(svc.Running()) << "stopped before the desktop program starts";
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(boxes.boxes[1].flags, 64);
  ASSERT_TRUE(WaitFor([&] { return !FileText(launched).empty(); }, 10000));
  EXPECT_EQ(FileText(launched), "started\r\ncwd=" + kFolder + "\r\n");
}

}  // namespace
}  // namespace zlv
