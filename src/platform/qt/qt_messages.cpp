#include "platform/qt/qt_messages.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace pravel::qt {

const Message* MessageOf(const QEvent* event) noexcept {
  const auto* carried = dynamic_cast<const MessageEvent*>(event);
  return carried != nullptr ? &carried->message() : nullptr;
}

void QObjectMessageTarget::Post(const Message& message) {
  if (receiver_) QCoreApplication::postEvent(receiver_.data(), new MessageEvent(message));
}

void QObjectMessageTarget::Send(const Message& message) {
  if (!receiver_) return;
  MessageEvent event(message);
  QCoreApplication::sendEvent(receiver_.data(), &event);
}

void ProcessQtEvents() { QCoreApplication::processEvents(); }

bool WaitForMessages(int timeout_ms) {
  // A nested event loop ends early when the application exits.
  QEventLoop loop;
  bool timed_out = false;
  QTimer timer;
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
    timed_out = true;
    loop.quit();
  });
  timer.start(timeout_ms);
  loop.exec();
  return timed_out;
}

}  // namespace pravel::qt
