#pragma once
#include <functional>

namespace quenmora::link {

// Runs a task on the UI thread, in the order tasks were given. The program supplies it: the
// Win32 front end posts to its message loop; tests and the console receiver may run the task
// at once on the calling thread.
using UiTask = std::function<void()>;
using UiExecutor = std::function<void(UiTask)>;

}  // namespace quenmora::link
