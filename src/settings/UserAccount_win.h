// The user's own folder for settings, under the roaming application data.
#pragma once

#include "settings/SettingsLocation.h"

namespace zlv {

class Win32UserAccount final : public UserAccount {
 public:
  std::string OwnCopy() override;
  bool MakeOwnCopyFolder() override;
};

}  // namespace zlv
