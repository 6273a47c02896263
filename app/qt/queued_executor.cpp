#include "app/qt/queued_executor.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>

#include <utility>

namespace quenmora::qt {

QueuedExecutor::QueuedExecutor() { target_->context = &context_; }

QueuedExecutor::~QueuedExecutor() {
  const std::lock_guard lock(target_->mutex);
  target_->context = nullptr;
}

void QueuedExecutor::RunPending() { QCoreApplication::sendPostedEvents(&context_, QEvent::MetaCall); }

link::UiExecutor QueuedExecutor::executor() const {
  return [target = target_](link::UiTask task) {
    // Under the lock, so the context cannot be destroyed between the check and the call.
    const std::lock_guard lock(target->mutex);
    if (target->context)
      QMetaObject::invokeMethod(target->context, std::move(task), Qt::QueuedConnection);
  };
}

}  // namespace quenmora::qt
