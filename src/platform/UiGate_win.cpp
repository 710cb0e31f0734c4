#include "platform/UiGate_win.h"

#include <exception>

namespace zlv {
namespace {

struct Call {
  const std::function<void()>& body;
  std::exception_ptr failure;
};

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

// A thread that runs the calls handed to it, one at a time, until it is
// destroyed.
class UiGate::Worker {
 public:
  // Null when the system gives no thread.
  static std::unique_ptr<Worker> Start() {
    auto worker = std::unique_ptr<Worker>(new Worker);
    if (!worker->handed_ || !worker->done_) return nullptr;
    worker->thread_ = CreateThread(nullptr, 0, Loop, worker.get(), 0, nullptr);
    return worker->thread_ ? std::move(worker) : nullptr;
  }

  ~Worker() {
    if (thread_) {
      // No call is running: the thread is waiting for the next, and an empty
      // one ends it.
      call_ = nullptr;
      SetEvent(handed_);
      WaitForSingleObject(thread_, INFINITE);
      CloseHandle(thread_);
    }
    if (handed_) CloseHandle(handed_);
    if (done_) CloseHandle(done_);
  }

  // Starts the call; Done() is signalled once it has returned, and the wait
  // that sees it takes the signal.
  void Hand(Call& call) {
    call_ = &call;
    SetEvent(handed_);
  }
  HANDLE Done() const { return done_; }

 private:
  Worker()
      : handed_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
        done_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

  static DWORD WINAPI Loop(void* data) {
    auto* self = static_cast<Worker*>(data);
    for (;;) {
      WaitForSingleObject(self->handed_, INFINITE);
      Call* call = self->call_;
      if (!call) return 0;
      try {
        call->body();
      } catch (...) {
        call->failure = std::current_exception();
      }
      SetEvent(self->done_);
    }
  }

  // Both reset themselves: a reset and a second wait would be two more server
  // requests per call, and the idle program makes two calls every poll.
  HANDLE handed_;
  HANDLE done_;
  HANDLE thread_ = nullptr;
  Call* call_ = nullptr;
};

UiGate::UiGate() = default;
UiGate::~UiGate() = default;

void UiGate::Run(const std::function<void()>& call) {
  // A call made while another waits (from a message answered inside that
  // wait) cannot queue behind it: it gets a thread of its own.
  std::unique_ptr<Worker> ownWorker;
  if (busyDepth_ == 0 && !worker_) worker_ = Worker::Start();
  Worker* worker = busyDepth_ == 0 ? worker_.get() : (ownWorker = Worker::Start()).get();
  if (!worker) {
    // Without a second thread the call runs here and the windows wait with it.
    call();
    return;
  }
  Call job{call, nullptr};
  worker->Hand(job);
  ++busyDepth_;
  const DWORD started = GetTickCount();
  bool holding = false;
  HCURSOR previous = nullptr;
  const HANDLE done = worker->Done();
  DWORD woke = WAIT_FAILED;
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
    woke = MsgWaitForMultipleObjects(1, &done, FALSE, holding ? INFINITE : kQuickCallMs - elapsed,
                                     QS_INPUT | QS_PAINT | QS_SENDMESSAGE | QS_POSTMESSAGE);
    if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) break;
  }
  // The wait above took the end of the call, unless it failed.
  if (woke != WAIT_OBJECT_0) WaitForSingleObject(done, INFINITE);
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
