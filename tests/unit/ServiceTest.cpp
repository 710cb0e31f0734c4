#include <gtest/gtest.h>

#include "FakeServiceDesk.h"
#include "FakeSvcIt.h"
#include "Fakes.h"
#include "service/InstallAs.h"
#include "service/ServiceConfig.h"

namespace zlv {
namespace {

using namespace std::string_literals;

struct StatusLineTest : ::testing::Test {
  test::FakeSvcIt svc;
  test::FakeStatusBar bar;
  test::FakeTimer poll, countdown;
  test::FakeReporter fake;
  StatusLine line{svc, bar, poll, countdown, fake.reporter};
};

TEST_F(StatusLineTest, PollsEveryFiveSecondsForTheStateAndStopsACountdown) {
  line.StartTimers();
  EXPECT_EQ(std::tuple(poll.interval, poll.enabled, countdown.interval, countdown.enabled),
            std::tuple(5000, true, 1000, false));
  const struct {
    bool installed, running;
    std::set<std::string> failing;
    std::string bar, text;
  } cases[] = {
      {false, true, {}, "Service is not installed", "Service not installed"},
      {true, true, {}, "Service is Running", "Service Running"},
      {true, false, {"Option10", "ServiceName"}, "Service is Stopped", "Service Stopped"},
      // A component that cannot answer leaves the line and its countdown as they were.
      {true, true, {"Installed"}, "Service failed to start", "Service Unknown"},
      {true, true, {"Running"}, "Service failed to start", "Service Unknown"},
  };
  for (const auto& c : cases) {
    svc.installed = c.installed, svc.running = c.running, svc.failing = c.failing;
    const int pollStarts = poll.starts;
    line.StatusDisplay("Service failed to start", 10);
    EXPECT_EQ(poll.starts, pollStarts + 1) << "an outcome gets a whole poll interval";
    line.ShowState_Timer();
    EXPECT_EQ(bar.Line(), c.bar);
    EXPECT_EQ(line.StatusText(), c.text);
    EXPECT_EQ(countdown.enabled, c.text == "Service Unknown") << c.text;
  }
  EXPECT_FALSE(fake.Reported());
}

TEST_F(StatusLineTest, ATemporaryTextLivesItsTicksAndBelowOneTickStays) {
  for (const int32_t ttl : {3, 1, 0, -1, INT32_MIN}) {
    line.StatusDisplay("Installing service...", 10);
    line.StatusDisplayTimer_Timer();  // a new text restarts the count
    line.StatusDisplay("Service is Running", ttl);
    for (int tick = 1; tick < ttl; ++tick) line.StatusDisplayTimer_Timer();
    EXPECT_EQ(bar.Line(), "Service is Running") << ttl;
    EXPECT_EQ(countdown.enabled, ttl > 0) << ttl;
    if (ttl > 0) line.StatusDisplayTimer_Timer();
    EXPECT_EQ(bar.Line(), ttl > 0 ? "" : "Service is Running") << ttl;
    EXPECT_FALSE(countdown.enabled) << ttl;
  }
}

TEST(ServiceConfig, TextsBecomeWhatTheRegistrationHolds) {
  const std::pair<std::string, std::string> dependencies[] = {
      {"", "\0\0"s},
      {" ;;, ", "\0\0"s},
      {"Tcpip", "Tcpip\0\0"s},
      {" a ;; b ,\tc d; ", "a\0b\0c d\0\0"s}};
  for (const auto& [text, list] : dependencies) EXPECT_EQ(DependencyList(text), list) << text;
  // A program path in quotes, once: a lone quote is no pair.
  const std::pair<std::string, std::string> paths[] = {
      {R"(C:\Program Files\x.exe)", R"("C:\Program Files\x.exe")"},
      {R"(  "C:\Zemlo Test\x.exe" )", R"("C:\Zemlo Test\x.exe")"},
      {R"(")", R"(""")"}};
  for (const auto& [path, quoted] : paths) EXPECT_EQ(QuotedProgramPath(path), quoted) << path;
  std::string secret(40, 'p');  // past the small-string buffer: heap memory
  const char* bytes = secret.data();
  WipeSecret(secret);
  EXPECT_EQ(std::string(bytes, 40), std::string(40, '\0')) << "the buffer is kept, wiped";
  EXPECT_TRUE(secret.empty());
}

// The login dialog over a window whose user, scripted, types and clicks during
// each modal showing. Its theming is proven under Wine with the real window.
struct InstallAsTest : ::testing::Test, InstallAsWindow {
  void Build(InstallAsEvents& events) override { user = &events; }
  WindowHandle Handle() override { return user ? 500 : 0; }
  void RunModal() override { script(); }
  void Hide() override {}
  std::string Text(InstallAsBox box) override { return texts[box]; }
  void SetText(InstallAsBox box, const std::string& text) override { texts[box] = text; }
  bool Show(std::function<void()> userScript) {
    script = std::move(userScript);
    dialog.ShowModal();
    return dialog.OKPressed();
  }
  // What the key handler lets through lands in the box.
  void TypePassword(const std::string& keys) {
    for (int16_t key : keys) {
      user->txtPassword_KeyPress(key);
      if (key != 0) texts[InstallAsBox::kPassword] += static_cast<char>(key);
    }
  }

  InstallAsEvents* user = nullptr;
  std::function<void()> script;
  std::map<InstallAsBox, std::string> texts;
  test::FakeReporter fake;
  test::FakeProfileStore store;
  test::FakeBeeper beeper;
  ManagerGlobal settings{store, beeper, fake.reporter};
  std::string settingsFile = "s.ini";
  test::FakeWindowProcLayer layer;
  XPTheme theme{layer, fake.reporter, [] { return std::string("9X"); }};
  InstallAs dialog{*this, settings, settingsFile, theme};
};

TEST_F(InstallAsTest, OffersTheStoredNameAndConfirmingByOKOrEnterStoresOnlyTheName) {
  const std::tuple<std::optional<std::string>, std::string, std::string> cases[] = {
      {std::nullopt, ".\\Administrator", "pa\"ss"},
      {"", ".\\Administrator", "pa\"ss\r"},
      {"CORP\\svc", "CORP\\svc", "pa\"ss\r"}};
  for (const auto& [stored, offered, keys] : cases) {
    store = test::FakeProfileStore(), user = nullptr, texts.clear();
    if (stored) store.Set("Service Options", "Username", *stored);
    EXPECT_TRUE(Show([&] {
      EXPECT_EQ(texts, (std::map<InstallAsBox, std::string>{{InstallAsBox::kUsername, offered}}));
      TypePassword(keys);
      if (keys.back() != '\r') user->cmdOK_Click();
    }));
    EXPECT_EQ(dialog.UserName(), offered);
    EXPECT_EQ(dialog.Password(), "pa\"ss");
    EXPECT_EQ(store.Written(), std::vector<std::string>{"Username=" + offered});
  }
}

TEST_F(InstallAsTest, EachShowingStartsUnconfirmedAndARefusedWriteStillConfirms) {
  store.writable = false;
  EXPECT_TRUE(Show([&] { user->cmdOK_Click(); }));
  EXPECT_EQ(beeper.beeps, 1);
  EXPECT_FALSE(Show([&] { user->cmdCancel_Click(); }));
  EXPECT_FALSE(fake.Reported());
}

}  // namespace
}  // namespace zlv
