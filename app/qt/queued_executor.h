#pragma once
// Hands tasks from any thread to the Qt event loop of the thread that made this object, in the
// order they were given, as queued calls.
#include <QObject>

#include <memory>
#include <mutex>

#include "link/reception/ui_executor.h"

namespace quenmora::qt {

class QueuedExecutor {
 public:
  QueuedExecutor();
  // Tasks still queued are dropped with the context object, and later ones are never queued:
  // nothing runs once the owner is gone.
  ~QueuedExecutor();
  QueuedExecutor(const QueuedExecutor&) = delete;
  QueuedExecutor& operator=(const QueuedExecutor&) = delete;

  // Copies may outlive this object, on threads that outlive the window.
  link::UiExecutor executor() const;
  // On the owner's thread: runs now the tasks queued so far, in order.
  void RunPending();

 private:
  struct Target {
    std::mutex mutex;
    QObject* context = nullptr;
  };

  QObject context_;
  std::shared_ptr<Target> target_ = std::make_shared<Target>();
};

}  // namespace quenmora::qt
