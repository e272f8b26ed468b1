// Text records of the device-context emulation.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/gdi/charset.h"
#include "platform/gdi/player_impl.h"
#include "platform/gdi/shapes.h"

namespace pravel::gdi {

namespace {

constexpr std::uint32_t kEtoOpaque = Bits(TextOutOption::Opaque), kEtoClipped = Bits(TextOutOption::Clipped),
                        kEtoGlyphIndex = Bits(TextOutOption::GlyphIndex), kEtoNoRect = Bits(TextOutOption::NoRect),
                        kEtoSmallChars = Bits(TextOutOption::SmallChars), kEtoPdy = Bits(TextOutOption::Pdy);
constexpr std::uint32_t kTaUpdateCp = Bits(TextAlign::UpdateCp), kTaRight = Bits(TextAlign::Right),
                        kTaCenter = Bits(TextAlign::Center), kTaBottom = Bits(TextAlign::Bottom),
                        kTaBaseline = Bits(TextAlign::Baseline);

// One EMRTEXT: the string and advances, its offsets relative to the record.
struct EmrText {
  PointD reference;
  std::uint32_t options = 0;
  std::optional<RectD> rect;
  std::u16string text;
  std::vector<PointD> advances;  // logical units; empty when absent or unusable
};

EmrText ReadEmrText(const EmfRecord& record, ByteReader& r, bool wide, std::uint8_t charset) {
  EmrText t;
  const double x = r.I32(), y = r.I32();
  t.reference = {x, y};
  const std::uint32_t chars = r.U32();
  const std::uint32_t off_string = r.U32();
  t.options = r.U32();
  const double l = r.I32(), top = r.I32(), rt = r.I32(), b = r.I32();
  if (!(t.options & kEtoNoRect)) t.rect = RectD{l, top, rt, b};
  const std::uint32_t off_dx = r.U32();
  const std::size_t size = record.bytes.size();
  const std::uint64_t string_bytes = std::uint64_t{chars} * (wide ? 2 : 1);
  if (chars == 0) return t;
  if (!InBounds(size, off_string, string_bytes)) throw EMetafileError("text string outside its record");
  const ByteSpan s = record.bytes.subspan(off_string, static_cast<std::size_t>(string_bytes));
  if (wide) {
    t.text.reserve(chars);
    for (std::size_t k = 0; k < chars; ++k) t.text.push_back(static_cast<char16_t>(LoadU16(s, 2 * k)));
  } else {
    t.text = DecodeAnsi(s, charset);
  }
  const bool pdy = (t.options & kEtoPdy) != 0;
  const std::uint64_t dx_bytes = std::uint64_t{chars} * (pdy ? 8 : 4);
  if (off_dx != 0 && InBounds(size, off_dx, dx_bytes)) {
    t.advances.reserve(chars);
    for (std::size_t k = 0; k < chars; ++k) {
      if (pdy) {
        t.advances.push_back({static_cast<double>(LoadI32(record.bytes, off_dx + 8 * k)),
                              static_cast<double>(LoadI32(record.bytes, off_dx + 8 * k + 4))});
      } else {
        t.advances.push_back({static_cast<double>(LoadI32(record.bytes, off_dx + 4 * k)), 0});
      }
    }
  }
  return t;
}

// The device angle, in degrees counter-clockwise, of a logical angle given
// in tenths of a degree: GDI measures it as if the logical y axis ran down,
// then maps the direction through the transform.
double DeviceAngle(const XForm& t, std::int32_t tenths) {
  const double a = tenths / 10.0 * std::numbers::pi / 180;
  const PointD v = t.MapVector({std::cos(a), -std::sin(a)});
  if (v.x == 0 && v.y == 0) return tenths / 10.0;
  return std::atan2(-v.y, v.x) * 180 / std::numbers::pi;
}

// Fonts the surface may be asked to measure: sizes within drawing range.
bool Measurable(const FontSpec& f) noexcept {
  constexpr double kMaxSize = 1 << 30;
  return std::fabs(f.height) <= kMaxSize && std::fabs(f.width) <= kMaxSize && std::isfinite(f.escapement) &&
         std::isfinite(f.orientation);
}

TextAnchor AnchorOf(std::uint32_t align) noexcept {
  switch (align & kTaCenter) {
    case kTaCenter: return TextAnchor::Centre;
    case kTaRight: return TextAnchor::Right;
    default: return TextAnchor::Left;
  }
}

// Moves origins laid out from `reference` so that the anchor sits there.
void AlignHorizontally(std::vector<PointD>& origins, PointD reference, TextAnchor anchor) {
  if (anchor == TextAnchor::Left || origins.empty()) return;
  const PointD end = origins.back();
  const double f = anchor == TextAnchor::Right ? 1.0 : 0.5;
  const PointD shift{(end.x - reference.x) * f, (end.y - reference.y) * f};
  for (auto& o : origins) o = {o.x - shift.x, o.y - shift.y};
}

}  // namespace

// Lays out a run that has no advances with the surface's own, along the
// device baseline from `start`.
std::vector<PointD> Player::MeasuredOrigins(const TextRun& run, PointD start) {
  const TextMetrics metrics = surface_.MeasureText(run.font, run.text, run.glyph_indices);
  const double angle = run.font.escapement * std::numbers::pi / 180;
  const PointD u{std::cos(angle), -std::sin(angle)};
  double width = 0;
  for (const double a : metrics.advances) width += a;
  const double shift = run.anchor == TextAnchor::Right ? width : run.anchor == TextAnchor::Centre ? width / 2 : 0;
  start = {start.x - u.x * shift, start.y - u.y * shift};
  std::vector<PointD> origins;
  origins.reserve(run.text.size() + 1);
  double along = 0;
  for (std::size_t k = 0; k <= run.text.size(); ++k) {
    origins.push_back({start.x + u.x * along, start.y + u.y * along});
    if (k < metrics.advances.size()) along += metrics.advances[k];
  }
  return origins;
}

// Moves the origins from the reference line to the baseline: down by the
// ascent for top, up by the descent for bottom; any other vertical value
// keeps the baseline on the reference line.
void Player::ToBaseline(TextRun& run) {
  const std::uint32_t v = dc_.text_align & kTaBaseline;
  if (v != 0 && v != kTaBottom) return;
  const TextMetrics metrics = surface_.MeasureText(run.font, {}, run.glyph_indices);
  const double down = v == 0 ? metrics.ascent : -metrics.descent;
  const double angle = run.font.escapement * std::numbers::pi / 180;
  const PointD n{std::sin(angle), std::cos(angle)};
  for (auto& o : run.origins) o = {o.x + n.x * down, o.y + n.y * down};
}

FontSpec Player::ResolveFont() const {
  const LogFont& f = dc_.font;
  FontSpec s;
  s.face = f.face;
  s.weight = f.weight == 0 ? 400 : std::clamp(f.weight, 1, 1000);
  s.italic = f.italic;
  s.underline = f.underline;
  s.strike_out = f.strike_out;
  s.charset = f.charset;
  s.pitch_and_family = f.pitch_and_family;
  const double sy = DeviceScaleY();
  if (f.height < 0) {
    s.height = -static_cast<double>(f.height) * sy;
  } else if (f.height > 0) {
    s.height = f.height * sy;
    s.cell_height = true;
  } else {
    s.height = 16 * playback_.Scale();
    s.cell_height = true;
  }
  s.width = std::fabs(static_cast<double>(f.width)) * DeviceScaleX();
  s.escapement = DeviceAngle(to_device_, f.escapement);
  s.orientation = DeviceAngle(to_device_, f.orientation == 0 ? f.escapement : f.orientation);
  return s;
}

void Player::TextAt(PointD reference, std::u16string text, std::uint32_t options, const std::optional<RectD>& rect,
                    const std::vector<PointD>& advances) {
  const bool update_cp = (dc_.text_align & kTaUpdateCp) != 0;
  if (update_cp) reference = dc_.position;
  TextRun run;
  run.glyph_indices = (options & kEtoGlyphIndex) != 0;
  run.reference = ToDevice(reference);
  run.anchor = AnchorOf(dc_.text_align);
  run.font = ResolveFont();
  run.color = ColorRefToRgb(dc_.text_color);
  run.background = ColorRefToRgb(dc_.bk_color);
  run.opaque = dc_.bk_mode == BackgroundMode::Opaque;
  ApplyClip();
  const auto corners = [this](const RectD& r) {
    return std::array<PointD, 4>{ToDevice({r.left, r.top}), ToDevice({r.right, r.top}), ToDevice({r.right, r.bottom}),
                                 ToDevice({r.left, r.bottom})};
  };
  if (rect && (options & kEtoOpaque)) {
    run.opaque_rect = corners(*rect);
    Brush bk;
    bk.color = run.background;
    Path p;
    if (!to_device_.HasRotation()) {
      const PointD a = ToDeviceRounded({rect->left, rect->top}), b = ToDeviceRounded({rect->right, rect->bottom});
      p = RectPath({std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)});
    } else {
      const auto c = *run.opaque_rect;
      p.MoveTo(c[0]);
      p.LineTo(c[1]);
      p.LineTo(c[2]);
      p.LineTo(c[3]);
      p.Close();
    }
    if (MayFill(p)) surface_.FillPath(p, FillRule::Alternate, bk, Rop2::CopyPen);
  }
  if (text.empty()) return;
  std::optional<Region> saved_clip;
  bool clipped = false;
  if (rect && (options & kEtoClipped)) {
    run.clip_rect = corners(*rect);
    saved_clip = dc_.clip;
    clipped = true;
    CombineClip(RegionOfLogicalRect(*rect), RegionOp::And);
    ApplyClip();
  }
  if (!advances.empty()) {
    // Advances are logical lengths along the escapement (measured as if y ran
    // down), mapped through the transform: each axis keeps its own scale.
    const double angle = dc_.font.escapement / 10.0 * std::numbers::pi / 180;
    const PointD u{std::cos(angle), -std::sin(angle)}, n{std::sin(angle), std::cos(angle)};
    const std::size_t count = std::min(advances.size(), text.size());
    double along = 0, across = 0;
    run.origins.reserve(count + 1);
    for (std::size_t k = 0; k <= count; ++k) {
      const PointD d = to_device_.MapVector({u.x * along + n.x * across, u.y * along + n.y * across});
      run.origins.push_back({run.reference.x + d.x, run.reference.y + d.y});
      if (k < count) {
        along += advances[k].x;
        across += advances[k].y;
      }
    }
    text.resize(count);
    AlignHorizontally(run.origins, run.reference, run.anchor);
    if (update_cp) {
      dc_.position.x += along;
      dc_.position.y += across;
    }
  }
  run.text = std::move(text);
  if (Measurable(run.font)) {
    if (run.origins.empty()) {
      run.origins = MeasuredOrigins(run, run.reference);
      run.measured = true;
    }
    ToBaseline(run);
    if (MayDrawText(run)) surface_.DrawText(run);
  }
  if (clipped) {
    dc_.clip = std::move(saved_clip);
    clip_dirty_ = true;
  }
}

void Player::ExtTextOut(const EmfRecord& record, bool wide) {
  ByteReader r = record.Fields();
  r.Skip(16 + 12);  // rclBounds, iGraphicsMode, exScale, eyScale
  const EmrText t = ReadEmrText(record, r, wide, dc_.font.charset);
  TextAt(t.reference, t.text, t.options, t.rect, t.advances);
}

void Player::PolyTextOut(const EmfRecord& record, bool wide) {
  ByteReader r = record.Fields();
  r.Skip(16 + 12);
  const std::uint32_t strings = r.U32();
  if (std::uint64_t{strings} * 40 > r.Remaining()) throw EMetafileError("string count exceeds the record");
  for (std::uint32_t k = 0; k < strings; ++k) {
    const EmrText t = ReadEmrText(record, r, wide, dc_.font.charset);
    TextAt(t.reference, t.text, t.options, t.rect, t.advances);
  }
}

void Player::SmallTextOut(const EmfRecord& record) {
  ByteReader r = record.Fields();
  const double x = r.I32(), y = r.I32();
  const std::uint32_t chars = r.U32();
  const std::uint32_t options = r.U32();
  r.Skip(12);  // iGraphicsMode, exScale, eyScale
  std::optional<RectD> rect;
  if (!(options & kEtoNoRect)) {
    const double l = r.I32(), t = r.I32(), rt = r.I32(), b = r.I32();
    rect = RectD{l, t, rt, b};
  }
  std::u16string text;
  if (options & kEtoSmallChars) {
    text = DecodeAnsi(r.Take(chars), dc_.font.charset);
  } else {
    const ByteSpan s = r.Take(std::uint64_t{chars} * 2);
    for (std::size_t k = 0; k < chars; ++k) text.push_back(static_cast<char16_t>(LoadU16(s, 2 * k)));
  }
  TextAt({x, y}, std::move(text), options, rect, {});
}

}  // namespace pravel::gdi
