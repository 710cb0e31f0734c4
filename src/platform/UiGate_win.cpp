#include "platform/UiGate_win.h"

#include <exception>

namespace zlv {
namespace {

struct Call {
  const std::function<void()>& body;
  std::exception_ptr failure;
};

DWORD WINAPI RunCall(void* data) {
  auto* call = static_cast<Call*>(data);
  try {
    call->body();
  } catch (...) {
    call->failure = std::current_exception();
  }
  return 0;
}

// Input that comes during a call this short, such as a state poll, is kept
// for afterwards; past it the busy pointer shows and input is dropped, so a
// user who clicks on while the service takes its time starts nothing later.
constexpr DWORD kQuickCallMs = 200;

// A window whose paint handler leaves it invalid must not keep the wait here.
constexpr int kMostPaintsPerWake = 64;

// Keys, mouse (which carries the tray's callbacks too), commands and clicks,
// whether they come from the user or are posted by another program.
constexpr struct {
  UINT first, last;
} kDroppedDuringCall[] = {
    {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK}, {BM_CLICK, BM_CLICK},          {WM_KEYFIRST, WM_KEYLAST},
    {WM_COMMAND, WM_SYSCOMMAND},          {WM_MOUSEFIRST, WM_MOUSELAST},
};

}  // namespace

void UiGate::Run(const std::function<void()>& call) {
  Call job{call, nullptr};
  HANDLE worker = CreateThread(nullptr, 0, RunCall, &job, 0, nullptr);
  if (!worker) {
    // Without a second thread the call runs here and the windows wait with it.
    call();
    return;
  }
  ++busyDepth_;
  const DWORD started = GetTickCount();
  bool holding = false;
  HCURSOR previous = nullptr;
  for (;;) {
    const DWORD elapsed = GetTickCount() - started;
    if (!holding && elapsed >= kQuickCallMs) {
      holding = true;
      previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    }
    MSG message;
    // Messages sent by other threads and programs are answered inside this call.
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    if (holding) {
      for (const auto& range : kDroppedDuringCall) {
        while (PeekMessageA(&message, nullptr, range.first, range.last, PM_REMOVE)) {
        }
      }
    }
    for (int i = 0;
         i < kMostPaintsPerWake && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT);
         ++i) {
      DispatchMessageA(&message);
    }
    const DWORD woke =
        MsgWaitForMultipleObjects(1, &worker, FALSE, holding ? INFINITE : kQuickCallMs - elapsed,
                                  QS_INPUT | QS_PAINT | QS_SENDMESSAGE | QS_POSTMESSAGE);
    if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) break;
  }
  WaitForSingleObject(worker, INFINITE);
  CloseHandle(worker);
  --busyDepth_;
  if (holding) SetCursor(previous);
  if (job.failure) std::rethrow_exception(job.failure);
}

bool UiGate::Admits(UINT message) const {
  switch (message) {
    case WM_COMMAND:
    case WM_SYSCOMMAND:
    case WM_TIMER:
    case WM_MOUSEMOVE:  // also the tray icon's callbacks
    case WM_CLOSE:
      return !halted_ && busyDepth_ == 0;
    case WM_ENDSESSION:
      return !halted_;
    default:
      return true;
  }
}

}  // namespace zlv
