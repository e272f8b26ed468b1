#include "platform/messages.h"

#include <utility>

namespace pravel {

namespace {

// The application's event loop, as the one program-wide message pump.
std::function<void()>& Pump() {
  static std::function<void()> pump;
  return pump;
}

}  // namespace

void ProcessMessages() {
  if (auto& pump = Pump()) pump();
}

void SetMessagePump(std::function<void()> pump) { Pump() = std::move(pump); }

}  // namespace pravel
