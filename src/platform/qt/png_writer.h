#pragma once
// A quick PNG encoder for rendered pages: a palette image when the page has
// at most 256 colours (pages without antialiasing nearly always do), else
// 8-bit RGB; no row filters and the fastest deflate level.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace pravel::qt {

// The PNG file of an opaque image; empty for a null image.
QByteArray EncodePng(const QImage& image);

// Writes EncodePng(image) to `path`; false when the file cannot be written.
bool WritePng(const QImage& image, const QString& path);

}  // namespace pravel::qt
