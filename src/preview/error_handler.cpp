#include "preview/error_handler.h"

#include <QtGlobal>

#include "platform/platform.h"

namespace pravel {

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
    if (const auto& show = Platform::Current().ShowError) {
      show(message.toStdString());
    } else {
      qWarning("%s", qUtf8Printable(message));
    }
  } catch (...) {  // NOLINT(bugprone-empty-catch): the handler itself failed; nothing is left to tell
  }
}

}  // namespace pravel
