#include "preview/error_handler.h"

#include <QtGlobal>

namespace pravel {

namespace {

ApplicationErrorHandler& Handler() {
  static ApplicationErrorHandler handler;
  return handler;
}

}  // namespace

void SetApplicationErrorHandler(ApplicationErrorHandler handler) { Handler() = std::move(handler); }

QString ErrorMessage(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return QString::fromUtf8(e.what());
  } catch (...) {
    return QStringLiteral("Unknown error");
  }
}

void HandleApplicationError(const std::exception_ptr& error) noexcept {
  try {
    const QString message = ErrorMessage(error);
    if (const ApplicationErrorHandler& handler = Handler()) {
      handler(message);
    } else {
      qWarning("%s", qUtf8Printable(message));
    }
  } catch (...) {  // NOLINT(bugprone-empty-catch): the handler itself failed; nothing is left to tell
  }
}

}  // namespace pravel
