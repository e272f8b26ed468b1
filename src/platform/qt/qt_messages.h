#pragma once
// Window messages as Qt events: a message becomes a MessageEvent whose type
// is the message number, posted or sent to a QObject.

#include <QEvent>
#include <QObject>
#include <QPointer>

#include "platform/messages.h"

namespace pravel::qt {

class MessageEvent final : public QEvent {
 public:
  explicit MessageEvent(const Message& message) : QEvent(static_cast<QEvent::Type>(message.msg)), message_(message) {}
  const Message& message() const noexcept { return message_; }

 private:
  Message message_;
};

// The message, when `event` carries one.
const Message* MessageOf(const QEvent* event) noexcept;

// Delivers messages to a QObject, which reads them in its event() or
// customEvent(). Messages to a receiver that is gone are dropped.
class QObjectMessageTarget final : public MessageTarget {
 public:
  explicit QObjectMessageTarget(QObject* receiver) : receiver_(receiver) {}

  // Queued; handled when the event loop next runs.
  void Post(const Message& message) override;
  // Handled before Send returns.
  void Send(const Message& message) override;

 private:
  QPointer<QObject> receiver_;
};

// Handles the pending Qt events: the message pump of a Qt program.
void ProcessQtEvents();

// Handles events for up to `timeout_ms`; false when the application was
// told to exit (then at once).
bool WaitForMessages(int timeout_ms = 50);

}  // namespace pravel::qt
