#include "platform/gdi/player.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <new>

#include "platform/gdi/emf_types.h"
#include "platform/gdi/player_impl.h"

namespace pravel::gdi {

namespace {

double FrameToReference(std::int32_t frame, std::int32_t device, std::int32_t millimetres) {
  if (millimetres <= 0 || device <= 0) return frame * 96.0 / 2540.0;
  return frame * static_cast<double>(device) / (millimetres * 100.0);
}

constexpr double kPlaybackDpi = 96;

std::int32_t RoundToInt(double v) {
  constexpr double kMax = 1 << 30;
  if (!std::isfinite(v)) return 0;
  return static_cast<std::int32_t>(std::floor(std::clamp(v, -kMax, kMax) + 0.5));
}

bool UsableTransform(const XForm& x) {
  if (!IsFinite(x)) return false;
  const double det = x.Determinant();
  return std::isfinite(det) && det != 0 && std::isfinite(1 / det);
}

}  // namespace

XForm PlaybackTransform(const EmfHeader& h, const RectD& target) {
  const double left = FrameToReference(h.rclFrame.left, h.szlDevice.cx, h.szlMillimeters.cx);
  const double right = FrameToReference(h.rclFrame.right, h.szlDevice.cx, h.szlMillimeters.cx);
  const double top = FrameToReference(h.rclFrame.top, h.szlDevice.cy, h.szlMillimeters.cy);
  const double bottom = FrameToReference(h.rclFrame.bottom, h.szlDevice.cy, h.szlMillimeters.cy);
  XForm t;
  t.m11 = right != left ? target.Width() / (right - left) : 1;
  t.m22 = bottom != top ? target.Height() / (bottom - top) : 1;
  t.dx = target.left - left * t.m11;
  t.dy = target.top - top * t.m22;
  if (!IsFinite(t)) return {};
  return t;
}

WorkBudget PlayMetafile(const Metafile& metafile, Surface& surface, const RectD& target, WorkBudget budget) {
  Player player(metafile, surface, target, std::move(budget));
  player.Play();
  return player.Budget();
}

Player::Player(const Metafile& metafile, Surface& surface, const RectD& target, WorkBudget budget)
    : metafile_(metafile),
      surface_(surface),
      target_(target),
      playback_(PlaybackTransform(metafile.Header(), target)),
      budget_(std::move(budget)) {
  const double w = std::fabs(target.Width()), h = std::fabs(target.Height());
  limit_ = {RoundToInt(std::min(target.left, target.right) - w - 16),
            RoundToInt(std::min(target.top, target.bottom) - h - 16),
            RoundToInt(std::max(target.left, target.right) + w + 16),
            RoundToInt(std::max(target.top, target.bottom) + h + 16)};
  objects_.resize(metafile.Header().nHandles);
  if (auto pen = StockObject(StockObjectId::BlackPen)) dc_.pen = std::get<LogPen>(*pen);
  if (auto brush = StockObject(StockObjectId::WhiteBrush)) dc_.brush = std::get<LogBrush>(*brush);
  if (auto font = StockObject(StockObjectId::SystemFont)) dc_.font = std::get<LogFont>(*font);
  UpdateTransform();
}

namespace {

// Records that only draw: they change neither the device context nor the
// current position (outside a path bracket).
bool OnlyDraws(Emr type) {
  switch (type) {
    case Emr::Rectangle:
    case Emr::RoundRect:
    case Emr::Ellipse:
    case Emr::Arc:
    case Emr::Chord:
    case Emr::Pie:
    case Emr::SetPixelV:
    case Emr::PolyBezier:
    case Emr::Polygon:
    case Emr::Polyline:
    case Emr::PolyBezier16:
    case Emr::Polygon16:
    case Emr::Polyline16:
    case Emr::PolyPolyline:
    case Emr::PolyPolygon:
    case Emr::PolyPolyline16:
    case Emr::PolyPolygon16:
    case Emr::FillRgn:
    case Emr::FrameRgn:
    case Emr::InvertRgn:
    case Emr::PaintRgn:
    case Emr::BitBlt:
    case Emr::StretchBlt:
    case Emr::MaskBlt:
    case Emr::PlgBlt:
    case Emr::SetDIBitsToDevice:
    case Emr::StretchDIBits:
    case Emr::AlphaBlend:
    case Emr::TransparentBlt:
    case Emr::GradientFill: return true;
    default: return false;
  }
}

}  // namespace

void Player::Play() {
  surface_.SetClip(nullptr);
  RecordReader reader(metafile_);
  const bool text_only = surface_.TextOnly();
  while (auto record = reader.Next()) {
    if (budget_.exhausted) break;
    if (text_only && !in_path_ && OnlyDraws(static_cast<Emr>(record->type))) continue;
    try {
      Dispatch(*record);
    } catch (const EMetafileError&) {
      // A record whose contents do not fit is skipped.
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
  }
  surface_.SetClip(nullptr);
}

PointD Player::ToDeviceRounded(PointD logical) const noexcept {
  const PointD p = to_device_.Map(logical);
  return {static_cast<double>(RoundToInt(p.x)), static_cast<double>(RoundToInt(p.y))};
}

double Player::DeviceScaleX() const noexcept {
  const PointD v = to_device_.MapVector({1, 0});
  return std::hypot(v.x, v.y);
}

double Player::DeviceScaleY() const noexcept {
  const PointD v = to_device_.MapVector({0, 1});
  return std::hypot(v.x, v.y);
}

void Player::UpdateTransform() {
  // Metric and English units are measured on the playing device, a 96-dpi
  // display, not on the recording device (the references show it).
  to_device_ = Then(Then(dc_.world, PageTransform(dc_.page, kPlaybackDpi)), playback_);
  if (!IsFinite(to_device_)) to_device_ = playback_;
}

void Player::SetMapMode(std::uint32_t value) {
  if (value < ToUnderlying(MapMode::Text) || value > ToUnderlying(MapMode::Anisotropic)) return;
  PageMapping& page = dc_.page;
  page.mode = static_cast<MapMode>(value);
  if (page.mode == MapMode::Text) {
    page.window_ext = page.viewport_ext = {1, 1};
  } else if (const double per_mm = UnitsPerMillimetre(page.mode); per_mm > 0) {
    // Keep the metric extents in whole units per inch of the playing
    // device, should the mode turn anisotropic later. The recorder keeps
    // them for its reference device instead, as the recording GDI does.
    const double per_inch = std::round(per_mm * 25.4);
    page.window_ext = {per_inch, per_inch};
    page.viewport_ext = {kPlaybackDpi, -kPlaybackDpi};
  }
  UpdateTransform();
}

void Player::SetExtent(PointD& extent, ByteReader& r) {
  const double x = r.I32(), y = r.I32();
  if (!AcceptsExtent(dc_.page, x, y)) return;
  extent = {x, y};
  UpdateTransform();
}

void Player::SetOrigin(PointD& origin, ByteReader& r) {
  const double x = r.I32(), y = r.I32();
  origin = {x, y};
  UpdateTransform();
}

// Extents stay whole numbers of units here; the isotropic adjustment is
// applied to a copy (PageTransform), unlike the recorder, which keeps the
// adjusted extent.
void Player::ScaleExtent(PointD& extent, ByteReader& r) {
  const std::int64_t xn = r.I32(), xd = r.I32(), yn = r.I32(), yd = r.I32();
  if (!HasScalableExtents(dc_.page.mode) || xd == 0 || yd == 0) return;
  const std::int64_t x = static_cast<std::int64_t>(extent.x) * xn / xd,
                     y = static_cast<std::int64_t>(extent.y) * yn / yd;
  if (x == 0 || y == 0 || x != static_cast<std::int32_t>(x) || y != static_cast<std::int32_t>(y)) return;
  extent = {static_cast<double>(x), static_cast<double>(y)};
  UpdateTransform();
}

namespace {

XForm ReadXForm(ByteReader& r) {
  XForm x;
  for (double* field : {&x.m11, &x.m12, &x.m21, &x.m22, &x.dx, &x.dy}) *field = r.F32();
  return x;
}

}  // namespace

void Player::SetWorldTransform(ByteReader& r) { ApplyWorldTransform(ReadXForm(r), WorldTransformMode::Set); }

void Player::ModifyWorldTransform(ByteReader& r) {
  const XForm x = ReadXForm(r);
  ApplyWorldTransform(x, static_cast<WorldTransformMode>(r.U32()));
}

void Player::ApplyWorldTransform(const XForm& x, WorldTransformMode mode) {
  if (mode != WorldTransformMode::Identity && !IsFinite(x)) return;
  XForm world = dc_.world;
  switch (mode) {
    case WorldTransformMode::Identity: world = {}; break;
    case WorldTransformMode::LeftMultiply: world = Then(x, dc_.world); break;
    case WorldTransformMode::RightMultiply: world = Then(dc_.world, x); break;
    case WorldTransformMode::Set: world = x; break;
  }
  // A transform that is not finite or cannot be inverted is refused.
  if (!UsableTransform(world)) return;
  dc_.world = world;
  UpdateTransform();
}

void Player::SetMiterLimit(std::uint32_t raw) {
  double limit = raw;
  if (raw > 0xFFFFF) limit = std::bit_cast<float>(raw);  // writers store a float
  if (std::isfinite(limit) && limit >= 1) dc_.miter_limit = limit;
}

void Player::MoveTo(ByteReader& r) {
  const double x = r.I32(), y = r.I32();
  dc_.position = {x, y};
  if (in_path_) {
    path_.MoveTo(ToDeviceRounded(dc_.position));
    path_has_figure_ = true;
  }
}

void Player::SetObject(std::uint32_t index, GdiObject object) {
  if (index == 0 || index >= objects_.size()) return;
  objects_[index].emplace(std::move(object));
}

const GdiObject* Player::Object(std::uint32_t handle, std::optional<GdiObject>& stock) const {
  if (IsStockHandle(handle)) {
    stock = StockObject(StockIdOf(handle));
    return stock ? &*stock : nullptr;
  }
  if (handle == 0 || handle >= objects_.size() || !objects_[handle]) return nullptr;
  return &*objects_[handle];
}

void Player::SelectObject(std::uint32_t index) {
  std::optional<GdiObject> stock;
  const GdiObject* object = Object(index, stock);
  if (!object) return;
  if (const auto* pen = std::get_if<LogPen>(object)) {
    if (!Charge(Work::CopiedState, pen->user_dashes.size())) return;
    dc_.pen = *pen;
  } else if (const auto* brush = std::get_if<LogBrush>(object))
    dc_.brush = *brush;
  else if (const auto* font = std::get_if<LogFont>(object))
    dc_.font = *font;
}

void Player::DeleteObject(std::uint32_t index) {
  if (index == 0 || index >= objects_.size()) return;
  objects_[index].reset();
}

void Player::SaveDc() {
  if (saved_.size() >= 10000) return;
  // Regions are shared with the saved state; the pen's dashes are copied.
  if (!Charge(Work::CopiedState, 1 + dc_.pen.user_dashes.size())) return;
  saved_.push_back(dc_);
}

void Player::RestoreDc(std::int32_t level) {
  const auto depth = static_cast<std::int64_t>(saved_.size());
  std::int64_t keep;  // states left on the stack after restoring
  if (level < 0)
    keep = depth + level;
  else if (level > 0)
    keep = static_cast<std::int64_t>(level) - 1;
  else
    return;
  if (keep < 0 || keep >= depth) return;
  dc_ = std::move(saved_[static_cast<std::size_t>(keep)]);
  saved_.resize(static_cast<std::size_t>(keep));
  UpdateTransform();
  clip_dirty_ = true;
}

void Player::ApplyClip() {
  if (!clip_dirty_) return;
  clip_dirty_ = false;
  if (dc_.clip && dc_.meta_clip) {
    if (!MayCombine(*dc_.clip, *dc_.meta_clip)) return;
    effective_clip_ = dc_.clip->Combine(*dc_.meta_clip, RegionOp::And);
  } else if (dc_.clip)
    effective_clip_ = dc_.clip;
  else
    effective_clip_ = dc_.meta_clip;
  // The surface converts the clip anew each time it changes.
  if (effective_clip_ && !Charge(Work::RegionSpans, effective_clip_->SpanCount())) return;
  surface_.SetClip(effective_clip_ ? &*effective_clip_ : nullptr);
}

void Player::CombineClip(const Region& region, RegionOp op) {
  const Region all = Region::FromRect(limit_);
  const Region& current = dc_.clip ? *dc_.clip : all;
  if (op == RegionOp::Or && !dc_.clip) return;
  if (!MayCombine(current, region)) return;
  dc_.clip = current.Combine(region, op);
  clip_dirty_ = true;
}

Region Player::RegionOfLogicalRect(const RectD& r) const {
  if (!to_device_.HasRotation()) {
    const PointD a = ToDeviceRounded({r.left, r.top}), b = ToDeviceRounded({r.right, r.bottom});
    return Region::FromRect(
        {static_cast<std::int32_t>(std::min(a.x, b.x)), static_cast<std::int32_t>(std::min(a.y, b.y)),
         static_cast<std::int32_t>(std::max(a.x, b.x)), static_cast<std::int32_t>(std::max(a.y, b.y))});
  }
  std::vector<std::vector<PointD>> poly{{ToDevice({r.left, r.top}), ToDevice({r.right, r.top}),
                                         ToDevice({r.right, r.bottom}), ToDevice({r.left, r.bottom})}};
  return Region::FromPolygons(poly, FillRule::Alternate, limit_);
}

// RGNDATA in reference-device pixels, mapped by the playback transform.
std::optional<Region> Player::ReadRegion(ByteReader& r, std::uint32_t size) {
  if (size < 32 || !r.Has(size)) return std::nullopt;
  const std::size_t start = r.Pos();
  r.Skip(8);  // dwSize, iType
  const std::uint32_t count = r.U32();
  r.Skip(4 + 16);  // nRgnSize, rcBound
  if (std::uint64_t{count} * 16 > size - 32) return std::nullopt;
  if (!Charge(Work::RegionSpans, count)) return std::nullopt;
  std::vector<RectI> rects;
  rects.reserve(count);
  for (std::uint32_t k = 0; k < count; ++k) {
    const double l = r.I32(), t = r.I32(), rt = r.I32(), b = r.I32();
    const PointD p0 = playback_.Map({l, t}), p1 = playback_.Map({rt, b});
    RectI d{RoundToInt(std::min(p0.x, p1.x)), RoundToInt(std::min(p0.y, p1.y)), RoundToInt(std::max(p0.x, p1.x)),
            RoundToInt(std::max(p0.y, p1.y))};
    if (!d.Empty()) rects.push_back(d);
  }
  r.Seek(start + size);
  // Region data rectangles are already disjoint and banded in well-formed
  // files; union them in bulk by rows of equal tops.
  return Region::FromRects(rects);
}

template <typename Read>
void Player::CreateObject(ByteReader& r, Read read) {
  const std::uint32_t index = r.U32();
  SetObject(index, read(r));
}

void Player::ExtCreatePen(const EmfRecord& record, ByteReader& r) {
  const std::uint32_t index = r.U32();
  if (auto pen = ReadExtCreatePen(r, record.bytes.size()))
    SetObject(index, std::move(*pen));
  else
    DeleteObject(index);
}

void Player::ClipToRect(ByteReader& r, RegionOp op) {
  const double l = r.I32(), t = r.I32(), rt = r.I32(), b = r.I32();
  CombineClip(RegionOfLogicalRect({l, t, rt, b}), op);
}

void Player::OffsetClip(ByteReader& r) {
  const double x = r.I32(), y = r.I32();
  if (!dc_.clip) return;
  const PointD v = to_device_.MapVector({x, y});
  dc_.clip->Offset(RoundToInt(v.x), RoundToInt(v.y));
  clip_dirty_ = true;
}

void Player::ExtSelectClipRgn(ByteReader& r) {
  const std::uint32_t size = r.U32();
  const auto op = RegionOpOf(r.U32());
  if (!op) return;
  auto region = ReadRegion(r, size);
  if (region) return CombineClip(*region, *op);
  if (op == RegionOp::Copy) {
    dc_.clip.reset();
    clip_dirty_ = true;
  }
}

void Player::SetMetaClip() {
  if (!dc_.clip) return;
  dc_.meta_clip = dc_.meta_clip ? dc_.meta_clip->Combine(*dc_.clip, RegionOp::And) : *dc_.clip;
  dc_.clip.reset();
  clip_dirty_ = true;
}

namespace {

template <typename Enum>
void SetIfOneOf(Enum& field, std::uint32_t value, Enum first, Enum last) {
  if (value >= ToUnderlying(first) && value <= ToUnderlying(last)) field = static_cast<Enum>(value);
}

}  // namespace

void Player::Dispatch(const EmfRecord& record) {
  using std::int16_t, std::int32_t;
  ByteReader r = record.Fields();
  PageMapping& page = dc_.page;
  const auto type = static_cast<Emr>(record.type);
  switch (type) {
    // Mapping.
    case Emr::SetMapMode: return SetMapMode(r.U32());
    case Emr::SetWindowExtEx: return SetExtent(page.window_ext, r);
    case Emr::SetViewportExtEx: return SetExtent(page.viewport_ext, r);
    case Emr::SetWindowOrgEx: return SetOrigin(page.window_org, r);
    case Emr::SetViewportOrgEx: return SetOrigin(page.viewport_org, r);
    case Emr::ScaleWindowExtEx: return ScaleExtent(page.window_ext, r);
    case Emr::ScaleViewportExtEx: return ScaleExtent(page.viewport_ext, r);
    case Emr::SetWorldTransform: return SetWorldTransform(r);
    case Emr::ModifyWorldTransform: return ModifyWorldTransform(r);

    // State.
    case Emr::SaveDC: return SaveDc();
    case Emr::RestoreDC: return RestoreDc(r.I32());
    case Emr::SetBkMode: return SetIfOneOf(dc_.bk_mode, r.U32(), BackgroundMode::Transparent, BackgroundMode::Opaque);
    case Emr::SetBkColor: dc_.bk_color = r.U32(); return;
    case Emr::SetTextColor: dc_.text_color = r.U32(); return;
    case Emr::SetTextAlign: dc_.text_align = r.U32(); return;
    case Emr::SetPolyFillMode:
      return SetIfOneOf(dc_.fill_mode, r.U32(), PolyFillMode::Alternate, PolyFillMode::Winding);
    case Emr::SetRop2: return SetIfOneOf(dc_.rop2, r.U32(), Rop2::Black, Rop2::White);
    case Emr::SetStretchBltMode: dc_.stretch_mode = static_cast<StretchMode>(r.U32() & 0xFF); return;
    case Emr::SetArcDirection:
      return SetIfOneOf(dc_.arc_direction, r.U32(), ArcDirection::CounterClockwise, ArcDirection::Clockwise);
    case Emr::SetMiterLimit: return SetMiterLimit(r.U32());
    case Emr::SetBrushOrgEx: dc_.brush_org = {r.I32(), r.I32()}; return;
    case Emr::MoveToEx: return MoveTo(r);

    // Objects.
    case Emr::CreatePen: return CreateObject(r, ReadCreatePen);
    case Emr::ExtCreatePen: return ExtCreatePen(record, r);
    case Emr::CreateBrushIndirect: return CreateObject(r, ReadCreateBrushIndirect);
    case Emr::ExtCreateFontIndirectW: return CreateObject(r, ReadLogFont);
    case Emr::CreatePalette: return CreateObject(r, [](ByteReader&) { return Palette{}; });
    case Emr::CreateDIBPatternBrushPt: return CreateDibPatternBrush(record, false);
    case Emr::CreateMonoBrush: return CreateDibPatternBrush(record, true);
    case Emr::SelectObject: return SelectObject(r.U32());
    case Emr::DeleteObject: return DeleteObject(r.U32());

    // Clipping.
    case Emr::IntersectClipRect: return ClipToRect(r, RegionOp::And);
    case Emr::ExcludeClipRect: return ClipToRect(r, RegionOp::Diff);
    case Emr::OffsetClipRgn: return OffsetClip(r);
    case Emr::ExtSelectClipRgn: return ExtSelectClipRgn(r);
    case Emr::SetMetaRgn: return SetMetaClip();
    case Emr::SelectClipPath: return SelectClipPath(r.U32());

    // Lines and shapes.
    case Emr::LineTo: return LineTo(r);
    case Emr::Rectangle: return Rectangle(r);
    case Emr::RoundRect: return RoundRect(r);
    case Emr::Ellipse: return Ellipse(r);
    case Emr::Arc: return ArcFamily(r, ArcKind::Arc);
    case Emr::Chord: return ArcFamily(r, ArcKind::Chord);
    case Emr::Pie: return ArcFamily(r, ArcKind::Pie);
    case Emr::ArcTo: return ArcFamily(r, ArcKind::ArcTo);
    case Emr::AngleArc: return AngleArc(r);
    case Emr::SetPixelV: return SetPixel(r);
    case Emr::PolyBezier: return Poly(ReadPolyPoints<int32_t>(r), PolyKind::Bezier);
    case Emr::Polygon: return Poly(ReadPolyPoints<int32_t>(r), PolyKind::Polygon);
    case Emr::Polyline: return Poly(ReadPolyPoints<int32_t>(r), PolyKind::Polyline);
    case Emr::PolyBezierTo: return Poly(ReadPolyPoints<int32_t>(r), PolyKind::BezierTo);
    case Emr::PolylineTo: return Poly(ReadPolyPoints<int32_t>(r), PolyKind::PolylineTo);
    case Emr::PolyBezier16: return Poly(ReadPolyPoints<int16_t>(r), PolyKind::Bezier);
    case Emr::Polygon16: return Poly(ReadPolyPoints<int16_t>(r), PolyKind::Polygon);
    case Emr::Polyline16: return Poly(ReadPolyPoints<int16_t>(r), PolyKind::Polyline);
    case Emr::PolyBezierTo16: return Poly(ReadPolyPoints<int16_t>(r), PolyKind::BezierTo);
    case Emr::PolylineTo16: return Poly(ReadPolyPoints<int16_t>(r), PolyKind::PolylineTo);
    case Emr::PolyPolyline: return PolyPoly(ReadPolyPolyPoints<int32_t>(r), PolyKind::Polyline);
    case Emr::PolyPolygon: return PolyPoly(ReadPolyPolyPoints<int32_t>(r), PolyKind::Polygon);
    case Emr::PolyPolyline16: return PolyPoly(ReadPolyPolyPoints<int16_t>(r), PolyKind::Polyline);
    case Emr::PolyPolygon16: return PolyPoly(ReadPolyPolyPoints<int16_t>(r), PolyKind::Polygon);
    case Emr::PolyDraw: return PolyDraw(ReadPolyDrawPoints<int32_t>(r));
    case Emr::PolyDraw16: return PolyDraw(ReadPolyDrawPoints<int16_t>(r));
    case Emr::GradientFill: return GradientFill(r);

    // Paths and regions.
    case Emr::BeginPath:
    case Emr::EndPath:
    case Emr::CloseFigure:
    case Emr::FillPath:
    case Emr::StrokeAndFillPath:
    case Emr::StrokePath:
    case Emr::FlattenPath:
    case Emr::WidenPath:
    case Emr::AbortPath: return PathRecord(type);
    case Emr::FillRgn:
    case Emr::FrameRgn:
    case Emr::InvertRgn:
    case Emr::PaintRgn: return RegionRecord(record, type);

    // Text.
    case Emr::ExtTextOutW: return ExtTextOut(record, true);
    case Emr::ExtTextOutA: return ExtTextOut(record, false);
    case Emr::PolyTextOutW: return PolyTextOut(record, true);
    case Emr::PolyTextOutA: return PolyTextOut(record, false);
    case Emr::SmallTextOut: return SmallTextOut(record);

    // Pictures.
    case Emr::BitBlt:
    case Emr::StretchBlt:
    case Emr::AlphaBlend:
    case Emr::TransparentBlt: return BitBlt(record, type);
    case Emr::MaskBlt: return MaskBlt(record);
    case Emr::PlgBlt: return PlgBlt(record);
    case Emr::StretchDIBits: return StretchDiBits(record);
    case Emr::SetDIBitsToDevice: return SetDiBitsToDevice(record);

    default:
      // The header, EOF, palettes, colour management, comments (EMF+
      // included) and the rest draw nothing.
      return;
  }
}

}  // namespace pravel::gdi
