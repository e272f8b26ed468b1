#include "platform/qt/qt_messages.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTimer>
#include <memory>
#include <vector>

#include "platform/platform.h"

namespace pravel::qt {
namespace {

class Receiver final : public QObject {
 public:
  bool event(QEvent* event) override {
    const Message* message = MessageOf(event);
    if (message == nullptr) return QObject::event(event);
    EXPECT_EQ(static_cast<std::uint32_t>(event->type()), message->msg);
    received.push_back(*message);
    return true;
  }
  std::vector<Message> received;
};

TEST(QtMessages, PostedWaitForThePumpSentArriveAtOnce) {
  static int argc = 1;
  static char name[] = "qt_messages_test";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) static QGuiApplication app(argc, argv);
  Receiver receiver;
  QObjectMessageTarget target(&receiver);
  target.Post({QRM_PAGEAVAILABLE, 3, 0});
  target.Send({QRM_CLOSEPREVIEW, 0, 1234});
  ProcessMessages();  // no pump installed yet
  EXPECT_EQ(receiver.received, (std::vector<Message>{{QRM_CLOSEPREVIEW, 0, 1234}}));
  Platform platform;
  platform.MessagePump = ProcessQtEvents;
  ProcessMessages();
  EXPECT_EQ(receiver.received.back(), (Message{QRM_PAGEAVAILABLE, 3, 0}));

  // Messages to a receiver that is gone are dropped.
  auto gone = std::make_unique<Receiver>();
  QObjectMessageTarget to_gone(gone.get());
  to_gone.Post({QRM_PRINT, 0, 0});
  gone.reset();
  to_gone.Post({QRM_PRINT, 0, 0});
  to_gone.Send({QRM_PRINT, 0, 0});
  ProcessMessages();
}

TEST(QtMessages, WaitingEndsAtTheTimeoutOrWhenTheApplicationExits) {
  static int argc = 1;
  static char name[] = "qt_messages_test";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) static QGuiApplication app(argc, argv);
  bool handled = false;
  QTimer::singleShot(0, [&] { handled = true; });
  EXPECT_TRUE(WaitForMessages(20));
  EXPECT_TRUE(handled);

  bool waited = true;
  QElapsedTimer clock;
  clock.start();
  QTimer::singleShot(0, [&] {
    QTimer::singleShot(10, [] { QCoreApplication::exit(0); });
    waited = WaitForMessages(5000);
  });
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_FALSE(waited);
  EXPECT_LT(clock.elapsed(), 4000);
}

}  // namespace
}  // namespace pravel::qt
