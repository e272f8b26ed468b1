#pragma once
// A quick PNG encoder for rendered pages: a palette image when the page has
// at most 256 colours (pages without antialiasing nearly always do), else
// 8-bit RGB; no row filters and the fastest deflate level.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstddef>
#include <memory>
#include <span>

struct z_stream_s;

namespace pravel::qt {

// Bytes that keep their memory from one use to the next and are not cleared
// when they grow.
struct ReusedBytes {
  std::unique_ptr<char[]> data;
  std::size_t capacity = 0;
  // At least `size` bytes; their content is undefined.
  char* Reserve(std::size_t size);
};

// What encoding keeps from page to page on one thread: the rows, the file
// and the deflate state, so that once pages stop growing a page touches no
// fresh memory.
struct PngBuffers {
  struct EndDeflate {
    void operator()(z_stream_s* stream) const;
  };
  ReusedBytes rows, file;
  std::unique_ptr<z_stream_s, EndDeflate> deflate;
};

// The PNG file of an opaque image in `buffers.file`, valid until their next
// use; empty for a null image.
std::span<const char> EncodePng(const QImage& image, PngBuffers& buffers);

// Writes EncodePng(image, buffers) to `path`; false when the file cannot be written.
bool WritePng(const QImage& image, const QString& path, PngBuffers& buffers);

// The PNG file of an opaque image; empty for a null image.
QByteArray EncodePng(const QImage& image);

// Writes EncodePng(image) to `path`; false when the file cannot be written.
bool WritePng(const QImage& image, const QString& path);

}  // namespace pravel::qt
