// The service-control component over the system's service control manager.
// The connection to the manager is kept from call to call, so a poll costs no
// new connection; every operation opens the one service it needs and closes it
// before it returns, so no handle of ours keeps a deleted service alive.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/Clock.h"
#include "service/SvcIt.h"

namespace zlv {

class ScmSvcIt final : public SvcIt {
 public:
  // Every call runs through `wait`: it may take seconds on a slow service.
  explicit ScmSvcIt(BusyWait& wait) : wait_(wait) {}
  ~ScmSvcIt() override;
  ScmSvcIt(const ScmSvcIt&) = delete;
  ScmSvcIt& operator=(const ScmSvcIt&) = delete;

  void ServiceName(const std::string& name) override { serviceName_ = name; }
  void DisplayName(const std::string& name) override { displayName_ = name; }
  // Option4, Option9, Option10 and Install's flag carry settings of another
  // component that this one has no use for; they are accepted and ignored.
  void Option4(int16_t) override {}
  void AccountName(const std::string& account) override { accountName_ = account; }
  void AccountPassword(const std::string& password) override;
  void ServiceDependencies(const std::string& dependencies) override {
    dependencies_ = dependencies;
  }
  void LocalSystemInteractive(bool interactive) override { interactive_ = interactive; }
  void Option9(bool) override {}
  void Option10(int16_t) override {}
  void ExecutablePath(const std::string& path) override { executablePath_ = path; }
  void Description(const std::string& text) override { description_ = text; }

  void Uninstall() override;
  void Stop() override;
  bool Running() override;
  bool Installed() override;
  void Start(const std::string& arguments) override;
  void Install(bool option) override;
  void SendControl(int32_t code) override;

 private:
  // The service over the kept connection, for the caller to close; null when
  // it may be absent and is missing or marked for deletion.
  SC_HANDLE OpenNamed(uint32_t access, bool mayBeAbsent);

  BusyWait& wait_;
  // Connect rights only: every call but Install needs no more of the manager.
  // Opened by the first call that needs it, used by one call at a time.
  SC_HANDLE connection_ = nullptr;
  std::string serviceName_;
  std::string displayName_;
  std::string accountName_;
  std::string password_;
  std::string dependencies_;
  std::string executablePath_;
  std::string description_;
  bool interactive_ = true;
};

}  // namespace zlv
