// The service-control component: the manager writes the values an operation
// needs, makes its calls and judges the outcome by Installed or Running alone.
// Written values persist until overwritten. A failing call raises a Failure.
#pragma once

#include <cstdint>
#include <string>

namespace zlv {

class SvcIt {
 public:
  virtual ~SvcIt() = default;

  virtual void ServiceName(const std::string& name) = 0;
  virtual void DisplayName(const std::string& name) = 0;
  virtual void Option4(int16_t value) = 0;
  virtual void AccountName(const std::string& account) = 0;
  virtual void AccountPassword(const std::string& password) = 0;
  virtual void ServiceDependencies(const std::string& dependencies) = 0;
  virtual void LocalSystemInteractive(bool interactive) = 0;
  virtual void Option9(bool value) = 0;
  virtual void Option10(int16_t value) = 0;
  virtual void ExecutablePath(const std::string& path) = 0;
  virtual void Description(const std::string& text) = 0;

  // Marks the service for deletion; it may still exist when this returns.
  virtual void Uninstall() = 0;
  // Returns once the service has stopped or failed to (bounded in time).
  virtual void Stop() = 0;
  // False, without failing, for a missing service.
  virtual bool Running() = 0;
  virtual bool Installed() = 0;
  // Returns once the service runs or failed to start (bounded in time).
  virtual void Start(const std::string& arguments) = 0;
  virtual void Install(bool option) = 0;
  // Sends a user-defined control code (128..255) to the running service.
  virtual void SendControl(int32_t code) = 0;
};

}  // namespace zlv
