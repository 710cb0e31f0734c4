// What the install-as command needs of its login dialog.
#pragma once

#include <string>

namespace zlv {

class LoginDialog {
 public:
  virtual ~LoginDialog() = default;
  // Shows the dialog modally and returns once it is hidden or closed.
  // Raises a Failure when it cannot be shown at all.
  virtual void ShowModal() = 0;
  virtual bool OKPressed() = 0;
  virtual std::string UserName() = 0;
  // The caller wipes its copy after use.
  virtual std::string Password() = 0;
};

}  // namespace zlv
