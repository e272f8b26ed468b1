#include "viewer/dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <algorithm>

namespace pravel {

namespace {

std::optional<QString> RunOpenDialog(QWidget* parent, const OpenDialogRequest& request) {
  QFileDialog dialog(parent, request.title, request.directory);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(request.filters);
  if (!request.filters.isEmpty()) dialog.selectNameFilter(request.filters.front());
  dialog.setDefaultSuffix(request.default_suffix);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.front();
}

void RunMessageBox(QWidget* parent, const MessageRequest& request) {
  QMessageBox box(request.icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Information,
                  request.caption, request.text, QMessageBox::Ok, parent);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

std::optional<int> RunPageDialog(QWidget* parent, int current, int count) {
  bool ok = false;
  const int page = QInputDialog::getInt(parent, QStringLiteral("Przejdź do strony"), QStringLiteral("Strona:"), current,
                                        1, std::max(1, count), 1, &ok);
  if (!ok) return std::nullopt;
  return page;
}

}  // namespace

Dialogs ScreenDialogs() {
  return {.OpenFile = RunOpenDialog,
          .SaveFile = RunSaveFileDialog,
          .ShowMessage = RunMessageBox,
          .ShowModal = [](QDialog& dialog) { dialog.exec(); },
          .AskPage = RunPageDialog};
}

}  // namespace pravel
