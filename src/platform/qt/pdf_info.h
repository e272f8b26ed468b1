#pragma once
// The document information of a PDF file: title, creator, producer and
// creation date, written the same in the information dictionary and, for
// PDF/A, in the XMP metadata.

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace pravel::qt {

struct PdfInfo {
  QString title;
  QString creator;
  QString producer;
  QDateTime created;  // local time; invalid: none given
  bool pdfa = false;  // PDF/A-1b
};

// The XMP packet of a PDF/A-1b document carrying `info`.
QByteArray PdfAXmp(const PdfInfo& info);

// Appends an update to the finished PDF file at `path` that replaces its
// information dictionary with `info`. False when the file is not a PDF as
// QPdfWriter ends it, or cannot be written.
bool AppendPdfInfo(const QString& path, const PdfInfo& info);

}  // namespace pravel::qt
