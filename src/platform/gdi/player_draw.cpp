// Lines, shapes, paths and regions of the device-context emulation.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/gdi/emf_types.h"
#include "platform/gdi/player_impl.h"
#include "platform/gdi/shapes.h"

namespace pravel::gdi {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// Cosmetic dash patterns in device pixels.
std::vector<double> CosmeticDashes(PenStyle style) {
  switch (style) {
    case PenStyle::Dash: return {18, 6};
    case PenStyle::Dot: return {3, 3};
    case PenStyle::DashDot: return {9, 6, 3, 6};
    case PenStyle::DashDotDot: return {9, 3, 3, 3, 3, 3};
    case PenStyle::Alternate: return {1, 1};
    default: return {};
  }
}

Path PathOfRects(const std::vector<RectI>& rects) {
  Path p;
  for (const auto& r : rects) {
    p.MoveTo({static_cast<double>(r.left), static_cast<double>(r.top)});
    p.LineTo({static_cast<double>(r.right), static_cast<double>(r.top)});
    p.LineTo({static_cast<double>(r.right), static_cast<double>(r.bottom)});
    p.LineTo({static_cast<double>(r.left), static_cast<double>(r.bottom)});
    p.Close();
  }
  return p;
}

// Outline polygons of a stroked path: a quadrilateral per segment and a
// square per vertex, filled with the winding rule.
Path WidenedPath(const Path& path, double width) {
  Path out;
  const double h = std::max(width, 1.0) / 2;
  for (const auto& poly : FlattenPath(path)) {
    for (std::size_t k = 0; k + 1 < poly.size(); ++k) {
      const PointD a = poly[k], b = poly[k + 1];
      const double len = std::hypot(b.x - a.x, b.y - a.y);
      if (len <= 0) continue;
      const double nx = -(b.y - a.y) / len * h, ny = (b.x - a.x) / len * h;
      out.MoveTo({a.x + nx, a.y + ny});
      out.LineTo({b.x + nx, b.y + ny});
      out.LineTo({b.x - nx, b.y - ny});
      out.LineTo({a.x - nx, a.y - ny});
      out.Close();
    }
    for (const auto& p : poly) {
      out.MoveTo({p.x - h, p.y - h});
      out.LineTo({p.x + h, p.y - h});
      out.LineTo({p.x + h, p.y + h});
      out.LineTo({p.x - h, p.y + h});
      out.Close();
    }
  }
  return out;
}

}  // namespace

Pen Player::ResolvePen() const {
  const LogPen& lp = dc_.pen;
  Pen p;
  const LineStyle style = LineStyleOf(lp.style);
  p.style = style <= LineStyle::Alternate ? static_cast<PenStyle>(style) : PenStyle::Solid;
  p.color = ColorRefToRgb(lp.color);
  p.miter_limit = dc_.miter_limit;
  // CREATEPEN widths above zero are logical and scale; zero is one pixel.
  const bool geometric = lp.extended ? IsGeometricPen(lp.style) : lp.width > 0;
  // Pens no wider than a device pixel draw as one-pixel lines.
  if (!geometric || lp.width <= 0 || std::round(lp.width * DeviceScaleX()) <= 1) {
    p.cosmetic = true;
    p.width = 1;
    p.cap = LineCap::Flat;
    p.join = LineJoin::Miter;
    if (p.style == PenStyle::User) {
      const double unit = geometric ? DeviceScaleX() : 1.0;
      for (auto d : lp.user_dashes) p.dashes.push_back(std::max(1.0, d * unit));
    } else if (p.style != PenStyle::Solid && p.style != PenStyle::Null && p.style != PenStyle::InsideFrame) {
      p.dashes = CosmeticDashes(p.style);
      p.style = PenStyle::User;
    }
    return p;
  }
  p.cosmetic = false;
  p.width = std::max(1.0, std::round(lp.width * DeviceScaleX()));
  // CREATEPEN pens wider than a pixel draw solid whatever their style.
  if (!lp.extended && p.style != PenStyle::Null && p.style != PenStyle::InsideFrame) p.style = PenStyle::Solid;
  switch (EndCapOf(lp.style)) {
    case PenEndCap::Square: p.cap = LineCap::Square; break;
    case PenEndCap::Flat: p.cap = LineCap::Flat; break;
    default: p.cap = LineCap::Round; break;
  }
  switch (JoinOf(lp.style)) {
    case PenJoin::Bevel: p.join = LineJoin::Bevel; break;
    case PenJoin::Miter: p.join = LineJoin::Miter; break;
    default: p.join = LineJoin::Round; break;
  }
  if (p.style == PenStyle::User) {
    for (auto d : lp.user_dashes) p.dashes.push_back(std::max(0.0, d * DeviceScaleX()));
  }
  return p;
}

Brush Player::ResolveBrush(const LogBrush& lb) const {
  Brush b;
  b.color = ColorRefToRgb(lb.color);
  b.background = ColorRefToRgb(dc_.bk_color);
  b.opaque = dc_.bk_mode == BackgroundMode::Opaque;
  b.origin = {target_.left + dc_.brush_org.x, target_.top + dc_.brush_org.y};
  switch (lb.style) {
    case BrushStyle::Solid: b.kind = BrushKind::Solid; break;
    case BrushStyle::Null: b.kind = BrushKind::Null; break;
    case BrushStyle::Hatched:
      b.kind = lb.hatch <= ToUnderlying(HatchStyle::DiagCross) ? BrushKind::Hatch : BrushKind::Solid;
      b.hatch = static_cast<int>(lb.hatch);
      break;
    case BrushStyle::Pattern:
    case BrushStyle::DibPattern:
    case BrushStyle::DibPatternPt:
      if (lb.mono && lb.pattern) {
        auto image = std::make_shared<Image>(*lb.pattern);
        const Rgb fg = ColorRefToRgb(dc_.text_color), bg = ColorRefToRgb(dc_.bk_color);
        for (std::size_t k = 0; k < image->pixels.size() && k < lb.mono->size(); ++k)
          image->pixels[k] = 0xFF000000u | ((*lb.mono)[k] ? bg : fg);
        b.kind = BrushKind::Pattern;
        b.pattern = std::move(image);
      } else if (lb.pattern) {
        b.kind = BrushKind::Pattern;
        b.pattern = lb.pattern;
      } else {
        b.kind = BrushKind::Solid;
        b.color = 0;
      }
      break;
    default: b.kind = BrushKind::Solid; break;
  }
  return b;
}

Rop2 Player::CurrentRop2() const noexcept { return dc_.rop2; }

FillRule Player::CurrentFillRule() const noexcept {
  return dc_.fill_mode == PolyFillMode::Winding ? FillRule::Winding : FillRule::Alternate;
}

void Player::FillAndStroke(const Path& path, bool fill, bool stroke) {
  if (path.Empty()) return;
  if (CurrentRop2() == Rop2::Nop) return;
  ApplyClip();
  if (fill) {
    const Brush brush = ResolveBrush(dc_.brush);
    if (brush.kind != BrushKind::Null && MayFill(path))
      surface_.FillPath(path, CurrentFillRule(), brush, CurrentRop2());
  }
  if (stroke) {
    const Pen pen = ResolvePen();
    if (pen.style != PenStyle::Null && MayStroke(path, pen)) surface_.StrokePath(path, pen, CurrentRop2());
  }
}

void Player::AddToPath(const Path& device_path, bool continue_figure) {
  if (!Charge(Work::PathPoints, device_path.points.size())) return;
  std::size_t k = 0;
  for (std::size_t i = 0; i < device_path.verbs.size(); ++i) {
    const PathVerb v = device_path.verbs[i];
    if (i == 0 && v == PathVerb::MoveTo && continue_figure && path_has_figure_) {
      path_.LineTo(device_path.points[k++]);
      continue;
    }
    switch (v) {
      case PathVerb::MoveTo: path_.MoveTo(device_path.points[k++]); break;
      case PathVerb::LineTo: path_.LineTo(device_path.points[k++]); break;
      case PathVerb::CubicTo:
        path_.CubicTo(device_path.points[k], device_path.points[k + 1], device_path.points[k + 2]);
        k += 3;
        break;
      case PathVerb::Close: path_.Close(); break;
    }
  }
  path_has_figure_ = !device_path.verbs.empty() && device_path.verbs.back() != PathVerb::Close;
}

void Player::DrawShape(const Path& device_path, bool closed_shape) {
  if (in_path_) {
    AddToPath(device_path, false);
    return;
  }
  FillAndStroke(device_path, closed_shape, true);
}

// The device path of a rectangle, ellipse or rounded rectangle: without
// rotation the box is rounded to pixels. Metafiles play in the advanced
// graphics mode: a rectangle's outline lies on its right and bottom edge, and
// a shape drawn without a pen fills up to one pixel short of them; an
// ellipse or rounded rectangle with a pen loses its right and bottom edge.
Path Player::ShapeRectPath(const RectD& box, bool ellipse, double cw, double ch) {
  const LineStyle pen_style = LineStyleOf(dc_.pen.style);
  const bool inside_frame = pen_style == LineStyle::InsideFrame;
  const bool rounded = ellipse || (cw > 0 && ch > 0);
  const double shrink = rounded && pen_style != LineStyle::Null ? 1 : 0;
  if (!to_device_.HasRotation()) {
    const PointD a = ToDeviceRounded({box.left, box.top}), b = ToDeviceRounded({box.right, box.bottom});
    RectD d{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) - shrink, std::max(a.y, b.y) - shrink};
    d.right = std::max(d.right, d.left);
    d.bottom = std::max(d.bottom, d.top);
    if (inside_frame) {
      const Pen pen = ResolvePen();
      if (!pen.cosmetic && pen.width > 1) {
        const double inset = std::floor(pen.width / 2);
        d = {d.left + inset, d.top + inset, std::max(d.left + inset, d.right - inset),
             std::max(d.top + inset, d.bottom - inset)};
      }
    }
    if (ellipse) return EllipsePath(d);
    if (cw > 0 && ch > 0) return RoundRectPath(d, cw * DeviceScaleX(), ch * DeviceScaleY());
    return RectPath(d);
  }
  Path logical = ellipse ? EllipsePath(box) : (cw > 0 && ch > 0 ? RoundRectPath(box, cw, ch) : RectPath(box));
  return TransformPath(logical, to_device_);
}

void Player::Rectangle(ByteReader& r) {
  const double l = r.I32(), t = r.I32(), rt = r.I32(), b = r.I32();
  DrawShape(ShapeRectPath({l, t, rt, b}, false), true);
}

void Player::RoundRect(ByteReader& r) {
  const double l = r.I32(), t = r.I32(), rt = r.I32(), b = r.I32();
  const double cw = r.I32(), ch = r.I32();
  DrawShape(ShapeRectPath({l, t, rt, b}, false, std::fabs(cw), std::fabs(ch)), true);
}

void Player::Ellipse(ByteReader& r) {
  const double l = r.I32(), t = r.I32(), rt = r.I32(), b = r.I32();
  DrawShape(ShapeRectPath({l, t, rt, b}, true), true);
}

void Player::SetPixel(ByteReader& r) {
  const double x = r.I32(), y = r.I32();
  const std::uint32_t color = r.U32();
  const PointD p = ToDeviceRounded({x, y});
  ApplyClip();
  Brush brush;
  brush.color = ColorRefToRgb(color);
  const Path pixel = RectPath({p.x, p.y, p.x + 1, p.y + 1});
  if (MayFill(pixel)) surface_.FillPath(pixel, FillRule::Alternate, brush, Rop2::CopyPen);
}

void Player::LineTo(ByteReader& r) {
  const double x = r.I32(), y = r.I32();
  LineTo({x, y});
}

void Player::LineTo(PointD p) {
  if (!in_path_ && surface_.TextOnly()) {
    dc_.position = p;
    return;
  }
  const PointD from = ToDeviceRounded(dc_.position), to = ToDeviceRounded(p);
  dc_.position = p;
  if (in_path_) {
    if (!path_has_figure_) path_.MoveTo(from);
    path_.LineTo(to);
    path_has_figure_ = true;
    return;
  }
  Path line;
  line.MoveTo(from);
  line.LineTo(to);
  FillAndStroke(line, false, true);
}

void Player::ArcFamily(ByteReader& r, ArcKind kind) {
  const double l = r.I32(), t = r.I32(), rt = r.I32(), b = r.I32();
  const double sx = r.I32(), sy = r.I32(), ex = r.I32(), ey = r.I32();
  const bool rotated = to_device_.HasRotation();
  // Work in device space unless the transform rotates; then in logical space.
  RectD box{l, t, rt, b};
  PointD start{sx, sy}, end{ex, ey};
  bool ccw = dc_.arc_direction == ArcDirection::CounterClockwise;
  if (!rotated) {
    const PointD a = ToDeviceRounded({l, t}), c = ToDeviceRounded({rt, b});
    box = {std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x) - 1, std::max(a.y, c.y) - 1};
    start = ToDevice(start);
    end = ToDevice(end);
  } else {
    if (to_device_.Determinant() < 0) ccw = !ccw;
    box = {std::min(l, rt), std::min(t, b), std::max(l, rt), std::max(t, b)};
  }
  const PointD centre{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  const double rx = std::max(box.Width() / 2, 0.0), ry = std::max(box.Height() / 2, 0.0);
  if (rx <= 0 || ry <= 0) return;
  const double a0 = std::atan2(-(start.y - centre.y) / ry, (start.x - centre.x) / rx);
  const double a1 = std::atan2(-(end.y - centre.y) / ry, (end.x - centre.x) / rx);
  double sweep;
  if (ccw) {
    sweep = a1 - a0;
    while (sweep <= 1e-9) sweep += kTwoPi;
  } else {
    sweep = a1 - a0;
    while (sweep >= -1e-9) sweep -= kTwoPi;
  }
  Path shape;
  if (kind == ArcKind::Pie) {
    shape.MoveTo(centre);
    AppendArc(shape, centre, rx, ry, a0, sweep, true);
    shape.Close();
  } else {
    AppendArc(shape, centre, rx, ry, a0, sweep, false);
    if (kind == ArcKind::Chord) shape.Close();
  }
  if (rotated) shape = TransformPath(shape, to_device_);
  if (kind == ArcKind::ArcTo) {
    // ARCTO: a line from the current position, and the position moves to the end.
    const PointD arc_end = EllipsePoint(centre, rx, ry, a0 + sweep);
    Path joined;
    joined.MoveTo(ToDeviceRounded(dc_.position));
    std::size_t k = 0;
    for (std::size_t i = 0; i < shape.verbs.size(); ++i) {
      if (shape.verbs[i] == PathVerb::MoveTo)
        joined.LineTo(shape.points[k++]);
      else if (shape.verbs[i] == PathVerb::CubicTo) {
        joined.CubicTo(shape.points[k], shape.points[k + 1], shape.points[k + 2]);
        k += 3;
      }
    }
    dc_.position = rotated ? arc_end : Inverse(to_device_).Map(arc_end);
    if (in_path_)
      AddToPath(joined, true);
    else
      FillAndStroke(joined, false, true);
    return;
  }
  DrawShape(shape, kind != ArcKind::Arc);
}

void Player::AngleArc(ByteReader& r) {
  const double cx = r.I32(), cy = r.I32();
  const double radius = r.U32();
  const double start = r.F32() * std::numbers::pi / 180, sweep = r.F32() * std::numbers::pi / 180;
  if (!std::isfinite(start) || !std::isfinite(sweep) || radius > 1e8) return;
  Path logical;
  logical.MoveTo(dc_.position);
  AppendArc(logical, {cx, cy}, radius, radius, start, sweep, true);
  dc_.position = EllipsePoint({cx, cy}, radius, radius, start + sweep);
  const Path device = TransformPath(logical, to_device_);
  if (in_path_)
    AddToPath(device, true);
  else
    FillAndStroke(device, false, true);
}

void Player::Poly(const std::vector<PointD>& points, PolyKind kind) {
  if (points.empty()) return;
  std::vector<PointD> dev;
  dev.reserve(points.size());
  for (const auto& p : points) dev.push_back(ToDeviceRounded(p));
  Path path;
  switch (kind) {
    case PolyKind::Bezier:
      path.MoveTo(dev[0]);
      for (std::size_t k = 1; k + 2 < dev.size(); k += 3) path.CubicTo(dev[k], dev[k + 1], dev[k + 2]);
      break;
    case PolyKind::Polygon:
    case PolyKind::Polyline:
      path.MoveTo(dev[0]);
      for (std::size_t k = 1; k < dev.size(); ++k) path.LineTo(dev[k]);
      if (kind == PolyKind::Polygon) path.Close();
      break;
    case PolyKind::BezierTo:
      path.MoveTo(ToDeviceRounded(dc_.position));
      for (std::size_t k = 0; k + 2 < dev.size(); k += 3) path.CubicTo(dev[k], dev[k + 1], dev[k + 2]);
      dc_.position = points[(dev.size() / 3) * 3 - (dev.size() >= 3 ? 1 : 0)];
      if (dev.size() < 3) return;
      break;
    case PolyKind::PolylineTo:
      path.MoveTo(ToDeviceRounded(dc_.position));
      for (const auto& p : dev) path.LineTo(p);
      dc_.position = points.back();
      break;
  }
  if (in_path_) {
    AddToPath(path, kind == PolyKind::BezierTo || kind == PolyKind::PolylineTo);
    return;
  }
  FillAndStroke(path, kind == PolyKind::Polygon, true);
}

void Player::PolyPoly(const PolyPolyPoints& figures, PolyKind kind) {
  const bool polygon = kind == PolyKind::Polygon;
  const auto& points = figures.points;
  Path path;
  std::size_t k = 0;
  for (const std::uint32_t c : figures.counts) {
    if (c == 0) continue;
    path.MoveTo(ToDeviceRounded(points[k]));
    for (std::uint32_t i = 1; i < c; ++i) path.LineTo(ToDeviceRounded(points[k + i]));
    if (polygon) path.Close();
    k += c;
  }
  if (in_path_) {
    AddToPath(path, false);
    return;
  }
  FillAndStroke(path, polygon, true);
}

void Player::PolyDraw(const PolyDrawPoints& figures) {
  const auto& [points, types] = figures;
  Path path;
  path.MoveTo(ToDeviceRounded(dc_.position));
  PointD figure_start = dc_.position;
  for (std::size_t k = 0; k < points.size(); ++k) {
    const PointType t = PointTypeOf(types[k]);
    if (t == PointType::MoveTo) {
      path.MoveTo(ToDeviceRounded(points[k]));
      figure_start = points[k];
    } else if (t == PointType::LineTo) {
      path.LineTo(ToDeviceRounded(points[k]));
    } else if (t == PointType::BezierTo && k + 2 < points.size()) {
      path.CubicTo(ToDeviceRounded(points[k]), ToDeviceRounded(points[k + 1]), ToDeviceRounded(points[k + 2]));
      k += 2;
    } else {
      continue;
    }
    dc_.position = points[k];
    if (ClosesFigure(types[k])) {
      path.Close();
      dc_.position = figure_start;
    }
  }
  if (in_path_)
    AddToPath(path, true);
  else
    FillAndStroke(path, false, true);
}

void Player::PathRecord(Emr type) {
  switch (type) {
    case Emr::BeginPath:
      in_path_ = true;
      path_.Clear();
      path_has_figure_ = false;
      break;
    case Emr::EndPath: in_path_ = false; break;
    case Emr::CloseFigure:
      if (in_path_ && path_has_figure_) {
        path_.Close();
        path_has_figure_ = false;
      }
      break;
    case Emr::AbortPath:
      in_path_ = false;
      path_.Clear();
      path_has_figure_ = false;
      break;
    case Emr::FlattenPath:
      if (Charge(Work::PathPoints, FlattenedPointCount(path_))) path_ = FlattenedPath(path_);
      break;
    case Emr::WidenPath: {
      // Widening makes a quadrilateral per segment and a square per vertex.
      if (!Charge(Work::PathPoints, FlattenedPointCount(path_) * 9)) break;
      const Pen pen = ResolvePen();
      path_ = WidenedPath(path_, pen.cosmetic ? 1 : pen.width);
      break;
    }
    case Emr::FillPath:
    case Emr::StrokeAndFillPath:
    case Emr::StrokePath:
      if (in_path_) break;
      FillAndStroke(path_, type != Emr::StrokePath, type != Emr::FillPath);
      path_.Clear();
      path_has_figure_ = false;
      break;
    default: break;
  }
}

void Player::SelectClipPath(std::uint32_t mode) {
  const auto op = RegionOpOf(mode);
  if (in_path_ || !op) return;
  if (!Charge(Work::PathPoints, FlattenedPointCount(path_))) return;
  const auto polygons = FlattenPath(path_);
  // Filling rows visits each edge that crosses them.
  std::uint64_t edges = 0;
  double top = limit_.bottom, bottom = limit_.top;
  for (const auto& poly : polygons) {
    edges += poly.size();
    for (const auto& p : poly) {
      top = std::min(top, p.y);
      bottom = std::max(bottom, p.y);
    }
  }
  const double rows = std::clamp(std::min<double>(bottom, limit_.bottom) - std::max<double>(top, limit_.top), 0.0, 1e9);
  if (!Charge(Work::PathPoints, edges) || !Charge(Work::RegionSpans, edges * static_cast<std::uint64_t>(rows) / 64))
    return;
  const Region region = Region::FromPolygons(polygons, CurrentFillRule(), limit_);
  CombineClip(region, *op);
  path_.Clear();
  path_has_figure_ = false;
}

void Player::RegionRecord(const EmfRecord& record, Emr type) {
  ByteReader r = record.Fields();
  r.Skip(16);  // rclBounds
  const std::uint32_t size = r.U32();
  std::optional<LogBrush> brush;
  std::int32_t frame_w = 1, frame_h = 1;
  if (type == Emr::FillRgn || type == Emr::FrameRgn) {
    std::optional<GdiObject> stock;
    const GdiObject* object = Object(r.U32(), stock);
    if (object)
      if (const auto* b = std::get_if<LogBrush>(object)) brush = *b;
    if (!brush) return;
    if (type == Emr::FrameRgn) {
      const double w = r.I32(), h = r.I32();
      const PointD v = playback_.MapVector({w, h});
      frame_w = std::max(1, static_cast<std::int32_t>(std::lround(std::min(std::fabs(v.x), 1e6))));
      frame_h = std::max(1, static_cast<std::int32_t>(std::lround(std::min(std::fabs(v.y), 1e6))));
    }
  }
  auto region = ReadRegion(r, size);
  if (!region || region->Empty()) return;
  if (type == Emr::FrameRgn) {
    if (!Charge(Work::RegionSpans, region->SpanCount() * 10)) return;
    Region inner = *region;
    for (const auto& [dx, dy] : {std::pair{frame_w, 0}, {-frame_w, 0}, {0, frame_h}, {0, -frame_h}}) {
      Region moved = *region;
      moved.Offset(dx, dy);
      inner = inner.Combine(moved, RegionOp::And);
    }
    region = region->Combine(inner, RegionOp::Diff);
  }
  ApplyClip();
  const Path path = PathOfRects(region->Rects());
  if (type == Emr::InvertRgn) {
    Brush black;
    black.color = 0;
    if (MayFill(path)) surface_.FillPath(path, FillRule::Winding, black, Rop2::Not);
    return;
  }
  const Brush b = ResolveBrush(brush ? *brush : dc_.brush);
  if (b.kind == BrushKind::Null || !MayFill(path)) return;
  surface_.FillPath(path, FillRule::Winding, b, type == Emr::PaintRgn ? CurrentRop2() : Rop2::CopyPen);
}

}  // namespace pravel::gdi
