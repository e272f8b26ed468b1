#ifdef PRAVEL_HAVE_QT

#include "cli/gui_application.h"

#include <cstdlib>
#include <iostream>

#include "cli/font_config.h"

namespace pravel::cli {

namespace {

// Fatal errors end the program and are worth a line; the rest is Qt talking
// about its set-up (XDG_RUNTIME_DIR, fonts, platform plugins).
void KeepQtQuiet(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message) {
  if (type == QtFatalMsg) std::cerr << "qrptool: " << message.toStdString() << '\n';
}

}  // namespace

GuiApplicationScope::GuiApplicationScope() : previous_handler_(qInstallMessageHandler(KeepQtQuiet)) {
  if (QCoreApplication::instance() != nullptr) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Nothing here waits on events: Qt's own event loop starts faster than glib's.
  setenv("QT_NO_GLIB", "1", 0);
  UseCompactFontConfig();
  app_.emplace(argc_, argv_);
}

GuiApplicationScope::~GuiApplicationScope() {
  app_.reset();
  qInstallMessageHandler(previous_handler_);
}

}  // namespace pravel::cli

#endif
