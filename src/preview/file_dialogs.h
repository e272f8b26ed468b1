#pragma once
// File dialogs that report which file type was chosen, behind functions
// that tests replace.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace pravel {

struct FileDialogRequest {
  QString title;        // empty: the dialog's own
  QStringList filters;  // "name (*.ext)"
  QString default_suffix;
  QString directory;
};

struct FileDialogResult {
  QString path;
  int filter_index = 1;  // the chosen file type, counted from 1
};

using FileDialogFunction = std::function<std::optional<FileDialogResult>(QWidget* parent, const FileDialogRequest&)>;

// The dialogs on screen (QFileDialog). The save dialog gives a name without
// an extension that of the chosen file type, else the default suffix.
std::optional<FileDialogResult> RunSaveFileDialog(QWidget* parent, const FileDialogRequest& request);
std::optional<FileDialogResult> RunOpenFileDialog(QWidget* parent, const FileDialogRequest& request);

// A filter list of the form "Name|*.ext|Name|*.ext" as dialog filters
// "Name (*.ext)".
QStringList DialogFilters(const QString& pairs);

}  // namespace pravel
