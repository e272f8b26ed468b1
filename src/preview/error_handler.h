#pragma once
// The application's general error handler: an error that no command caught
// is shown to the user and the program goes on.

#include <QString>
#include <exception>
#include <utility>

namespace pravel {

// The text shown for an error: the exception's own message.
QString ErrorMessage(const std::exception_ptr& error);

// Hands the error's message to the current Platform's ShowError; without
// one, writes it as a warning. Never throws.
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
