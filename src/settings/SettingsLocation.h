// Which settings file this process keeps. The application folder's file comes
// first. A process that may not write it (a standard user, or an
// administrator's unelevated manager on Vista and later) keeps the user's own
// copy instead, made from the folder's file the first time it is needed; from
// then on an unelevated manager of that user reads and writes the copy, and
// only an elevated one goes back to the folder's file.
#pragma once

#include <string>

#include "settings/FileProfileStore.h"

namespace zlv {

// Where the user keeps an own copy.
class UserAccount {
 public:
  virtual ~UserAccount() = default;
  // The full path of this user's own copy
  // (%APPDATA%\Zemlo\ZemloLinkvaneManager-Settings.ini), which may not be there
  // yet; empty when the user has no such place.
  virtual std::string OwnCopy() = 0;
  // Makes the own copy's folder when it is missing; false when it cannot.
  virtual bool MakeOwnCopyFolder() = 0;
};

// Whether a settings write to `path` could go through, judged without
// changing it or anything beside it for good.
bool CanWriteSettings(const std::string& path);

// The full path of the settings file to use, given the application folder's
// and whether this process's token is one that User Account Control filtered.
// Copying never loses a byte: the copy is written beside its place and then
// put there in one step.
std::string ChooseSettingsFile(const std::string& folderFile, bool limited, UserAccount& user,
                               const FileReplacer& replacer);

}  // namespace zlv
