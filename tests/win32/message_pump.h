#pragma once
// Runs this thread's messages in a test, with a bound on every wait.
#include <windows.h>

#include <chrono>
#include <functional>

namespace quenmora::win32::test_support {

// Handles messages until `done()` holds or `timeout` has passed; returns `done()`. A quit
// message (a destroyed window's) is swallowed so later tests still have a working queue.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

// Handles whatever arrives during `duration`.
inline void PumpFor(std::chrono::milliseconds duration) {
  PumpUntil([] { return false; }, duration);
}

}  // namespace quenmora::win32::test_support
