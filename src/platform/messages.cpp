#include "platform/messages.h"

#include "platform/platform.h"

namespace pravel {

void ProcessMessages() {
  if (const auto& pump = Platform::Current().MessagePump) pump();
}

}  // namespace pravel
