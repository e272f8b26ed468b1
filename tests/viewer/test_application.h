#pragma once
// The one QApplication of a viewer test program, on the offscreen platform.

#include <QApplication>
#include <QByteArray>

namespace pravel {

inline void EnsureApplication() {
  static QApplication* const app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_viewer";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  (void)app;
}

}  // namespace pravel
