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

constexpr std::int32_t kPlaybackDpi = 96;

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
    : metafile_(metafile), surface_(surface), target_(target),
      playback_(PlaybackTransform(metafile.Header(), target)), budget_(std::move(budget)) {
  const double w = std::fabs(target.Width()), h = std::fabs(target.Height());
  limit_ = {RoundToInt(std::min(target.left, target.right) - w - 16), RoundToInt(std::min(target.top, target.bottom) - h - 16),
            RoundToInt(std::max(target.left, target.right) + w + 16), RoundToInt(std::max(target.top, target.bottom) + h + 16)};
  objects_.resize(metafile.Header().nHandles);
  if (auto pen = StockObject(7)) dc_.pen = std::get<LogPen>(*pen);
  if (auto brush = StockObject(0)) dc_.brush = std::get<LogBrush>(*brush);
  if (auto font = StockObject(13)) dc_.font = std::get<LogFont>(*font);
  UpdateTransform();
}

namespace {

// Records that only draw: they change neither the device context nor the
// current position (outside a path bracket).
bool OnlyDraws(Emr type) {
  switch (type) {
    case Emr::Rectangle: case Emr::RoundRect: case Emr::Ellipse: case Emr::Arc: case Emr::Chord: case Emr::Pie:
    case Emr::SetPixelV: case Emr::PolyBezier: case Emr::Polygon: case Emr::Polyline: case Emr::PolyBezier16:
    case Emr::Polygon16: case Emr::Polyline16: case Emr::PolyPolyline: case Emr::PolyPolygon:
    case Emr::PolyPolyline16: case Emr::PolyPolygon16: case Emr::FillRgn: case Emr::FrameRgn: case Emr::InvertRgn:
    case Emr::PaintRgn: case Emr::BitBlt: case Emr::StretchBlt: case Emr::MaskBlt: case Emr::PlgBlt:
    case Emr::SetDIBitsToDevice: case Emr::StretchDIBits: case Emr::AlphaBlend: case Emr::TransparentBlt:
    case Emr::GradientFill:
      return true;
    default:
      return false;
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
  double wx = dc_.window_ext.x, wy = dc_.window_ext.y, vx = dc_.viewport_ext.x, vy = dc_.viewport_ext.y;
  double per_mm = 0;
  switch (dc_.map_mode) {
    case kMmLoMetric: per_mm = 10; break;
    case kMmHiMetric: per_mm = 100; break;
    case kMmLoEnglish: per_mm = 100 / 25.4; break;
    case kMmHiEnglish: per_mm = 1000 / 25.4; break;
    case kMmTwips: per_mm = 1440 / 25.4; break;
    default: break;
  }
  if (per_mm > 0) {
    // Metric and English units are measured on the playing device, a
    // 96-dpi display, not on the recording device (the references show it).
    wx = wy = per_mm * 25.4;
    vx = kPlaybackDpi;
    vy = -kPlaybackDpi;
  } else if (dc_.map_mode != kMmIsotropic && dc_.map_mode != kMmAnisotropic) {
    wx = wy = vx = vy = 1;
  }
  if (wx == 0) wx = 1;
  if (wy == 0) wy = 1;
  if (vx == 0) vx = 1;
  if (vy == 0) vy = 1;
  if (dc_.map_mode == kMmIsotropic) {
    // The viewport extent shrinks on one axis to whole units, as GDI keeps it.
    if (std::fabs(vx / wx) < std::fabs(vy / wy)) vy = std::copysign(std::round(std::fabs(wy * vx / wx)), vy);
    else vx = std::copysign(std::round(std::fabs(wx * vy / wy)), vx);
    if (vx == 0) vx = 1;
    if (vy == 0) vy = 1;
  }
  const double sx = vx / wx, sy = vy / wy;
  XForm page;
  page.m11 = sx;
  page.m22 = sy;
  page.dx = dc_.viewport_org.x - dc_.window_org.x * sx;
  page.dy = dc_.viewport_org.y - dc_.window_org.y * sy;
  to_device_ = Then(Then(dc_.world, page), playback_);
  if (!IsFinite(to_device_)) to_device_ = playback_;
}

void Player::SetObject(std::uint32_t index, GdiObject object) {
  if (index == 0 || index >= objects_.size()) return;
  objects_[index] = std::move(object);
}

const GdiObject* Player::Object(std::uint32_t index) const {
  if (index & 0x80000000u) return nullptr;
  if (index == 0 || index >= objects_.size() || !objects_[index]) return nullptr;
  return &*objects_[index];
}

void Player::SelectObject(std::uint32_t index) {
  std::optional<GdiObject> stock;
  const GdiObject* object = nullptr;
  if (index & 0x80000000u) {
    stock = StockObject(index & 0x7FFFFFFFu);
    if (stock) object = &*stock;
  } else {
    object = Object(index);
  }
  if (!object) return;
  if (const auto* pen = std::get_if<LogPen>(object)) {
    if (!Charge(Work::CopiedState, pen->user_dashes.size())) return;
    dc_.pen = *pen;
  }
  else if (const auto* brush = std::get_if<LogBrush>(object)) dc_.brush = *brush;
  else if (const auto* font = std::get_if<LogFont>(object)) dc_.font = *font;
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
  if (level < 0) keep = depth + level;
  else if (level > 0) keep = static_cast<std::int64_t>(level) - 1;
  else return;
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
  } else if (dc_.clip) effective_clip_ = dc_.clip;
  else effective_clip_ = dc_.meta_clip;
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
    return Region::FromRect({static_cast<std::int32_t>(std::min(a.x, b.x)), static_cast<std::int32_t>(std::min(a.y, b.y)),
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

void Player::Dispatch(const EmfRecord& record) {
  ByteReader r = record.Fields();
  const auto type = static_cast<Emr>(record.type);
  switch (type) {
    case Emr::Header:
    case Emr::Eof:
      break;

    // Mapping.
    case Emr::SetMapMode: {
      const std::uint32_t mode = r.U32();
      if (mode < 1 || mode > 8) break;
      dc_.map_mode = static_cast<int>(mode);
      if (mode == kMmText) dc_.window_ext = dc_.viewport_ext = {1, 1};
      else if (mode != kMmIsotropic && mode != kMmAnisotropic) {
        // Keep the metric extents, should the mode turn anisotropic later.
        // Units per inch of each mode, over the playing device's pixels per inch.
        const std::int32_t per_inch[] = {0, 0, 254, 2540, 100, 1000, 1440};
        dc_.window_ext = {per_inch[mode], per_inch[mode]};
        dc_.viewport_ext = {kPlaybackDpi, -kPlaybackDpi};
      }
      UpdateTransform();
      break;
    }
    case Emr::SetWindowExtEx:
    case Emr::SetViewportExtEx: {
      const std::int32_t x = r.I32(), y = r.I32();
      if (dc_.map_mode != kMmIsotropic && dc_.map_mode != kMmAnisotropic) break;
      if (x == 0 || y == 0) break;
      (type == Emr::SetWindowExtEx ? dc_.window_ext : dc_.viewport_ext) = {x, y};
      UpdateTransform();
      break;
    }
    case Emr::SetWindowOrgEx:
    case Emr::SetViewportOrgEx: {
      const std::int32_t x = r.I32(), y = r.I32();
      (type == Emr::SetWindowOrgEx ? dc_.window_org : dc_.viewport_org) = {x, y};
      UpdateTransform();
      break;
    }
    case Emr::ScaleWindowExtEx:
    case Emr::ScaleViewportExtEx: {
      const std::int64_t xn = r.I32(), xd = r.I32(), yn = r.I32(), yd = r.I32();
      if (dc_.map_mode != kMmIsotropic && dc_.map_mode != kMmAnisotropic) break;
      if (xd == 0 || yd == 0) break;
      PointL& ext = type == Emr::ScaleWindowExtEx ? dc_.window_ext : dc_.viewport_ext;
      const std::int64_t x = ext.x * xn / xd, y = ext.y * yn / yd;
      if (x == 0 || y == 0 || x != static_cast<std::int32_t>(x) || y != static_cast<std::int32_t>(y)) break;
      ext = {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
      UpdateTransform();
      break;
    }
    case Emr::SetWorldTransform:
    case Emr::ModifyWorldTransform: {
      XForm x;
      x.m11 = r.F32();
      x.m12 = r.F32();
      x.m21 = r.F32();
      x.m22 = r.F32();
      x.dx = r.F32();
      x.dy = r.F32();
      std::uint32_t mode = 4;  // MWT_SET
      if (type == Emr::ModifyWorldTransform) mode = r.U32();
      if (mode != 1 && !IsFinite(x)) break;
      XForm world = dc_.world;
      switch (mode) {
        case 1: world = {}; break;                     // MWT_IDENTITY
        case 2: world = Then(x, dc_.world); break;     // MWT_LEFTMULTIPLY
        case 3: world = Then(dc_.world, x); break;     // MWT_RIGHTMULTIPLY
        case 4: world = x; break;                      // MWT_SET
        default: break;
      }
      // A transform that is not finite or cannot be inverted is refused.
      if (!UsableTransform(world)) break;
      dc_.world = world;
      UpdateTransform();
      break;
    }

    // State.
    case Emr::SaveDC: SaveDc(); break;
    case Emr::RestoreDC: RestoreDc(r.I32()); break;
    case Emr::SetBkMode: {
      const std::uint32_t mode = r.U32();
      if (mode == kTransparent || mode == kOpaque) dc_.bk_mode = static_cast<int>(mode);
      break;
    }
    case Emr::SetBkColor: dc_.bk_color = r.U32(); break;
    case Emr::SetTextColor: dc_.text_color = r.U32(); break;
    case Emr::SetTextAlign: dc_.text_align = r.U32(); break;
    case Emr::SetPolyFillMode: {
      const std::uint32_t mode = r.U32();
      if (mode == 1 || mode == 2) dc_.fill_mode = static_cast<int>(mode);
      break;
    }
    case Emr::SetRop2: {
      const std::uint32_t rop = r.U32();
      if (rop >= 1 && rop <= 16) dc_.rop2 = static_cast<int>(rop);
      break;
    }
    case Emr::SetStretchBltMode: dc_.stretch_mode = static_cast<int>(r.U32() & 0xFF); break;
    case Emr::SetArcDirection: {
      const std::uint32_t dir = r.U32();
      if (dir == 1 || dir == 2) dc_.arc_direction = static_cast<int>(dir);
      break;
    }
    case Emr::SetMiterLimit: {
      const std::uint32_t raw = r.U32();
      double limit = raw;
      if (raw > 0xFFFFF) limit = std::bit_cast<float>(raw);  // writers store a float
      if (std::isfinite(limit) && limit >= 1) dc_.miter_limit = limit;
      break;
    }
    case Emr::SetBrushOrgEx: dc_.brush_org = {r.I32(), r.I32()}; break;
    case Emr::MoveToEx: {
      const double x = r.I32(), y = r.I32();
      dc_.position = {x, y};
      if (in_path_) {
        path_.MoveTo(ToDeviceRounded(dc_.position));
        path_has_figure_ = true;
      }
      break;
    }

    // Objects.
    case Emr::CreatePen: {
      const std::uint32_t index = r.U32();
      SetObject(index, ReadCreatePen(r));
      break;
    }
    case Emr::ExtCreatePen: {
      const std::uint32_t index = r.U32();
      if (auto pen = ReadExtCreatePen(r, record.bytes.size())) SetObject(index, std::move(*pen));
      else DeleteObject(index);
      break;
    }
    case Emr::CreateBrushIndirect: {
      const std::uint32_t index = r.U32();
      SetObject(index, ReadCreateBrushIndirect(r));
      break;
    }
    case Emr::ExtCreateFontIndirectW: {
      const std::uint32_t index = r.U32();
      SetObject(index, ReadLogFont(r));
      break;
    }
    case Emr::CreatePalette: {
      const std::uint32_t index = r.U32();
      SetObject(index, Palette{});
      break;
    }
    case Emr::CreateDIBPatternBrushPt: CreateDibPatternBrush(record, false); break;
    case Emr::CreateMonoBrush: CreateDibPatternBrush(record, true); break;
    case Emr::SelectObject: SelectObject(r.U32()); break;
    case Emr::DeleteObject: DeleteObject(r.U32()); break;

    // Clipping.
    case Emr::IntersectClipRect:
    case Emr::ExcludeClipRect: {
      const double l = r.I32(), t = r.I32(), rt = r.I32(), b = r.I32();
      CombineClip(RegionOfLogicalRect({l, t, rt, b}), type == Emr::IntersectClipRect ? RegionOp::And : RegionOp::Diff);
      break;
    }
    case Emr::OffsetClipRgn: {
      const double x = r.I32(), y = r.I32();
      if (!dc_.clip) break;
      const PointD v = to_device_.MapVector({x, y});
      dc_.clip->Offset(RoundToInt(v.x), RoundToInt(v.y));
      clip_dirty_ = true;
      break;
    }
    case Emr::ExtSelectClipRgn: {
      const std::uint32_t size = r.U32();
      const std::uint32_t mode = r.U32();
      if (mode < 1 || mode > 5) break;
      auto region = ReadRegion(r, size);
      if (!region) {
        if (mode == 5) {
          dc_.clip.reset();
          clip_dirty_ = true;
        }
        break;
      }
      CombineClip(*region, static_cast<RegionOp>(mode - 1));
      break;
    }
    case Emr::SetMetaRgn:
      if (dc_.clip) {
        dc_.meta_clip = dc_.meta_clip ? dc_.meta_clip->Combine(*dc_.clip, RegionOp::And) : *dc_.clip;
        dc_.clip.reset();
        clip_dirty_ = true;
      }
      break;
    case Emr::SelectClipPath: SelectClipPath(r.U32()); break;

    // Lines, shapes and paths.
    case Emr::LineTo: {
      const double x = r.I32(), y = r.I32();
      LineTo({x, y});
      break;
    }
    case Emr::Rectangle: Rectangle(r); break;
    case Emr::RoundRect: RoundRect(r); break;
    case Emr::Ellipse: Ellipse(r); break;
    case Emr::Arc: ArcFamily(record, 0); break;
    case Emr::Chord: ArcFamily(record, 1); break;
    case Emr::Pie: ArcFamily(record, 2); break;
    case Emr::ArcTo: ArcFamily(record, 3); break;
    case Emr::AngleArc: AngleArc(r); break;
    case Emr::SetPixelV: SetPixel(r); break;
    case Emr::PolyBezier: Poly(r, false, 0); break;
    case Emr::Polygon: Poly(r, false, 1); break;
    case Emr::Polyline: Poly(r, false, 2); break;
    case Emr::PolyBezierTo: Poly(r, false, 3); break;
    case Emr::PolylineTo: Poly(r, false, 4); break;
    case Emr::PolyBezier16: Poly(r, true, 0); break;
    case Emr::Polygon16: Poly(r, true, 1); break;
    case Emr::Polyline16: Poly(r, true, 2); break;
    case Emr::PolyBezierTo16: Poly(r, true, 3); break;
    case Emr::PolylineTo16: Poly(r, true, 4); break;
    case Emr::PolyPolyline: PolyPoly(r, false, false); break;
    case Emr::PolyPolygon: PolyPoly(r, false, true); break;
    case Emr::PolyPolyline16: PolyPoly(r, true, false); break;
    case Emr::PolyPolygon16: PolyPoly(r, true, true); break;
    case Emr::PolyDraw: PolyDraw(r, false); break;
    case Emr::PolyDraw16: PolyDraw(r, true); break;
    case Emr::BeginPath:
    case Emr::EndPath:
    case Emr::CloseFigure:
    case Emr::FillPath:
    case Emr::StrokeAndFillPath:
    case Emr::StrokePath:
    case Emr::FlattenPath:
    case Emr::WidenPath:
    case Emr::AbortPath:
      PathRecord(type);
      break;
    case Emr::FillRgn:
    case Emr::FrameRgn:
    case Emr::InvertRgn:
    case Emr::PaintRgn:
      RegionRecord(record, type);
      break;
    case Emr::GradientFill: GradientFill(r); break;

    // Text.
    case Emr::ExtTextOutW: ExtTextOut(record, true); break;
    case Emr::ExtTextOutA: ExtTextOut(record, false); break;
    case Emr::PolyTextOutW: PolyTextOut(record, true); break;
    case Emr::PolyTextOutA: PolyTextOut(record, false); break;
    case Emr::SmallTextOut: SmallTextOut(record); break;

    // Pictures.
    case Emr::BitBlt:
    case Emr::StretchBlt:
    case Emr::AlphaBlend:
    case Emr::TransparentBlt:
      BitBlt(record, type);
      break;
    case Emr::MaskBlt: MaskBlt(record); break;
    case Emr::PlgBlt: PlgBlt(record); break;
    case Emr::StretchDIBits: StretchDiBits(record); break;
    case Emr::SetDIBitsToDevice: SetDiBitsToDevice(record); break;

    default:
      // Palettes, colour management, comments (EMF+ included) and the rest
      // draw nothing.
      break;
  }
}

}  // namespace pravel::gdi
