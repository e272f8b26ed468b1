#include "platform/qt/render.h"

#include <sys/mman.h>

#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <utility>

#include "platform/gdi/player.h"
#include "platform/qt/joined_fills.h"

namespace pravel::qt {

namespace {

constexpr int kPdfResolution = 1200;  // device units per inch of the PDF painter

QPageSize PageSizeOf(const gdi::Metafile& metafile) {
  QSizeF mm = FrameSizeMm(metafile);
  if (mm.width() <= 0 || mm.height() <= 0) mm = QSizeF(210, 297);
  return QPageSize(mm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
}

}  // namespace

gdi::WorkBudget PaintMetafile(QPainter& painter, const gdi::Metafile& metafile, const QRectF& target,
                              SurfaceOptions options, gdi::WorkBudget budget) {
  PainterSurface surface(painter, options);
  return gdi::PlayMetafile(metafile, surface, {target.left(), target.top(), target.right(), target.bottom()}, budget);
}

QSizeF FrameSizeMm(const gdi::Metafile& metafile) {
  const auto& f = metafile.Header().rclFrame;
  return {(static_cast<double>(f.right) - f.left) / 100.0, (static_cast<double>(f.bottom) - f.top) / 100.0};
}

QSize PixelSizeForDpi(const gdi::Metafile& metafile, double dpi) {
  const QSizeF mm = FrameSizeMm(metafile);
  const auto px = [dpi](double v) { return std::max(1, static_cast<int>(std::lround(std::fabs(v) / 25.4 * dpi))); };
  return {px(mm.width()), px(mm.height())};
}

QSize PixelSizeForWidth(const gdi::Metafile& metafile, int width) {
  const QSizeF mm = FrameSizeMm(metafile);
  if (mm.width() == 0) return {width, width};
  const double h = width * std::fabs(mm.height()) / std::fabs(mm.width());
  return {width, std::max(1, static_cast<int>(std::floor(h + 0.5)))};
}

namespace {

// An image whose pixels, from half a megabyte on, lie on huge pages where
// the system offers them: the first touch of hundreds of small memory pages
// costs more than drawing a plain page.
QImage PageImage(QSize size) {
  constexpr std::size_t kHuge = std::size_t{2} << 20;
  const auto bytes = static_cast<std::size_t>(size.width()) * static_cast<std::size_t>(size.height()) * 4;
  if (size.isEmpty() || bytes < kHuge / 4 || size.width() > (1 << 20)) return QImage(size, QImage::Format_RGB32);
  const std::size_t rounded = (bytes + kHuge - 1) / kHuge * kHuge;
  void* memory = std::aligned_alloc(kHuge, rounded);
  if (memory == nullptr) return QImage(size, QImage::Format_RGB32);
  ::madvise(memory, rounded, MADV_HUGEPAGE);
  return QImage(
      static_cast<uchar*>(memory), size.width(), size.height(), size.width() * 4, QImage::Format_RGB32,
      [](void* p) { std::free(p); }, memory);
}

}  // namespace

QImage RenderImage(const gdi::Metafile& metafile, QSize size, SurfaceOptions options, bool* stopped) {
  QImage image = PageImage(size);
  if (image.isNull()) return image;
  image.fill(Qt::white);
  QPainter painter(&image);
  const bool exhausted = PaintMetafile(painter, metafile, QRectF(0, 0, size.width(), size.height()), options).exhausted;
  if (stopped != nullptr) *stopped = exhausted;
  painter.end();
  return image;
}

namespace {

// The SVG writer stores each picture it is given whole, as PNG: a picture
// pixel costs it some fifty times what it costs a raster target, so an SVG
// page may ask for a quarter of the pixels (still more than ten times what
// any real page draws). It also holds the whole document in memory until the
// end, at some five bytes for each byte written and at least 300 bytes a
// drawing call, so an SVG page may make a sixteenth of the calls (three times
// what the busiest real drawing makes, two hundred times a report page).
gdi::WorkBudget SvgBudget() {
  gdi::WorkBudget budget;
  budget.limit[static_cast<std::size_t>(gdi::Work::PicturePixels)] /= 4;
  budget.limit[static_cast<std::size_t>(gdi::Work::Operations)] /= 16;
  return budget;
}

}  // namespace

bool WriteSvg(const gdi::Metafile& metafile, QSize size, const QString& path, SurfaceOptions options, bool* stopped) {
  QSvgGenerator svg;
  svg.setFileName(path);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setResolution(96);
  QPainter painter;
  if (!painter.begin(&svg)) return false;
  painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  bool exhausted = false;
  {
    PainterSurface surface(painter, options);
    JoinedFillsSurface joined(surface);
    const gdi::RectD target{0, 0, static_cast<double>(size.width()), static_cast<double>(size.height())};
    exhausted = gdi::PlayMetafile(metafile, joined, target, SvgBudget()).exhausted;
    joined.Flush();
  }
  if (stopped != nullptr) *stopped = exhausted;
  return painter.end();
}

PdfDocument::PdfDocument(const QString& path, PdfInfo info)
    : path_(path), info_(std::move(info)), writer_(std::make_unique<QPdfWriter>(path)) {
  if (info_.creator.isEmpty()) info_.creator = QStringLiteral("Pravel");
  writer_->setResolution(kPdfResolution);
  writer_->setPageMargins(QMarginsF(0, 0, 0, 0));
  writer_->setCreator(info_.creator);
  writer_->setTitle(info_.title);
  if (info_.pdfa) {
    writer_->setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
    if (info_.created.isValid() && !info_.producer.isEmpty()) writer_->setDocumentXmpMetadata(PdfAXmp(info_));
  }
}

PdfDocument::~PdfDocument() { Finish(); }

bool PdfDocument::AddPage(const gdi::Metafile& metafile, SurfaceOptions options, bool* stopped) {
  writer_->setPageSize(PageSizeOf(metafile));
  writer_->setPageMargins(QMarginsF(0, 0, 0, 0));
  if (!painter_) {
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(writer_.get())) {
      painter_.reset();
      return false;
    }
  } else if (!writer_->newPage()) {
    return false;
  }
  const QSizeF mm = FrameSizeMm(metafile);
  const double w = std::fabs(mm.width()) / 25.4 * kPdfResolution, h = std::fabs(mm.height()) / 25.4 * kPdfResolution;
  const bool exhausted =
      PaintMetafile(*painter_, metafile, QRectF(0, 0, w, h), options, gdi::VectorTargetBudget(kPdfResolution))
          .exhausted;
  if (stopped != nullptr) *stopped = exhausted;
  ++pages_;
  return true;
}

bool PdfDocument::Finish() {
  if (!painter_) return pages_ == 0;
  const bool ok = painter_->end();
  painter_.reset();
  // The writer names itself the producer and stamps the time of writing.
  if (ok && (!info_.producer.isEmpty() || info_.created.isValid())) return AppendPdfInfo(path_, info_);
  return ok;
}

}  // namespace pravel::qt
