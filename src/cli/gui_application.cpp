#ifdef PRAVEL_HAVE_QT

#include "cli/gui_application.h"

#include <cstdlib>

namespace pravel::cli {

GuiApplicationScope::GuiApplicationScope() {
  if (QCoreApplication::instance() != nullptr) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  app_.emplace(argc_, argv_);
}

}  // namespace pravel::cli

#endif
