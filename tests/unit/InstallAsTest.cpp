#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "FakeErrors.h"
#include "FakeWindowProcLayer.h"
#include "Fakes.h"
#include "service/InstallAs.h"

namespace zlv {
namespace {

using test::FakeReporter;
using test::FakeWindowProcLayer;

const std::string kIni = "C:\\Zemlo\\ZemloLinkvaneManager-Settings.ini";

// The dialog's window with a scripted user: during each modal showing the
// script types keys, clicks buttons or uses the close box, as a person would.
class FakeInstallAsWindow : public InstallAsWindow {
 public:
  using Script = std::function<void(FakeInstallAsWindow&)>;

  void Build(InstallAsEvents& events) override {
    if (failBuild) Raise(7, "Out of memory");
    events_ = &events;
    handle_ = nextHandle++;
    texts_.clear();
  }
  WindowHandle Handle() override { return handle_; }
  void RunModal() override {
    ASSERT_NE(handle_, 0u);
    visible_ = true;
    ASSERT_FALSE(scripts.empty()) << "no user for this showing";
    Script script = std::move(scripts.front());
    scripts.erase(scripts.begin());
    script(*this);
    EXPECT_FALSE(visible_) << "the script left the dialog open";
  }
  void Hide() override { visible_ = false; }
  std::string Text(InstallAsBox box) override { return texts_[box]; }
  void SetText(InstallAsBox box, const std::string& text) override { texts_[box] = text; }

  // What the user does.
  void Type(InstallAsBox box, const std::string& keys) {
    for (char c : keys) {
      ASSERT_TRUE(visible_) << "typing into a hidden dialog";
      int16_t keyAscii = static_cast<unsigned char>(c);
      if (box == InstallAsBox::kUsername) {
        events_->txtUsername_KeyPress(keyAscii);
      } else {
        events_->txtPassword_KeyPress(keyAscii);
      }
      if (keyAscii != 0) texts_[box] += static_cast<char>(keyAscii);
    }
  }
  void ClickOK() { events_->cmdOK_Click(); }
  void ClickCancel() { events_->cmdCancel_Click(); }

  std::vector<Script> scripts;
  WindowHandle nextHandle = 500;
  bool failBuild = false;

 private:
  InstallAsEvents* events_ = nullptr;
  WindowHandle handle_ = 0;
  bool visible_ = false;
  std::map<InstallAsBox, std::string> texts_;
};

constexpr WindowHandle kFrame = 900;
constexpr WindowProcAddress kFrameProc = 0x4000;

struct Dialog {
  explicit Dialog(std::string winVersion = "9X")
      : theme(layer, fake.reporter, [v = std::move(winVersion)] { return v; }) {
    for (WindowHandle h = 500; h < 505; ++h) {
      layer.windows[h] = {{ControlKind::kTextBox, "txtUsername", h + 10},
                          {ControlKind::kFrame, "Frame1", kFrame}};
    }
    layer.procs[kFrame] = kFrameProc;
    theme.ApplyXPTheme();
    store.expectedPath = kIni;
  }
  // Shows the dialog once with the given user behaviour and returns what
  // the install-as command would read back.
  struct Outcome {
    bool ok;
    std::string user;
    std::string password;
  };
  Outcome Show(FakeInstallAsWindow::Script script) {
    window.scripts.push_back(std::move(script));
    dialog.ShowModal();
    return {dialog.OKPressed(), dialog.UserName(), dialog.Password()};
  }
  std::string StoredUser() { return store.Value("Service Options", "Username"); }

  FakeReporter fake;
  test::FakeProfileStore store;
  test::FakeBeeper beeper;
  ManagerGlobal settings{store, beeper, fake.reporter};
  std::string settingsFile = kIni;
  FakeWindowProcLayer layer;
  XPTheme theme;
  FakeInstallAsWindow window;
  InstallAs dialog{window, settings, settingsFile, theme};
};

constexpr auto kUser = InstallAsBox::kUsername;
constexpr auto kPassword = InstallAsBox::kPassword;

TEST(InstallAs, FirstShowingOffersTheStoredNameAndOKStoresOnlyTheName) {
  struct Case {
    const char* stored;  // nullptr: no such key
    std::string offered;
  };
  const Case cases[] = {{nullptr, ".\\Administrator"},
                        {"", ".\\Administrator"},
                        {"CORP\\svc-linkvane", "CORP\\svc-linkvane"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offered);
    Dialog d;
    if (c.stored) d.store.Set("Service Options", "Username", c.stored);
    std::string seenUser, seenPassword = "<unset>";
    const auto out = d.Show([&](FakeInstallAsWindow& w) {
      seenUser = w.Text(kUser);
      seenPassword = w.Text(kPassword);
      w.Type(kPassword, "pa\"ss word");
      w.ClickOK();
    });
    EXPECT_EQ(seenUser, c.offered);
    EXPECT_EQ(seenPassword, "");
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.user, c.offered);
    EXPECT_EQ(out.password, "pa\"ss word");
    EXPECT_EQ(d.StoredUser(), c.offered);
    for (const auto& w : d.store.writes) {
      EXPECT_EQ(w.key, "Username");
      EXPECT_EQ(w.text.find("ss word"), std::string::npos) << "password reached the settings";
    }
  }
}

TEST(InstallAs, UnwritableSettingsBeepButOKStillConfirms) {
  Dialog d;
  d.store.writable = false;
  const auto out = d.Show([](FakeInstallAsWindow& w) { w.ClickOK(); });
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.user, ".\\Administrator");
  EXPECT_EQ(d.beeper.beeps, 1);
  EXPECT_FALSE(d.fake.Reported());
}

TEST(InstallAs, WindowThatCannotBeBuiltFailsTheShowingNotTheProgram) {
  Dialog d;
  d.window.failBuild = true;
  EXPECT_THROW(d.dialog.ShowModal(), Failure);
  EXPECT_FALSE(d.fake.Reported());
  EXPECT_FALSE(d.dialog.OKPressed());
  EXPECT_EQ(d.dialog.UserName(), "");

  d.window.failBuild = false;
  const auto out = d.Show([](FakeInstallAsWindow& w) { w.ClickOK(); });
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.user, ".\\Administrator");
}

TEST(InstallAs, FrameIsSubclassedOnceWhenThemesAreActiveAndReleasedAtTermination) {
  struct Case {
    std::string version;
    bool subclassed;
  };
  for (const Case& c : {Case{"XP", true}, Case{"VISTA", true}, Case{"2K", false}}) {
    SCOPED_TRACE(c.version);
    Dialog d(c.version);
    EXPECT_TRUE(d.theme.SubclassTable().empty()) << "nothing before the first showing";
    d.Show([](FakeInstallAsWindow& w) { w.ClickCancel(); });
    d.Show([](FakeInstallAsWindow& w) { w.ClickOK(); });
    if (c.subclassed) {
      EXPECT_EQ(d.theme.SubclassTable(),
                (std::map<WindowHandle, WindowProcAddress>{{kFrame, kFrameProc}}));
      EXPECT_EQ(d.layer.setCalls, 1);
    } else {
      EXPECT_TRUE(d.theme.SubclassTable().empty());
      EXPECT_EQ(d.layer.setCalls, 0);
    }
    d.dialog.Form_Terminate();
    EXPECT_TRUE(d.theme.SubclassTable().empty());
    EXPECT_EQ(d.layer.procs[kFrame], kFrameProc);
    EXPECT_FALSE(d.fake.Reported());
  }
}

}  // namespace
}  // namespace zlv
