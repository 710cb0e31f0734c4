// The service-control component: the manager writes the values an operation
// needs, makes its calls and judges the outcome by Installed or Running alone.
// Written values persist until overwritten.
//
// A call raises a Failure only when the request itself fails: the service
// manager cannot be reached or refuses access, the service a call needs does
// not exist, a value is malformed. When the service is asked and does not do
// what was asked (it ignores a stop, stalls, never comes up), the call
// returns, bounded in time, and the state read afterwards tells the outcome.
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

  // Asks the service to stop and marks it for deletion, without waiting: it
  // stays installed until it has stopped.
  virtual void Uninstall() = 0;
  // Returns once the service has stopped, or has refused or stalled.
  virtual void Stop() = 0;
  // True in every state but stopped: a service that is starting, stopping or
  // paused still has its process. False, without failing, for a missing service.
  virtual bool Running() = 0;
  virtual bool Installed() = 0;
  // Returns once the service runs, or has failed to come up.
  virtual void Start(const std::string& arguments) = 0;
  virtual void Install(bool option) = 0;
  // Hands a user-defined control code (128..255) to the running service; a
  // service that does not take it now lets it go unanswered.
  virtual void SendControl(int32_t code) = 0;
};

}  // namespace zlv
