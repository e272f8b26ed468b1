#include "platform/qt/png_writer.h"

#include <zlib.h>

#include <QFile>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace pravel::qt {

namespace {

constexpr std::size_t kMaxPalette = 256;

char* PutU32(char* out, std::uint32_t v) {
  *out++ = static_cast<char>(v >> 24);
  *out++ = static_cast<char>(v >> 16);
  *out++ = static_cast<char>(v >> 8);
  *out++ = static_cast<char>(v);
  return out;
}

// The chunk's length and type at `at`, its `size` bytes of data after them;
// adds the CRC and returns the end.
char* CloseChunk(char* at, const char (&type)[5], std::size_t size) {
  PutU32(at, static_cast<std::uint32_t>(size));
  std::memcpy(at + 4, type, 4);
  const auto* bytes = reinterpret_cast<const Bytef*>(at + 4);
  return PutU32(at + 8 + size, static_cast<std::uint32_t>(crc32(0, bytes, static_cast<uInt>(size + 4))));
}

constexpr std::size_t kChunkFrame = 12;  // length, type, CRC

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

// The first pixel from `x` on whose colour is not `rgb`, or `w`; two pixels
// at a time, as pages are mostly long runs of one colour.
int RunEnd(const std::uint32_t* line, int x, int w, std::uint32_t rgb) {
  constexpr std::uint64_t kColours = 0x00FFFFFF00FFFFFFu;
  const std::uint64_t two_pixels = rgb | (std::uint64_t{rgb} << 32);
  for (std::uint64_t pair = 0; x + 2 <= w; x += 2) {
    std::memcpy(&pair, line + x, sizeof pair);
    if ((pair & kColours) != two_pixels) break;
  }
  while (x < w && (line[x] & 0xFFFFFFu) == rgb) ++x;
  return x;
}

// Rows of filter byte 0 and palette indices; false when the image has too many colours.
bool PaletteRows(const QImage& image, char* out, ColourIndex& index) {
  const int w = image.width(), h = image.height();
  for (int y = 0; y < h; ++y) {
    const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    *out++ = 0;
    for (int x = 0; x < w;) {
      const std::uint32_t rgb = line[x] & 0xFFFFFFu;
      const int colour = index.Find(rgb);
      if (colour < 0) return false;
      const int end = RunEnd(line, x + 1, w, rgb);
      std::memset(out, colour, static_cast<std::size_t>(end - x));
      out += end - x;
      x = end;
    }
  }
  return true;
}

void RgbRows(const QImage& image, char* out) {
  const int w = image.width(), h = image.height();
  for (int y = 0; y < h; ++y) {
    const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    *out++ = 0;
    for (int x = 0; x < w; ++x) {
      *out++ = static_cast<char>(line[x] >> 16);
      *out++ = static_cast<char>(line[x] >> 8);
      *out++ = static_cast<char>(line[x]);
    }
  }
}

// Compresses `size` bytes of `rows` into `out`, which holds deflateBound of
// them; the compressed size, or nothing.
std::optional<std::size_t> Deflate(z_stream& z, const char* rows, std::size_t size, char* out, std::size_t room) {
  if (deflateReset(&z) != Z_OK) return std::nullopt;
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(rows));
  z.avail_in = static_cast<uInt>(size);
  z.next_out = reinterpret_cast<Bytef*>(out);
  z.avail_out = static_cast<uInt>(room);
  if (deflate(&z, Z_FINISH) != Z_STREAM_END) return std::nullopt;
  return static_cast<std::size_t>(z.total_out);
}

z_stream* DeflateState(PngBuffers& buffers) {
  if (!buffers.deflate) {
    auto z = std::make_unique<z_stream>();
    if (deflateInit(z.get(), Z_BEST_SPEED) != Z_OK) return nullptr;
    buffers.deflate.reset(z.release());
  }
  return buffers.deflate.get();
}

}  // namespace

char* ReusedBytes::Reserve(std::size_t size) {
  if (size > capacity) {
    data.reset();
    data = std::make_unique_for_overwrite<char[]>(size);
    capacity = size;
  }
  return data.get();
}

void PngBuffers::EndDeflate::operator()(z_stream_s* stream) const {
  deflateEnd(stream);
  delete stream;
}

std::span<const char> EncodePng(const QImage& source, PngBuffers& buffers) {
  if (source.isNull()) return {};
  const QImage image = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
                           ? source
                           : source.convertToFormat(QImage::Format_RGB32);
  // Rows beyond what one deflate call takes are not expected of a page.
  const auto w = static_cast<std::size_t>(image.width()), h = static_cast<std::size_t>(image.height());
  if (static_cast<double>(w) * 3 * static_cast<double>(h) > 2e9) return {};
  z_stream* z = DeflateState(buffers);
  if (z == nullptr) return {};
  ColourIndex index;
  std::size_t row_bytes = h * (w + 1);
  char* rows = buffers.rows.Reserve(row_bytes);
  const bool palette = PaletteRows(image, rows, index);
  if (!palette) {
    row_bytes = h * (3 * w + 1);
    rows = buffers.rows.Reserve(row_bytes);
    RgbRows(image, rows);
  }

  constexpr std::size_t kSignature = 8, kHeader = 13;
  const std::size_t palette_bytes = palette ? 3 * index.Colours().size() : 0;
  const std::size_t idat = kSignature + kChunkFrame + kHeader + (palette ? kChunkFrame + palette_bytes : 0);
  const std::size_t room = deflateBound(z, static_cast<uLong>(row_bytes));
  char* const file = buffers.file.Reserve(idat + kChunkFrame + room + kChunkFrame);
  const auto compressed = Deflate(*z, rows, row_bytes, file + idat + 8, room);
  if (!compressed) return {};

  std::memcpy(file, "\x89PNG\r\n\x1a\n", kSignature);
  char* header = PutU32(file + kSignature + 8, static_cast<std::uint32_t>(w));
  header = PutU32(header, static_cast<std::uint32_t>(h));
  *header++ = static_cast<char>(8);                // bit depth
  *header++ = static_cast<char>(palette ? 3 : 2);  // palette or RGB
  std::memset(header, 0, 3);                       // deflate, adaptive filtering, no interlace
  char* end = CloseChunk(file + kSignature, "IHDR", kHeader);
  if (palette) {
    char* entry = end + 8;
    for (std::uint32_t rgb : index.Colours()) {
      *entry++ = static_cast<char>(rgb >> 16);
      *entry++ = static_cast<char>(rgb >> 8);
      *entry++ = static_cast<char>(rgb);
    }
    end = CloseChunk(end, "PLTE", palette_bytes);
  }
  end = CloseChunk(end, "IDAT", *compressed);
  end = CloseChunk(end, "IEND", 0);
  return {file, static_cast<std::size_t>(end - file)};
}

bool WritePng(const QImage& image, const QString& path, PngBuffers& buffers) {
  const std::span<const char> png = EncodePng(image, buffers);
  if (png.empty()) return false;
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  const auto size = static_cast<qint64>(png.size());
  return file.write(png.data(), size) == size && file.flush();
}

QByteArray EncodePng(const QImage& image) {
  PngBuffers buffers;
  const std::span<const char> png = EncodePng(image, buffers);
  return QByteArray(png.data(), static_cast<qsizetype>(png.size()));
}

bool WritePng(const QImage& image, const QString& path) {
  PngBuffers buffers;
  return WritePng(image, path, buffers);
}

}  // namespace pravel::qt
