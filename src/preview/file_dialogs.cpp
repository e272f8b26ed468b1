#include "preview/file_dialogs.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace pravel {

namespace {

// The extension a filter "Name (*.ext)" asks for, or "" for any.
QString FilterSuffix(const QString& filter) {
  static const QRegularExpression pattern(QStringLiteral(R"(\(\*\.([A-Za-z0-9]+)[ )])"));
  const QRegularExpressionMatch match = pattern.match(filter);
  return match.hasMatch() ? match.captured(1) : QString();
}

std::optional<FileDialogResult> Run(QWidget* parent, const FileDialogRequest& request, bool save) {
  QFileDialog dialog(parent, request.title, request.directory);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters(request.filters);
  if (!request.filters.isEmpty()) dialog.selectNameFilter(request.filters.front());
  dialog.setDefaultSuffix(request.default_suffix);
  if (save) {
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &request](const QString& filter) {
      const QString suffix = FilterSuffix(filter);
      dialog.setDefaultSuffix(suffix.isEmpty() ? request.default_suffix : suffix);
    });
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  const auto index = request.filters.indexOf(dialog.selectedNameFilter());
  return FileDialogResult{chosen.front(), index < 0 ? 1 : static_cast<int>(index) + 1};
}

}  // namespace

std::optional<FileDialogResult> RunSaveFileDialog(QWidget* parent, const FileDialogRequest& request) {
  return Run(parent, request, true);
}

std::optional<FileDialogResult> RunOpenFileDialog(QWidget* parent, const FileDialogRequest& request) {
  return Run(parent, request, false);
}

QStringList DialogFilters(const QString& pairs) {
  const QStringList parts = pairs.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i];
    const QString pattern = parts[i + 1];
    // The name may carry the pattern already, as in "Report file(*.QRP)".
    const qsizetype open = name.indexOf(QLatin1Char('('));
    if (open >= 0) name = name.left(open);
    // Both cases, for file systems that tell them apart.
    const QString lower = pattern.toLower();
    filters << name.trimmed() + QStringLiteral(" (") + pattern +
                   (lower != pattern ? QLatin1Char(' ') + lower : QString()) + QLatin1Char(')');
  }
  return filters;
}

}  // namespace pravel
