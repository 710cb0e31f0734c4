#include "installas/InstallAs.h"

namespace zlv {

namespace {

constexpr int16_t kEnter = 13;

}  // namespace

InstallAs::InstallAs(InstallAsWindow& window, ManagerGlobal& settings,
                     const std::string& settingsFile, XPTheme& theme)
    : window_(window),
      settings_(settings),
      settingsFile_(settingsFile),
      theme_(theme),
      module_(settings.Reporter(), module::kInstallAs) {}

void InstallAs::ShowModal() {
  // A window that cannot be built or shown is the caller's to report, so
  // these failures leave here untouched.
  const bool building = window_.Handle() == 0;
  if (building) window_.Build(*this);
  if (!initialized_) {
    initialized_ = true;
    Form_Initialize();
  }
  if (building) Form_Load();
  okPressed_ = false;
  window_.RunModal();
}

std::string InstallAs::UserName() {
  return window_.Handle() ? window_.Text(InstallAsBox::kUsername) : std::string();
}

std::string InstallAs::Password() {
  return window_.Handle() ? window_.Text(InstallAsBox::kPassword) : std::string();
}

void InstallAs::Form_Initialize() {
  module_.Run("Form_Initialize", 10, [&] { theme_.SubClassAllFrames(window_.Handle(), ""); });
}

void InstallAs::Form_Load() {
  Procedure p(module_, "Form_Load");
  p.Run([&] {
    p.At(10);
    window_.SetText(InstallAsBox::kUsername, settings_.ReadINI(settingsFile_, "Service Options",
                                                               "Username", ".\\Administrator"));
    p.At(20);
    okPressed_ = false;
  });
}

void InstallAs::cmdOK_Click() {
  Procedure p(module_, "cmdOK_Click");
  p.Run([&] {
    // Only the account name is remembered; the password goes nowhere but to
    // the installation. A write that fails only beeps: OK still confirms.
    p.At(10);
    settings_.WriteINI(settingsFile_, "Service Options", "Username",
                       window_.Text(InstallAsBox::kUsername));
    p.At(20);
    okPressed_ = true;
    p.At(30);
    window_.Hide();
  });
}

void InstallAs::cmdCancel_Click() {
  module_.Run("cmdCancel_Click", 10, [&] { window_.Hide(); });
}

void InstallAs::EnterPerformsOK(std::string_view procedure, int16_t& keyAscii) {
  Procedure p(module_, procedure);
  p.Run([&] {
    p.At(10);
    if (keyAscii == kEnter) {
      keyAscii = 0;
      p.At(20);
      cmdOK_Click();
    }
  });
}

void InstallAs::txtUsername_KeyPress(int16_t& keyAscii) {
  EnterPerformsOK("txtUsername_KeyPress", keyAscii);
}

void InstallAs::txtPassword_KeyPress(int16_t& keyAscii) {
  EnterPerformsOK("txtPassword_KeyPress", keyAscii);
}

void InstallAs::Form_Terminate() {
  module_.Run("Form_Terminate", 10, [&] { theme_.UnSubClassAllFrames(window_.Handle(), ""); });
}

}  // namespace zlv
