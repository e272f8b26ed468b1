#include "viewer/file_list_box.h"

#include <QDir>

namespace pravel {

TFileListBox::TFileListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  directory_ = QDir::currentPath();
}

void TFileListBox::SetDirectory(const QString& folder) {
  directory_ = QDir(folder).absolutePath();
  ReadFileNames();
}

void TFileListBox::SetMask(const QString& mask) {
  mask_ = mask;
  ReadFileNames();
}

QString TFileListBox::FileName() const {
  const QListWidgetItem* item = currentItem();
  if (item == nullptr || !item->isSelected()) return {};
  return QDir(directory_).filePath(item->text());
}

void TFileListBox::ReadFileNames() {
  clear();
  const QDir dir(directory_);
  addItems(dir.entryList({mask_}, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

QString FolderPart(const QString& path) {
  const qsizetype last = path.lastIndexOf(QLatin1Char('/'));
  return last < 0 ? QString() : path.left(last + 1);
}

}  // namespace pravel
