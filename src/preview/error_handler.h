#pragma once
// The application's general error handler: an error that no command caught
// is shown to the user and the program goes on.

#include <QString>
#include <exception>
#include <functional>
#include <utility>

namespace pravel {

// Shows the message of an error that reached the application.
using ApplicationErrorHandler = std::function<void(const QString& message)>;

// Installs the handler; an empty function restores the default, which
// writes the message as a warning.
void SetApplicationErrorHandler(ApplicationErrorHandler handler);

// The text shown for an error: the exception's own message.
QString ErrorMessage(const std::exception_ptr& error);

// Hands the error's message to the handler. Never throws.
void HandleApplicationError(const std::exception_ptr& error) noexcept;

// Runs `command`; an exception it raises goes to the handler.
template <typename Command>
void Guarded(Command&& command) noexcept {
  try {
    std::forward<Command>(command)();
  } catch (...) {
    HandleApplicationError(std::current_exception());
  }
}

}  // namespace pravel
