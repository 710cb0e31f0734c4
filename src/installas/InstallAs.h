// InstallAs: the login dialog of the install-as command. It asks for the
// account the service runs under and remembers the account name, never the
// password.
#pragma once

#include <cstdint>
#include <string>

#include "core/Modules.h"
#include "installas/LoginDialog.h"
#include "settings/ManagerGlobal.h"
#include "theme/XPTheme.h"

namespace zlv {

inline constexpr std::string_view kInstallAsTitle = "Set Zemlo Linkvane Service Login";

// The dialog's handlers, called by its window.
class InstallAsEvents {
 public:
  virtual ~InstallAsEvents() = default;
  virtual void cmdOK_Click() = 0;
  virtual void cmdCancel_Click() = 0;
  // keyAscii 0 afterwards means the key is swallowed.
  virtual void txtUsername_KeyPress(int16_t& keyAscii) = 0;
  virtual void txtPassword_KeyPress(int16_t& keyAscii) = 0;
};

enum class InstallAsBox { kUsername, kPassword };

// The dialog's window. The title-bar close box destroys it (Handle() turns 0)
// without calling any handler.
class InstallAsWindow {
 public:
  virtual ~InstallAsWindow() = default;
  // Builds the window, hidden, with empty boxes; raises a Failure when it cannot.
  virtual void Build(InstallAsEvents& events) = 0;
  // 0 while the window is not built.
  virtual WindowHandle Handle() = 0;
  // Shows the window modally; returns once it is hidden or destroyed.
  virtual void RunModal() = 0;
  virtual void Hide() = 0;
  virtual std::string Text(InstallAsBox box) = 0;
  virtual void SetText(InstallAsBox box, const std::string& text) = 0;
};

// The theme must outlive the window: a subclassed frame routes its messages
// to it until the frame is destroyed or Form_Terminate releases it.
class InstallAs final : public LoginDialog, private InstallAsEvents {
 public:
  InstallAs(InstallAsWindow& window, ManagerGlobal& settings, const std::string& settingsFile,
            XPTheme& theme);

  // LoginDialog
  void ShowModal() override;
  bool OKPressed() override { return okPressed_; }
  std::string UserName() override;
  std::string Password() override;

  // Release of the dialog object at shutdown.
  void Form_Terminate();

 private:
  void Form_Initialize();
  void Form_Load();

  // InstallAsEvents
  void cmdOK_Click() override;
  void cmdCancel_Click() override;
  void txtUsername_KeyPress(int16_t& keyAscii) override;
  void txtPassword_KeyPress(int16_t& keyAscii) override;
  // Enter in either box is swallowed and confirms; every other key passes.
  void EnterPerformsOK(std::string_view procedure, int16_t& keyAscii);

  InstallAsWindow& window_;
  ManagerGlobal& settings_;
  const std::string& settingsFile_;
  XPTheme& theme_;
  Module module_;
  bool initialized_ = false;
  bool okPressed_ = false;
};

}  // namespace zlv
