#include "platform/qt/png_writer.h"

#include <zlib.h>

#include <QFile>
#include <array>
#include <cstdint>
#include <vector>

namespace pravel::qt {

namespace {

constexpr std::size_t kMaxPalette = 256;

void PutU32(QByteArray& out, std::uint32_t v) {
  const char b[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                     static_cast<char>(v)};
  out.append(b, 4);
}

void PutChunk(QByteArray& out, const char (&type)[5], const QByteArray& data) {
  PutU32(out, static_cast<std::uint32_t>(data.size()));
  const qsizetype start = out.size();
  out.append(type, 4);
  out.append(data);
  const auto* bytes = reinterpret_cast<const Bytef*>(out.constData() + start);
  PutU32(out, static_cast<std::uint32_t>(crc32(0, bytes, static_cast<uInt>(out.size() - start))));
}

// Small open-addressing table from colour to palette index.
class ColourIndex {
 public:
  // The colour's index, adding it; -1 once more than kMaxPalette colours are seen.
  int Find(std::uint32_t rgb) {
    std::size_t slot = (rgb * 2654435761u) >> 22;  // 10 bits
    while (true) {
      Slot& s = slots_[slot];
      if (s.index < 0) {
        if (colours_.size() == kMaxPalette) return -1;
        s = {rgb, static_cast<int>(colours_.size())};
        colours_.push_back(rgb);
        return s.index;
      }
      if (s.rgb == rgb) return s.index;
      slot = (slot + 1) & (slots_.size() - 1);
    }
  }
  const std::vector<std::uint32_t>& Colours() const { return colours_; }

 private:
  struct Slot {
    std::uint32_t rgb = 0;
    int index = -1;
  };
  std::array<Slot, 1024> slots_{};
  std::vector<std::uint32_t> colours_;
};

// Rows of filter byte 0 and palette indices; false when the image has too many colours.
bool PaletteRows(const QImage& image, QByteArray& rows, ColourIndex& index) {
  const int w = image.width(), h = image.height();
  rows.resize(static_cast<qsizetype>(h) * (w + 1));
  char* out = rows.data();
  for (int y = 0; y < h; ++y) {
    const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    *out++ = 0;
    std::uint32_t last = ~0u;
    int last_index = 0;
    for (int x = 0; x < w; ++x) {
      const std::uint32_t rgb = line[x] & 0xFFFFFFu;
      if (rgb != last) {
        last_index = index.Find(rgb);
        if (last_index < 0) return false;
        last = rgb;
      }
      *out++ = static_cast<char>(last_index);
    }
  }
  return true;
}

QByteArray RgbRows(const QImage& image) {
  const int w = image.width(), h = image.height();
  QByteArray rows;
  rows.resize(static_cast<qsizetype>(h) * (3 * static_cast<qsizetype>(w) + 1));
  char* out = rows.data();
  for (int y = 0; y < h; ++y) {
    const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    *out++ = 0;
    for (int x = 0; x < w; ++x) {
      *out++ = static_cast<char>(line[x] >> 16);
      *out++ = static_cast<char>(line[x] >> 8);
      *out++ = static_cast<char>(line[x]);
    }
  }
  return rows;
}

QByteArray Deflate(const QByteArray& data) {
  z_stream z{};
  if (deflateInit(&z, Z_BEST_SPEED) != Z_OK) return {};
  QByteArray out;
  out.resize(static_cast<qsizetype>(deflateBound(&z, static_cast<uLong>(data.size()))));
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int result = deflate(&z, Z_FINISH);
  out.resize(static_cast<qsizetype>(z.total_out));
  deflateEnd(&z);
  return result == Z_STREAM_END ? out : QByteArray();
}

}  // namespace

QByteArray EncodePng(const QImage& source) {
  if (source.isNull()) return {};
  const QImage image = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
                           ? source
                           : source.convertToFormat(QImage::Format_RGB32);
  // Rows beyond what one deflate call takes are not expected of a page.
  if (static_cast<double>(image.width()) * 3 * image.height() > 2e9) return {};
  ColourIndex index;
  QByteArray rows;
  const bool palette = PaletteRows(image, rows, index);
  if (!palette) rows = RgbRows(image);
  const QByteArray compressed = Deflate(rows);
  if (compressed.isEmpty()) return {};

  QByteArray out("\x89PNG\r\n\x1a\n", 8);
  QByteArray header;
  PutU32(header, static_cast<std::uint32_t>(image.width()));
  PutU32(header, static_cast<std::uint32_t>(image.height()));
  header.append(static_cast<char>(8));               // bit depth
  header.append(static_cast<char>(palette ? 3 : 2)); // palette or RGB
  header.append(3, '\0');                            // deflate, adaptive filtering, no interlace
  PutChunk(out, "IHDR", header);
  if (palette) {
    QByteArray plte;
    for (std::uint32_t rgb : index.Colours()) {
      plte.append(static_cast<char>(rgb >> 16));
      plte.append(static_cast<char>(rgb >> 8));
      plte.append(static_cast<char>(rgb));
    }
    PutChunk(out, "PLTE", plte);
  }
  PutChunk(out, "IDAT", compressed);
  PutChunk(out, "IEND", {});
  return out;
}

bool WritePng(const QImage& image, const QString& path) {
  const QByteArray png = EncodePng(image);
  if (png.isEmpty()) return false;
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return file.write(png) == png.size() && file.flush();
}

}  // namespace pravel::qt
