#pragma once
// The Qt application object of one qrptool command that draws or prints.

#include <QGuiApplication>
#include <optional>

namespace pravel::cli {

// Makes the application object unless one exists (commands run inside a
// test program find one). Without a chosen platform it uses the offscreen
// one: the commands draw into files and printers, never on a screen.
// While it lives, Qt's own diagnostics stay off standard error, which holds
// only qrptool's lines.
class GuiApplicationScope {
 public:
  GuiApplicationScope();
  ~GuiApplicationScope();

 private:
  // Qt keeps references to argc and argv for the life of the application.
  int argc_ = 1;
  char name_[8] = "qrptool";
  char* argv_[2] = {name_, nullptr};
  QtMessageHandler previous_handler_ = nullptr;
  std::optional<QGuiApplication> app_;  // neither copied nor moved, nor the scope
};

}  // namespace pravel::cli
