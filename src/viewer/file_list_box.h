#pragma once
// A list of the files of one folder that match a mask, by name.

#include <QListWidget>
#include <QString>

namespace pravel {

class TFileListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit TFileListBox(QWidget* parent = nullptr);

  // The folder, as an absolute path without a trailing separator.
  const QString& Directory() const noexcept { return directory_; }
  // Lists `folder` afresh; a relative folder is taken from the current
  // one, an empty one is the current one. A folder that cannot be read
  // gives an empty list.
  void SetDirectory(const QString& folder);

  // "*.qrp" unless changed; letter case does not matter.
  const QString& Mask() const noexcept { return mask_; }
  void SetMask(const QString& mask);

  // The selected entry's full path, or an empty string.
  QString FileName() const;

 private:
  void ReadFileNames();

  QString directory_;
  QString mask_ = QStringLiteral("*.qrp");
};

// The folder part of a path: everything up to and including the last
// separator; empty when there is none.
QString FolderPart(const QString& path);

}  // namespace pravel
