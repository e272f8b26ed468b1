#pragma once
// The drawing surface on a QPainter: a widget, a QImage, a PDF or an SVG.

#include <QGlyphRun>
#include <QPainter>
#include <QTransform>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include "platform/gdi/surface.h"
#include "platform/qt/font_resolver.h"

namespace pravel::qt {

struct SurfaceOptions {
  bool antialias = false;  // off matches GDI on a bitmap
  // Text smoothed as on a screen, lines and fills left as GDI draws them.
  bool smooth_text = false;
};

// Draws onto an active painter. The painter's transform when the surface is
// made maps device coordinates onto the paint device; it is restored after
// every call.
class PainterSurface final : public gdi::Surface {
 public:
  PainterSurface(QPainter& painter, SurfaceOptions options = {});
  ~PainterSurface() override;

  void SetClip(const gdi::Region* clip) override;
  void FillPath(const gdi::Path& path, gdi::FillRule rule, const gdi::Brush& brush, gdi::Rop2 rop) override;
  void StrokePath(const gdi::Path& path, const gdi::Pen& pen, gdi::Rop2 rop) override;
  void DrawText(const gdi::TextRun& run) override;
  void DrawImage(const gdi::ImageDraw& draw) override;
  gdi::TextMetrics MeasureText(const gdi::FontSpec& font, std::u16string_view text, bool glyph_indices) override;

 private:
  // Sets the composition for a binary raster operation; false when nothing is to be drawn.
  bool SetRop2(gdi::Rop2 rop, QColor& color);
  // Filling and stroking. On engines that take them through the painter's
  // state (PDF, SVG) they go with this surface's own empty pen and brush: the
  // toolkit's fillPath and strokePath would use its shared ones, whose
  // reference counts threads drawing other pages then contend for.
  void Fill(const QPainterPath& path, const QBrush& brush);
  void Fill(const QRectF& rect, const QColor& color);
  void Stroke(const QPainterPath& path, const QPen& pen);
  void Reset();
  void DrawPixelLines(const gdi::Path& path, const QColor& color);
  void DrawSmoothGlyphs(const QGlyphRun& glyphs, const QColor& color);

  enum class PictureFormat : std::uint8_t { Opaque, Alpha, Premultiplied };
  // The picture of `image` in `format`, made once per surface.
  QImage PictureOf(const std::shared_ptr<const gdi::Image>& image, PictureFormat format);
  // A pattern brush's tile, made once for a run of fills with it.
  const QImage& PatternOf(const std::shared_ptr<const gdi::Image>& pattern);

  QPainter& painter_;
  SurfaceOptions options_;
  QTransform base_;
  bool raster_ops_;        // a pixel target: raster operations, GDI pixel rules
  bool own_state_;         // fills and strokes set the painter's pen and brush
  bool text_as_outlines_;  // an SVG target: glyphs filled as one path
  QPen no_pen_{Qt::black};
  QBrush no_brush_{Qt::black};
  FontCache fonts_;
  struct DecodedPicture {
    std::shared_ptr<const gdi::Image> source;  // keeps the key alive
    QImage image;
  };
  std::map<std::pair<const gdi::Image*, PictureFormat>, DecodedPicture> decoded_;
  DecodedPicture pattern_;
};

// QPainterPath of a surface path.
QPainterPath ToPainterPath(const gdi::Path& path, gdi::FillRule rule);

}  // namespace pravel::qt
