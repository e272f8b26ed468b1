#pragma once
// Window messages between the report objects and the windows that show them,
// and the processing of pending messages during long loops.

#include <cstdint>

namespace pravel {

inline constexpr std::uint32_t kWmUser = 1024;
inline constexpr std::uint32_t QRM_PROGRESS = kWmUser + 0;
inline constexpr std::uint32_t QRM_PAGEAVAILABLE = kWmUser + 1;
inline constexpr std::uint32_t QRM_PRINT = kWmUser + 2;
inline constexpr std::uint32_t QRM_CLOSEPREVIEW = kWmUser + 4;

struct Message {
  std::uint32_t msg = 0;
  std::intptr_t wparam = 0;
  std::intptr_t lparam = 0;
  friend bool operator==(const Message&, const Message&) = default;
};

// A window that receives messages: posted ones are handled later, when
// pending messages are processed; sent ones before Send returns.
class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  virtual void Post(const Message& message) = 0;
  virtual void Send(const Message& message) = 0;
};

// Handles the messages and events that are waiting, then returns: runs the
// current Platform's MessagePump; without one this does nothing (the report
// core alone, and its tests).
void ProcessMessages();

}  // namespace pravel
