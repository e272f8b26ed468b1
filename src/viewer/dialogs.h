#pragma once
// The modal dialogs and message boxes of the viewer, behind functions that
// tests replace so that nothing waits for a user.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "preview/file_dialogs.h"

class QDialog;
class QWidget;

namespace pravel {

struct OpenDialogRequest {
  QString title;
  QStringList filters;  // "name (*.ext)", the first one selected
  QString default_suffix;
  QString directory;
};

enum class MessageIcon { Error, Information };

struct MessageRequest {
  QString text;
  QString caption;
  MessageIcon icon = MessageIcon::Error;
};

struct Dialogs {
  // The chosen file, or nothing when the user cancels.
  std::function<std::optional<QString>(QWidget* parent, const OpenDialogRequest& request)> OpenFile;
  // The chosen file and file type, or nothing when the user cancels.
  FileDialogFunction SaveFile;
  // A message box with an OK button; returns when it is closed.
  std::function<void(QWidget* parent, const MessageRequest& request)> ShowMessage;
  // Shows a dialog modally; returns when it is closed.
  std::function<void(QDialog& dialog)> ShowModal;
  // "Przejdź do strony": a page number in 1..count, or nothing when cancelled.
  std::function<std::optional<int>(QWidget* parent, int current, int count)> AskPage;
};

// The dialogs on screen: QFileDialog, QMessageBox, QDialog::exec.
Dialogs ScreenDialogs();

}  // namespace pravel
