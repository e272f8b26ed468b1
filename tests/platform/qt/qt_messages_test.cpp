#include "platform/qt/qt_messages.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>
#include <vector>

namespace pravel::qt {
namespace {

class Receiver final : public QObject {
 public:
  bool event(QEvent* event) override {
    if (const Message* message = MessageOf(event)) {
      types.push_back(static_cast<int>(event->type()));
      received.push_back(*message);
      return true;
    }
    return QObject::event(event);
  }
  std::vector<int> types;
  std::vector<Message> received;
};

class QtMessagesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "qt_messages_test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
  }
  void TearDown() override { SetMessagePump(nullptr); }
};

TEST_F(QtMessagesTest, PostedMessagesWaitForTheMessagePump) {
  Receiver receiver;
  QObjectMessageTarget target(&receiver);
  target.Post({QRM_PAGEAVAILABLE, 3, 0});
  target.Post({QRM_PROGRESS, 50, 0});
  ProcessMessages();  // no pump installed yet
  EXPECT_TRUE(receiver.received.empty());
  InstallMessagePump();
  ProcessMessages();
  EXPECT_EQ(receiver.received, (std::vector<Message>{{QRM_PAGEAVAILABLE, 3, 0}, {QRM_PROGRESS, 50, 0}}));
  EXPECT_EQ(receiver.types, (std::vector<int>{1025, 1024}));
}

TEST_F(QtMessagesTest, SentMessagesAreHandledAtOnce) {
  Receiver receiver;
  QObjectMessageTarget target(&receiver);
  target.Send({QRM_CLOSEPREVIEW, 0, 1234});
  EXPECT_EQ(receiver.received, (std::vector<Message>{{QRM_CLOSEPREVIEW, 0, 1234}}));
  EXPECT_EQ(receiver.types, (std::vector<int>{1028}));
  QEvent other(QEvent::User);
  EXPECT_EQ(MessageOf(&other), nullptr);
}

TEST_F(QtMessagesTest, MessagesToAGoneReceiverAreDropped) {
  auto receiver = std::make_unique<Receiver>();
  QObjectMessageTarget target(receiver.get());
  target.Post({QRM_PRINT, 0, 0});
  receiver.reset();
  target.Post({QRM_PRINT, 0, 0});
  target.Send({QRM_CLOSEPREVIEW, 0, 0});
  InstallMessagePump();
  ProcessMessages();
}

}  // namespace
}  // namespace pravel::qt
