#include "platform/qt/qt_messages.h"

#include <QCoreApplication>

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

void InstallMessagePump() {
  SetMessagePump([] { QCoreApplication::processEvents(); });
}

}  // namespace pravel::qt
