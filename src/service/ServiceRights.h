// The rights each call of the service-control component asks for: the least
// it uses, so that the state poll, Show and Hide run with any interactive
// user's rights and only install, removal, start and stop need an
// administrator's. Windows' own access mask values.
#pragma once

#include <cstdint>

namespace zlv::rights {

struct Call {
  uint32_t manager;  // on the service control manager
  uint32_t service;  // on the one service
};

constexpr uint32_t kConnect = 0x0001, kCreateService = 0x0002;
constexpr uint32_t kChangeConfig = 0x0002, kQueryStatus = 0x0004, kStart = 0x0010, kStop = 0x0020,
                   kUserControl = 0x0100, kDelete = 0x00010000;

constexpr Call kQuery{kConnect, kQueryStatus};  // Installed, Running
constexpr Call kControl{kConnect, kUserControl | kQueryStatus};
constexpr Call kStartIt{kConnect, kStart | kQueryStatus};
constexpr Call kStopIt{kConnect, kStop | kQueryStatus};
constexpr Call kRemove{kConnect, kDelete | kStop | kQueryStatus};
constexpr Call kCreate{kConnect | kCreateService, kChangeConfig | kQueryStatus};

// What Windows grants every user by default: on the service control manager
// (connect, enumerate, query the lock, read control) and, to interactive
// users, on a service created without a security descriptor of its own
// (query config and status, enumerate dependents, interrogate, user-defined
// controls, read control).
constexpr uint32_t kUsersOnManager = 0x0001 | 0x0004 | 0x0010 | 0x00020000;
constexpr uint32_t kUsersOnService = 0x0001 | 0x0004 | 0x0008 | 0x0080 | 0x0100 | 0x00020000;

constexpr bool AnyUserMay(Call call) {
  return (call.manager & ~kUsersOnManager) == 0 && (call.service & ~kUsersOnService) == 0;
}

}  // namespace zlv::rights
