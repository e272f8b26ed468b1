#pragma once
// Pages played onto Qt targets: a QImage, an SVG file, a PDF document.

#include <QImage>
#include <QPainter>
#include <QString>
#include <memory>

#include "platform/gdi/metafile.h"
#include "platform/gdi/work_budget.h"
#include "platform/qt/painter_surface.h"
#include "platform/qt/pdf_info.h"

class QPdfWriter;

namespace pravel::qt {

// Plays the metafile with its frame stretched over `target` (painter coordinates).
// Returns the work budget as the play left it (exhausted: drawing stopped).
gdi::WorkBudget PaintMetafile(QPainter& painter, const gdi::Metafile& metafile, const QRectF& target,
                              SurfaceOptions options = {}, gdi::WorkBudget budget = {});

// The page's frame size in millimetres.
QSizeF FrameSizeMm(const gdi::Metafile& metafile);
// Pixel size of the page at `dpi`, or for a width (height W x frame height / frame width, halves up).
QSize PixelSizeForDpi(const gdi::Metafile& metafile, double dpi);
QSize PixelSizeForWidth(const gdi::Metafile& metafile, int width);

// The page on a white image of the given size. `stopped`, when given, tells
// whether drawing stopped on the page's work budget (here and below).
QImage RenderImage(const gdi::Metafile& metafile, QSize size, SurfaceOptions options = {}, bool* stopped = nullptr);

// Writes the page as an SVG file of the given pixel size; false on failure.
bool WriteSvg(const gdi::Metafile& metafile, QSize size, const QString& path, SurfaceOptions options = {},
              bool* stopped = nullptr);

// A PDF document with one page per metafile, each at its frame's size; vector, text as text.
// Its information dictionary holds `info` (the creator "Pravel" when none is given).
class PdfDocument {
 public:
  explicit PdfDocument(const QString& path, PdfInfo info = {});
  ~PdfDocument();
  PdfDocument(const PdfDocument&) = delete;
  PdfDocument& operator=(const PdfDocument&) = delete;

  bool AddPage(const gdi::Metafile& metafile, SurfaceOptions options = {}, bool* stopped = nullptr);
  // Ends the document; false when it could not be written.
  bool Finish();

 private:
  QString path_;
  PdfInfo info_;
  std::unique_ptr<QPdfWriter> writer_;
  std::unique_ptr<QPainter> painter_;
  int pages_ = 0;
};

}  // namespace pravel::qt
