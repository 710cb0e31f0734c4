// The user and the process as the settings file's choice sees them.
#pragma once

#include "shell/SettingsLocation.h"

namespace zlv {

class Win32UserAccount final : public UserAccount {
 public:
  std::string OwnCopy() override;
  bool MakeOwnCopyFolder() override;
  bool Limited() override;
};

}  // namespace zlv
