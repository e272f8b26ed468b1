#include "platform/qt/painter_surface.h"

#include <QBuffer>
#include <QGlyphRun>
#include <QImageReader>
#include <QPaintEngine>
#include <QPainterPath>
#include <QRegion>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "platform/gdi/pixel_lines.h"
#include "platform/gdi/region.h"

namespace pravel::qt {

namespace {

QColor ToColor(gdi::Rgb rgb) { return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | rgb)); }

// 8 x 8 hatch patterns, one byte per row, bit 7 the leftmost pixel.
constexpr std::array<std::array<std::uint8_t, 8>, 6> kHatches{{
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF},  // HS_HORIZONTAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0xFF},  // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
}};

QImage HatchImage(const gdi::Brush& b) {
  QImage image(8, 8, QImage::Format_ARGB32);
  const QRgb fg = 0xFF000000u | b.color;
  const QRgb bg = b.opaque ? (0xFF000000u | b.background) : 0u;
  const auto& rows = kHatches[static_cast<std::size_t>(std::clamp(b.hatch, 0, 5))];
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) image.setPixel(x, y, (rows[static_cast<std::size_t>(y)] >> (7 - x)) & 1 ? fg : bg);
  return image;
}

QImage ToQImage(const gdi::Image& image, bool keep_alpha) {
  if (image.encoding != gdi::Image::Encoding::Raw) {
    // The payload is decoded only when it is no larger than its header says
    // (what the player charged for it), or small.
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(image.encoded.data()),
                                              static_cast<qsizetype>(image.encoded.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer, image.encoding == gdi::Image::Encoding::Jpeg ? "JPG" : "PNG");
    const QSize size = reader.size();
    constexpr std::int64_t kSmall = std::int64_t{1} << 22;
    const std::int64_t charged = static_cast<std::int64_t>(std::max(image.width, 1)) * std::max(image.height, 1);
    if (!size.isValid() || static_cast<std::int64_t>(size.width()) * size.height() > std::max(charged, kSmall))
      return {};
    return reader.read();
  }
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() < static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
    return {};
  // Wraps the pixels without copying; valid while `image` lives.
  return QImage(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                static_cast<qsizetype>(image.width) * 4, keep_alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

QPainter::CompositionMode CompositionOf(gdi::ImageOp op) {
  using Op = gdi::ImageOp;
  switch (op) {
    case Op::And: return QPainter::RasterOp_SourceAndDestination;
    case Op::Or: return QPainter::RasterOp_SourceOrDestination;
    case Op::Xor: return QPainter::RasterOp_SourceXorDestination;
    case Op::NotCopy: return QPainter::RasterOp_NotSource;
    case Op::Erase: return QPainter::RasterOp_SourceAndNotDestination;
    case Op::NotErase: return QPainter::RasterOp_NotSourceAndNotDestination;
    case Op::MergePaint: return QPainter::RasterOp_NotSourceOrDestination;
    case Op::Copy: break;
  }
  return QPainter::CompositionMode_SourceOver;
}

}  // namespace

QPainterPath ToPainterPath(const gdi::Path& path, gdi::FillRule rule) {
  QPainterPath out;
  out.setFillRule(rule == gdi::FillRule::Winding ? Qt::WindingFill : Qt::OddEvenFill);
  std::size_t k = 0;
  const auto& pts = path.points;
  for (const gdi::PathVerb v : path.verbs) {
    switch (v) {
      case gdi::PathVerb::MoveTo:
        if (k >= pts.size()) return out;
        out.moveTo(pts[k].x, pts[k].y);
        ++k;
        break;
      case gdi::PathVerb::LineTo:
        if (k >= pts.size()) return out;
        out.lineTo(pts[k].x, pts[k].y);
        ++k;
        break;
      case gdi::PathVerb::CubicTo:
        if (k + 3 > pts.size()) return out;
        out.cubicTo(pts[k].x, pts[k].y, pts[k + 1].x, pts[k + 1].y, pts[k + 2].x, pts[k + 2].y);
        k += 3;
        break;
      case gdi::PathVerb::Close: out.closeSubpath(); break;
    }
  }
  return out;
}

PainterSurface::PainterSurface(QPainter& painter, SurfaceOptions options)
    : painter_(painter),
      options_(options),
      base_(painter.transform()),
      raster_ops_(painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster),
      own_state_(painter.paintEngine() && !painter.paintEngine()->isExtended()),
      text_as_outlines_(painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::SVG),
      // Vector targets keep fonts as outlines to embed; smoothing means nothing there.
      fonts_(options.antialias || options.smooth_text || !raster_ops_) {
  no_pen_.setStyle(Qt::NoPen);
  no_brush_.setStyle(Qt::NoBrush);
  painter_.save();
  Reset();
}

PainterSurface::~PainterSurface() { painter_.restore(); }

void PainterSurface::Reset() {
  painter_.setTransform(base_);
  painter_.setOpacity(1);
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  // Vector targets take smooth drawing: their readers rasterise it.
  const bool smooth = options_.antialias || !raster_ops_;
  painter_.setRenderHint(QPainter::Antialiasing, smooth);
  painter_.setRenderHint(QPainter::TextAntialiasing, smooth);
  painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

void PainterSurface::SetClip(const gdi::Region* clip) {
  painter_.setTransform(base_);
  if (!clip) {
    painter_.setClipping(false);
    return;
  }
  const auto rects = clip->Rects();
  std::vector<QRect> q;
  q.reserve(rects.size());
  for (const auto& r : rects) q.emplace_back(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
  QRegion region;
  region.setRects(q.data(), static_cast<int>(q.size()));
  painter_.setClipRegion(region);
}

void PainterSurface::Fill(const QPainterPath& path, const QBrush& brush) {
  if (!own_state_) {
    painter_.fillPath(path, brush);
    return;
  }
  painter_.setPen(no_pen_);
  painter_.setBrush(brush);
  painter_.drawPath(path);
}

void PainterSurface::Fill(const QRectF& rect, const QColor& color) {
  if (rect.width() == 0 || rect.height() == 0) return;  // vector writers would keep it
  if (!own_state_) {
    painter_.fillRect(rect, color);
    return;
  }
  painter_.setPen(no_pen_);
  painter_.setBrush(color);
  painter_.drawRect(rect);
}

void PainterSurface::Stroke(const QPainterPath& path, const QPen& pen) {
  if (!own_state_) {
    painter_.strokePath(path, pen);
    return;
  }
  if (path.isEmpty()) return;  // a lone move draws nothing, as strokePath has it
  painter_.setPen(pen);
  painter_.setBrush(no_brush_);
  painter_.drawPath(path);
}

bool PainterSurface::SetRop2(gdi::Rop2 rop, QColor& color) {
  using R = gdi::Rop2;
  QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
  switch (rop) {
    case R::Nop: return false;
    case R::CopyPen: break;
    case R::Black: color = Qt::black; break;
    case R::White: color = Qt::white; break;
    case R::NotCopyPen: mode = QPainter::RasterOp_NotSource; break;
    case R::XorPen: mode = QPainter::RasterOp_SourceXorDestination; break;
    case R::NotXorPen: mode = QPainter::RasterOp_NotSourceXorDestination; break;
    case R::Not: mode = QPainter::RasterOp_NotDestination; break;
    case R::MaskPen: mode = QPainter::RasterOp_SourceAndDestination; break;
    case R::MergePen: mode = QPainter::RasterOp_SourceOrDestination; break;
    case R::MaskNotPen: mode = QPainter::RasterOp_NotSourceAndDestination; break;
    case R::MergeNotPen: mode = QPainter::RasterOp_NotSourceOrDestination; break;
    case R::MaskPenNot: mode = QPainter::RasterOp_SourceAndNotDestination; break;
    case R::MergePenNot: mode = QPainter::RasterOp_SourceOrNotDestination; break;
    case R::NotMaskPen: mode = QPainter::RasterOp_NotSourceOrNotDestination; break;
    case R::NotMergePen: mode = QPainter::RasterOp_NotSourceAndNotDestination; break;
  }
  if (mode != QPainter::CompositionMode_SourceOver && !raster_ops_) {
    // Vector targets have no raster operations; XOR and NOT drawings are skipped.
    if (rop == R::Not || rop == R::XorPen || rop == R::NotXorPen) return false;
    mode = QPainter::CompositionMode_SourceOver;
  }
  painter_.setCompositionMode(mode);
  return true;
}

void PainterSurface::FillPath(const gdi::Path& path, gdi::FillRule rule, const gdi::Brush& brush, gdi::Rop2 rop) {
  if (brush.kind == gdi::BrushKind::Null) return;
  QColor color = ToColor(brush.color);
  if (!SetRop2(rop, color)) {
    Reset();
    return;
  }
  QBrush qbrush(color);
  if (brush.kind == gdi::BrushKind::Hatch && rop != gdi::Rop2::Black && rop != gdi::Rop2::White) {
    qbrush = QBrush(HatchImage(brush));
    qbrush.setTransform(QTransform::fromTranslate(brush.origin.x, brush.origin.y));
  } else if (brush.kind == gdi::BrushKind::Pattern && brush.pattern) {
    const QImage& image = PatternOf(brush.pattern);
    if (!image.isNull()) {
      qbrush = QBrush(image);
      qbrush.setTransform(QTransform::fromTranslate(brush.origin.x, brush.origin.y));
    }
  }
  Fill(ToPainterPath(path, rule), qbrush);
  Reset();
}

void PainterSurface::StrokePath(const gdi::Path& path, const gdi::Pen& pen, gdi::Rop2 rop) {
  if (pen.style == gdi::PenStyle::Null) return;
  QColor color = ToColor(pen.color);
  if (!SetRop2(rop, color)) {
    Reset();
    return;
  }
  QPen qpen(color);
  qpen.setCosmetic(pen.cosmetic);
  qpen.setWidthF(pen.cosmetic ? 1.0 : std::max(1.0, pen.width));
  qpen.setCapStyle(pen.cap == gdi::LineCap::Flat     ? Qt::FlatCap
                   : pen.cap == gdi::LineCap::Square ? Qt::SquareCap
                                                     : Qt::RoundCap);
  qpen.setJoinStyle(pen.join == gdi::LineJoin::Bevel   ? Qt::BevelJoin
                    : pen.join == gdi::LineJoin::Miter ? Qt::MiterJoin
                                                       : Qt::RoundJoin);
  qpen.setMiterLimit(pen.miter_limit);
  const double unit = pen.cosmetic ? 1.0 : std::max(1.0, pen.width);
  switch (pen.style) {
    case gdi::PenStyle::Dash: qpen.setStyle(Qt::DashLine); break;
    case gdi::PenStyle::Dot: qpen.setStyle(Qt::DotLine); break;
    case gdi::PenStyle::DashDot: qpen.setStyle(Qt::DashDotLine); break;
    case gdi::PenStyle::DashDotDot: qpen.setStyle(Qt::DashDotDotLine); break;
    case gdi::PenStyle::User:
    case gdi::PenStyle::Alternate: {
      QList<qreal> dashes;
      for (double d : pen.dashes) dashes.push_back(std::max(d, 0.01) / unit);
      if (dashes.size() % 2) dashes.push_back(dashes.back());
      if (!dashes.isEmpty()) qpen.setDashPattern(dashes);
      break;
    }
    default: break;
  }
  if (raster_ops_ && pen.cosmetic && pen.dashes.empty() && pen.style != gdi::PenStyle::User && !options_.antialias &&
      base_.type() <= QTransform::TxTranslate && gdi::WithinPixelRange(path)) {
    DrawPixelLines(path, color);
  } else {
    Stroke(ToPainterPath(path, gdi::FillRule::Alternate), qpen);
  }
  Reset();
}

namespace {

// How a surface font places a run: the horizontal scale for a requested
// average width, and whether the run sits on whole pixels.
struct GlyphPlacement {
  double stretch = 1;
  bool on_axes = false;
};

GlyphPlacement PlacementOf(const gdi::FontSpec& spec, const ResolvedFont& font) {
  GlyphPlacement p;
  if (spec.width > 0 && font.average_width > 0) p.stretch = std::clamp(spec.width / font.average_width, 0.05, 20.0);
  if (std::fabs(p.stretch - 1) < 0.08) p.stretch = 1;  // the font's own width, up to hinting
  // Text along the axes sits on whole pixels, as GDI places it.
  const double quarters = spec.escapement / 90;
  p.on_axes = p.stretch == 1 && std::fabs(quarters - std::round(quarters)) < 1e-9;
  return p;
}

QList<quint32> GlyphsOf(const ResolvedFont& font, std::u16string_view text, bool glyph_indices) {
  QList<quint32> glyphs;
  if (glyph_indices) {
    for (char16_t c : text) glyphs.push_back(c);
  } else {
    glyphs = font.raw.glyphIndexesForString(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
  }
  return glyphs;
}

// Glyphs and positions are of equal count.
QPainterPath GlyphOutlines(const QRawFont& font, const QList<quint32>& glyphs, const QList<QPointF>& positions) {
  QPainterPath outlines;
  outlines.setFillRule(Qt::WindingFill);
  for (qsizetype k = 0; k < glyphs.size(); ++k) outlines.addPath(font.pathForGlyph(glyphs[k]).translated(positions[k]));
  return outlines;
}

}  // namespace

gdi::TextMetrics PainterSurface::MeasureText(const gdi::FontSpec& spec, std::u16string_view text, bool glyph_indices) {
  const ResolvedFont& font = fonts_.Get(spec);
  if (!font.raw.isValid()) return {};
  const GlyphPlacement placement = PlacementOf(spec, font);
  gdi::TextMetrics m;
  m.ascent = placement.on_axes ? std::round(font.ascent) : font.ascent;
  m.descent = placement.on_axes ? std::round(font.descent) : font.descent;
  if (text.empty()) return m;
  const QList<quint32> glyphs = GlyphsOf(font, text, glyph_indices);
  const QList<QPointF> advances = font.raw.advancesForGlyphIndexes(glyphs);
  m.advances.reserve(static_cast<std::size_t>(advances.size()));
  for (const QPointF& a : advances) m.advances.push_back(a.x() * placement.stretch);
  return m;
}

void PainterSurface::DrawText(const gdi::TextRun& run) {
  if (run.text.empty() || run.origins.empty()) return;
  const ResolvedFont& font = fonts_.Get(run.font);
  if (!font.raw.isValid()) return;
  QList<quint32> glyphs = GlyphsOf(font, run.text, run.glyph_indices);
  if (glyphs.isEmpty()) return;
  const double angle = run.font.escapement * std::numbers::pi / 180;
  const QPointF u(std::cos(angle), -std::sin(angle)), n(std::sin(angle), std::cos(angle));
  const GlyphPlacement placement = PlacementOf(run.font, font);
  const double stretch = placement.stretch;
  const bool on_axes = placement.on_axes;

  // Glyph positions along the baseline, relative to the run's start.
  QList<QPointF> positions;
  const QPointF start(run.origins[0].x, run.origins[0].y);
  const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(glyphs.size()), run.origins.size() - 1);
  glyphs.resize(static_cast<qsizetype>(count));
  for (std::size_t k = 0; k < count; ++k) {
    const QPointF d(run.origins[k].x - start.x(), run.origins[k].y - start.y());
    positions.push_back(QPointF(QPointF::dotProduct(d, u) / stretch, QPointF::dotProduct(d, n)));
  }
  const QPointF end(run.origins.back().x - start.x(), run.origins.back().y - start.y());
  const double width = QPointF::dotProduct(end, u);
  QPointF origin = start;
  if (on_axes) {
    const QPointF ua(std::round(u.x()), std::round(u.y()));
    origin = QPointF(std::round(start.x()), std::round(start.y()));
    const double along = QPointF::dotProduct(start, ua), base_along = QPointF::dotProduct(origin, ua);
    for (QPointF& p : positions) p = QPointF(std::round(along + p.x()) - base_along, std::round(p.y()));
  }
  painter_.translate(origin);
  painter_.rotate(-run.font.escapement);
  if (run.opaque) {
    Fill(QRectF(0, -font.ascent, width, font.ascent + font.descent), ToColor(run.background));
  }
  // Underline and strike-out span the run, placed from the font's own
  // figures on the baseline: whole pixels along the axes.
  const auto line = [&](double above, double size) {
    double top = -above - size / 2;
    if (on_axes) top = std::round(top);
    Fill(QRectF(0, top, width, size), ToColor(run.color));
  };
  if (run.font.underline) line(font.underline_position, font.underline_size);
  if (run.font.strike_out) line(font.strikeout_position, font.strikeout_size);
  if (stretch != 1) painter_.scale(stretch, 1);
  if (text_as_outlines_) {
    // The SVG writer would write the run as paths and an empty text element,
    // each in its own group, per run.
    Fill(GlyphOutlines(font.raw, glyphs, positions), QBrush(ToColor(run.color)));
    Reset();
    return;
  }
  QGlyphRun glyph_run;
  glyph_run.setRawFont(font.raw);
  glyph_run.setGlyphIndexes(glyphs);
  glyph_run.setPositions(positions);
  painter_.setPen(ToColor(run.color));
  painter_.setRenderHint(QPainter::TextAntialiasing, font.smooth);
  if (font.smooth && raster_ops_ && !options_.antialias)
    DrawSmoothGlyphs(glyph_run, ToColor(run.color));
  else
    painter_.drawGlyphRun(QPointF(0, 0), glyph_run);
  Reset();
}

// One-pixel lines as GDI sets their pixels.
void PainterSurface::DrawPixelLines(const gdi::Path& path, const QColor& color) {
  const QPaintDevice* device = painter_.device();
  const std::vector<gdi::Pixel> pixels = gdi::PixelLinePixels(path, {0, 0, device->width(), device->height()});
  if (pixels.empty()) return;
  std::vector<QPoint> points;
  points.reserve(pixels.size());
  for (const gdi::Pixel& p : pixels) points.emplace_back(p.x, p.y);
  QPen pen(color);
  pen.setWidth(1);
  pen.setCosmetic(true);
  painter_.setPen(pen);
  painter_.drawPoints(points.data(), static_cast<int>(points.size()));
}

// Smoothed glyphs on a raster target, their coverage lightened as the
// platform's gamma-corrected font smoothing shows it.
void PainterSurface::DrawSmoothGlyphs(const QGlyphRun& glyphs, const QColor& color) {
  static const std::array<std::uint8_t, 256> kCoverage = [] {
    std::array<std::uint8_t, 256> lut{};
    for (int a = 0; a < 256; ++a)
      lut[static_cast<std::size_t>(a)] =
          static_cast<std::uint8_t>(std::lround(255 * (1 - std::pow(1 - a / 255.0, 0.44))));
    return lut;
  }();
  // The mask in the device's own pixels, so that text stays sharp on a
  // high-density target.
  const QPaintDevice* device = painter_.device();
  const qreal ratio = device->devicePixelRatio();
  const qreal pixels = device->devType() == QInternal::Image ? 1 : ratio;  // images count device pixels
  const QTransform to_device = painter_.transform() * QTransform::fromScale(ratio, ratio);
  // Cut to the device before turning into whole pixels: text bounds may lie
  // far beyond what integers hold.
  const QRectF device_area(0, 0, qRound(device->width() * pixels), qRound(device->height() * pixels));
  const QRectF bounds = to_device.mapRect(glyphs.boundingRect());
  if (!std::isfinite(bounds.left()) || !std::isfinite(bounds.top()) || !std::isfinite(bounds.width()) ||
      !std::isfinite(bounds.height()))
    return;
  const QRectF near = bounds.adjusted(-2, -2, 2, 2) & device_area;
  if (near.isEmpty()) return;
  const QRect device_rect = near.toAlignedRect() & device_area.toRect();
  if (device_rect.isEmpty()) return;
  QImage mask(device_rect.size(), QImage::Format_ARGB32_Premultiplied);
  mask.fill(Qt::transparent);
  {
    QPainter p(&mask);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setTransform(to_device * QTransform::fromTranslate(-device_rect.left(), -device_rect.top()));
    p.setPen(Qt::black);
    p.drawGlyphRun(QPointF(0, 0), glyphs);
  }
  const QRgb rgb = color.rgb();
  for (int y = 0; y < mask.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(mask.scanLine(y));
    for (int x = 0; x < mask.width(); ++x) {
      const int a = kCoverage[qAlpha(line[x])];
      line[x] = a == 0 ? 0u : qPremultiply(qRgba(qRed(rgb), qGreen(rgb), qBlue(rgb), a));
    }
  }
  mask.setDevicePixelRatio(ratio);
  // device_rect is already past every transform, the base one too.
  painter_.setTransform(QTransform());
  painter_.drawImage(QPointF(device_rect.topLeft()) / ratio, mask);
}

QImage PainterSurface::PictureOf(const std::shared_ptr<const gdi::Image>& image, PictureFormat format) {
  // The same QImage for every draw: documents embed a picture once by its key.
  auto [it, added] = decoded_.try_emplace({image.get(), format});
  if (added) {
    QImage picture = ToQImage(*image, format != PictureFormat::Opaque);
    if (format == PictureFormat::Premultiplied && picture.format() == QImage::Format_ARGB32)
      picture.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    it->second = {image, std::move(picture)};
  }
  return it->second.image;
}

const QImage& PainterSurface::PatternOf(const std::shared_ptr<const gdi::Image>& pattern) {
  if (pattern_.source != pattern) pattern_ = {pattern, ToQImage(*pattern, false).copy()};
  return pattern_.image;
}

void PainterSurface::DrawImage(const gdi::ImageDraw& draw) {
  if (!draw.image) return;
  const PictureFormat format = draw.per_pixel_alpha    ? PictureFormat::Premultiplied
                               : draw.image->has_alpha ? PictureFormat::Alpha
                                                       : PictureFormat::Opaque;
  QImage image = PictureOf(draw.image, format);
  if (image.isNull()) return;
  if (draw.transparent) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = *draw.transparent & 0xFFFFFFu;
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x)
        if ((line[x] & 0xFFFFFFu) == key) line[x] = 0;
    }
  }
  // Limit the source to the picture, moving the destination with it.
  const gdi::RectD& s = draw.source;
  const double sw = s.Width(), sh = s.Height();
  if (sw == 0 || sh == 0) return;
  const QPointF d0(draw.dest[0].x, draw.dest[0].y);
  const QPointF ux((draw.dest[1].x - draw.dest[0].x) / sw, (draw.dest[1].y - draw.dest[0].y) / sw);
  const QPointF vy((draw.dest[2].x - draw.dest[0].x) / sh, (draw.dest[2].y - draw.dest[0].y) / sh);
  const QTransform to_device(ux.x(), ux.y(), vy.x(), vy.y(), d0.x() - s.left * ux.x() - s.top * vy.x(),
                             d0.y() - s.left * ux.y() - s.top * vy.y());
  QRectF source(QPointF(std::min(s.left, s.right), std::min(s.top, s.bottom)),
                QPointF(std::max(s.left, s.right), std::max(s.top, s.bottom)));
  source = source.intersected(QRectF(0, 0, image.width(), image.height()));
  if (source.isEmpty()) return;
  QPainter::CompositionMode mode = CompositionOf(draw.op);
  if (mode != QPainter::CompositionMode_SourceOver && !raster_ops_) {
    if (draw.op == gdi::ImageOp::And) {
      Reset();
      return;  // a mask: the picture that follows carries the drawing
    }
    mode = QPainter::CompositionMode_SourceOver;
  }
  painter_.setCompositionMode(mode);
  painter_.setRenderHint(QPainter::SmoothPixmapTransform, draw.smooth || options_.antialias);
  painter_.setOpacity(draw.constant_alpha / 255.0);
  painter_.setTransform(to_device * base_);
  if (painter_.paintEngine()->type() == QPaintEngine::Pdf && source != QRectF(image.rect()) && !draw.transparent) {
    // A PDF embeds a part of a picture anew for each draw; the whole
    // picture, clipped, it embeds once. A colour-keyed picture is new on
    // every draw anyway, so only its part goes in.
    painter_.save();
    painter_.setClipRect(source, Qt::IntersectClip);
    painter_.drawImage(QPointF(0, 0), image);
    painter_.restore();
  } else {
    painter_.drawImage(source, image, source);
  }
  Reset();
}

}  // namespace pravel::qt
