#include "platform/gdi/emf_recorder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <stdexcept>

namespace pravel::gdi {

namespace {

constexpr std::uint32_t kHeaderSize = 108;
constexpr std::uint32_t kTextFixedSize = 76;  // EXTTEXTOUT up to its string
constexpr double kPi = 3.14159265358979323846;

std::size_t Padded(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

std::int32_t ClampToInt(double v) {
  if (std::isnan(v)) return 0;
  v = std::round(v);
  if (v <= std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  if (v >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(v);
}

void AppendRect(Bytes& out, const RectL& r) {
  AppendI32(out, r.left);
  AppendI32(out, r.top);
  AppendI32(out, r.right);
  AppendI32(out, r.bottom);
}

bool FitsShort(EmfPoint p) {
  constexpr std::int32_t lo = std::numeric_limits<std::int16_t>::min();
  constexpr std::int32_t hi = std::numeric_limits<std::int16_t>::max();
  return p.x >= lo && p.x <= hi && p.y >= lo && p.y <= hi;
}

bool UseShortPoints(std::span<const EmfPoint> points, EmfRecorder::PointSize size) {
  const bool fit = std::all_of(points.begin(), points.end(), FitsShort);
  if (size == EmfRecorder::PointSize::Short && !fit)
    throw std::invalid_argument("EmfRecorder: point outside the 16-bit range");
  return size == EmfRecorder::PointSize::Short || (size == EmfRecorder::PointSize::Auto && fit);
}

void AppendPoints(Bytes& out, std::span<const EmfPoint> points, bool short_points) {
  for (const EmfPoint& p : points) {
    if (short_points) {
      AppendI16(out, static_cast<std::int16_t>(p.x));
      AppendI16(out, static_cast<std::int16_t>(p.y));
    } else {
      AppendI32(out, p.x);
      AppendI32(out, p.y);
    }
  }
}

// The points in logical units, after `first` when there is one.
std::vector<PointD> ToLogical(std::span<const EmfPoint> points, std::optional<PointD> first = std::nullopt) {
  std::vector<PointD> out;
  out.reserve(points.size() + 1);
  if (first) out.push_back(*first);
  for (const EmfPoint& p : points) out.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
  return out;
}

void AppendUtf16(Bytes& out, std::u16string_view text) {
  for (char16_t c : text) AppendU16(out, c);
}

// Decodes UTF-8; a byte that starts no valid sequence becomes U+FFFD.
std::u32string DecodeUtf8(std::string_view s) {
  std::u32string out;
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t c = 0;
    char32_t min = 0;
    if (b < 0x80) {
      c = b;
    } else if ((b & 0xE0) == 0xC0) {
      extra = 1;
      c = b & 0x1F;
      min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2;
      c = b & 0x0F;
      min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3;
      c = b & 0x07;
      min = 0x10000;
    } else {
      extra = -1;  // continuation or invalid lead byte
    }
    bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < s.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto cont = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((cont & 0xC0) != 0x80) ok = false;
      c = (c << 6) | (cont & 0x3F);
    }
    if (ok && (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) ok = false;
    if (ok) {
      out.push_back(c);
      i += static_cast<std::size_t>(extra) + 1;
    } else {
      out.push_back(0xFFFD);
      ++i;
    }
  }
  return out;
}

void AppendCodePoint(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  for (char32_t c : DecodeUtf8(s)) AppendCodePoint(out, c);
  return out;
}

using Matrix = std::array<double, 6>;

// First a, then b.
Matrix Then(const Matrix& a, const Matrix& b) {
  return {a[0] * b[0] + a[1] * b[2], a[0] * b[1] + a[1] * b[3],        a[2] * b[0] + a[3] * b[2],
          a[2] * b[1] + a[3] * b[3], a[4] * b[0] + a[5] * b[2] + b[4], a[4] * b[1] + a[5] * b[3] + b[5]};
}

Matrix ToMatrix(const EmfXForm& x) { return {x.m11, x.m12, x.m21, x.m22, x.dx, x.dy}; }

}  // namespace

LogFontW LogFontFromFont(const Font& font, int pixels_per_inch) {
  LogFontW lf;
  lf.height = -static_cast<std::int32_t>(std::lround(font.Size * pixels_per_inch / 72.0));
  lf.weight = font.Bold() ? 700 : 400;
  lf.italic = font.Italic();
  lf.underline = (font.Style & kFontUnderline) != 0;
  lf.strike_out = (font.Style & kFontStrikeOut) != 0;
  lf.charset = font.Charset;
  lf.face = Utf8ToUtf16(font.Name);
  return lf;
}

EmfRecorder::EmfRecorder(std::int32_t width, std::int32_t height, std::u16string_view page_name) : objects_(1) {
  if (width <= 0 || height <= 0) throw std::invalid_argument("EmfRecorder: empty picture size");
  state_.font.kind = Emr::ExtCreateFontIndirectW;
  state_.font.font_height = 16;  // the system font's cell

  std::u16string description;
  if (!page_name.empty()) {
    description = u"Pravel";
    description.push_back(0);
    description.append(page_name);
    description.append(2, 0);
  }
  const std::size_t header_size = kHeaderSize + Padded(description.size() * 2);
  AppendU32(out_, static_cast<std::uint32_t>(Emr::Header));
  AppendU32(out_, static_cast<std::uint32_t>(header_size));
  out_.resize(out_.size() + 16, 0);  // rclBounds, filled by Finish
  // rclFrame in 0.01 mm, chosen so that the frame converts back to exactly
  // width x height reference pixels.
  const auto frame = [](std::int32_t pixels, std::int32_t device, std::int32_t mm) {
    return ClampToInt(static_cast<double>(pixels) * mm * 100.0 / device);
  };
  AppendRect(out_, {0, 0, frame(width, kDevicePixels.cx, kDeviceMillimeters.cx),
                    frame(height, kDevicePixels.cy, kDeviceMillimeters.cy)});
  AppendU32(out_, kEmfSignature);
  AppendU32(out_, 0x10000);  // nVersion
  AppendU32(out_, 0);        // nBytes, nRecords, nHandles + reserved: filled by Finish
  AppendU32(out_, 0);
  AppendU32(out_, 0);
  AppendU32(out_, static_cast<std::uint32_t>(description.size()));
  AppendU32(out_, description.empty() ? 0 : kHeaderSize);
  AppendU32(out_, 0);  // nPalEntries
  AppendI32(out_, kDevicePixels.cx);
  AppendI32(out_, kDevicePixels.cy);
  AppendI32(out_, kDeviceMillimeters.cx);
  AppendI32(out_, kDeviceMillimeters.cy);
  AppendU32(out_, 0);  // cbPixelFormat, offPixelFormat, bOpenGL
  AppendU32(out_, 0);
  AppendU32(out_, 0);
  AppendI32(out_, kDeviceMillimeters.cx * 1000);
  AppendI32(out_, kDeviceMillimeters.cy * 1000);
  AppendUtf16(out_, description);
  out_.resize(header_size, 0);
}

// ---------------------------------------------------------------- records

void EmfRecorder::CheckOpen() const {
  if (finished_) throw std::logic_error("EmfRecorder: used after Finish");
}

void EmfRecorder::Emit(Emr type, const Bytes& fields) {
  CheckOpen();
  const std::size_t size = 8 + Padded(fields.size());
  if (out_.size() + size + 20 > std::numeric_limits<std::uint32_t>::max())
    throw std::length_error("EmfRecorder: metafile over 4 GiB");
  AppendU32(out_, static_cast<std::uint32_t>(type));
  AppendU32(out_, static_cast<std::uint32_t>(size));
  out_.insert(out_.end(), fields.begin(), fields.end());
  out_.resize(out_.size() + (Padded(fields.size()) - fields.size()), 0);
  ++records_;
}

void EmfRecorder::EmitU32(Emr type, std::uint32_t value) {
  Bytes f;
  AppendU32(f, value);
  Emit(type, f);
}

void EmfRecorder::EmitPoint(Emr type, std::int32_t x, std::int32_t y) {
  Bytes f;
  AppendI32(f, x);
  AppendI32(f, y);
  Emit(type, f);
}

void EmfRecorder::EmitRect(Emr type, const RectL& rect) {
  Bytes f;
  AppendRect(f, rect);
  Emit(type, f);
}

void EmfRecorder::AppendRecord(std::uint32_t type, ByteSpan fields) {
  if (type == static_cast<std::uint32_t>(Emr::Header) || type == static_cast<std::uint32_t>(Emr::Eof))
    throw std::invalid_argument("EmfRecorder: header and EOF records are written by the recorder");
  Emit(static_cast<Emr>(type), Bytes(fields.begin(), fields.end()));
}

Metafile EmfRecorder::Finish() {
  Bytes eof;
  AppendU32(eof, 0);   // nPalEntries
  AppendU32(eof, 16);  // offPalEntries
  AppendU32(eof, 20);  // nSizeLast
  Emit(Emr::Eof, eof);
  finished_ = true;

  const Box b = bounds_.Empty() ? Box{} : bounds_;
  const RectL bounds{ClampToInt(b.left), ClampToInt(b.top), ClampToInt(b.right), ClampToInt(b.bottom)};
  StoreU32(out_, 8, static_cast<std::uint32_t>(bounds.left));
  StoreU32(out_, 12, static_cast<std::uint32_t>(bounds.top));
  StoreU32(out_, 16, static_cast<std::uint32_t>(bounds.right));
  StoreU32(out_, 20, static_cast<std::uint32_t>(bounds.bottom));
  StoreU32(out_, 48, static_cast<std::uint32_t>(out_.size()));
  StoreU32(out_, 52, records_);
  StoreU32(out_, 56, static_cast<std::uint32_t>(objects_.size()));  // nHandles, reserved 0
  return Metafile::FromBytes(std::move(out_));
}

// ---------------------------------------------------------------- bounds

PointD EmfRecorder::ToDevice(PointD p) const {
  const Matrix& w = state_.world;
  const double wx = w[0] * p.x + w[2] * p.y + w[4];
  const double wy = w[1] * p.x + w[3] * p.y + w[5];
  const double sx = state_.page.window_ext.x != 0 ? state_.page.viewport_ext.x / state_.page.window_ext.x : 1;
  const double sy = state_.page.window_ext.y != 0 ? state_.page.viewport_ext.y / state_.page.window_ext.y : 1;
  return {(wx - state_.page.window_org.x) * sx + state_.page.viewport_org.x,
          (wy - state_.page.window_org.y) * sy + state_.page.viewport_org.y};
}

double EmfRecorder::DeviceScale() const {
  const PointD o = ToDevice({0, 0}), x = ToDevice({1, 0}), y = ToDevice({0, 1});
  const double det = (x.x - o.x) * (y.y - o.y) - (x.y - o.y) * (y.x - o.x);
  return std::sqrt(std::fabs(det));
}

EmfRecorder::Box EmfRecorder::DeviceBox(std::span<const PointD> logical) const {
  Box box;
  bool first = true;
  for (const PointD& p : logical) {
    const PointD d = ToDevice(p);
    if (first) {
      box = {d.x, d.y, d.x, d.y};
      first = false;
    } else {
      box = {std::min(box.left, d.x), std::min(box.top, d.y), std::max(box.right, d.x), std::max(box.bottom, d.y)};
    }
  }
  return box;
}

double EmfRecorder::PenOverhang() const {
  if (state_.pen.pen_null) return 0;
  const double width = state_.pen.pen_width == 0 ? 1 : state_.pen.pen_width * DeviceScale();
  return std::floor(width / 2);
}

EmfRecorder::Box EmfRecorder::AreaBox(const RectL& r, bool with_pen) const {
  const PointD corners[] = {{static_cast<double>(r.left), static_cast<double>(r.top)},
                            {static_cast<double>(r.right), static_cast<double>(r.top)},
                            {static_cast<double>(r.left), static_cast<double>(r.bottom)},
                            {static_cast<double>(r.right), static_cast<double>(r.bottom)}};
  const Box d = DeviceBox(corners);
  const double pen = with_pen ? PenOverhang() : 0;
  // The interior spans left..right-1 and top..bottom-1.
  return {std::round(d.left) - pen, std::round(d.top) - pen, std::round(d.right) - 1 + pen,
          std::round(d.bottom) - 1 + pen};
}

EmfRecorder::Box EmfRecorder::LineBox(std::span<const PointD> logical) const {
  if (logical.empty()) return {};
  const Box d = DeviceBox(logical);
  const double pen = PenOverhang();
  return {std::round(d.left) - pen, std::round(d.top) - pen, std::round(d.right) + pen, std::round(d.bottom) + pen};
}

void EmfRecorder::AddDrawn(const Box& box) {
  if (box.Empty()) return;
  Box& target = in_path_ ? path_box_ : bounds_;
  if (target.Empty()) {
    target = box;
  } else {
    target = {std::min(target.left, box.left), std::min(target.top, box.top), std::max(target.right, box.right),
              std::max(target.bottom, box.bottom)};
  }
}

void EmfRecorder::AppendBox(Bytes& out, const Box& box) {
  AppendI32(out, ClampToInt(box.left));
  AppendI32(out, ClampToInt(box.top));
  AppendI32(out, ClampToInt(box.right));
  AppendI32(out, ClampToInt(box.bottom));
}

// ---------------------------------------------------------------- objects

EmfRecorder::Handle EmfRecorder::AllocHandle(const ObjectInfo& info) {
  CheckOpen();
  for (std::size_t i = 1; i < objects_.size(); ++i) {
    if (!objects_[i]) {
      objects_[i] = info;
      return static_cast<Handle>(i);
    }
  }
  if (objects_.size() > std::numeric_limits<std::uint16_t>::max() - 1)
    throw std::length_error("EmfRecorder: handle table full");
  objects_.emplace_back(info);
  return static_cast<Handle>(objects_.size() - 1);
}

EmfRecorder::Handle EmfRecorder::CreatePen(LineStyle style, std::int32_t width, std::uint32_t color) {
  ObjectInfo info;
  info.pen_width = std::abs(static_cast<double>(width));
  info.pen_null = style == LineStyle::Null;
  const Handle h = AllocHandle(info);
  Bytes f;
  AppendU32(f, h);
  AppendU32(f, ToUnderlying(style));
  AppendI32(f, width);  // Width is a POINTL whose y is unused
  AppendI32(f, 0);
  AppendU32(f, color);
  Emit(Emr::CreatePen, f);
  return h;
}

EmfRecorder::Handle EmfRecorder::ExtCreatePen(std::uint32_t style, std::uint32_t width, BrushStyle brush_style,
                                              std::uint32_t color, std::uint32_t hatch,
                                              std::span<const std::uint32_t> dashes) {
  ObjectInfo info;
  info.pen_width = IsGeometricPen(style) ? width : 0;
  info.pen_null = LineStyleOf(style) == LineStyle::Null;
  const Handle h = AllocHandle(info);
  const auto size = static_cast<std::uint32_t>(8 + 44 + 4 * dashes.size());
  Bytes f;
  AppendU32(f, h);
  AppendU32(f, size);  // offBmi, cbBmi, offBits, cbBits: no bitmap
  AppendU32(f, 0);
  AppendU32(f, size);
  AppendU32(f, 0);
  AppendU32(f, style);
  AppendU32(f, width);
  AppendU32(f, ToUnderlying(brush_style));
  AppendU32(f, color);
  AppendU32(f, hatch);
  AppendU32(f, static_cast<std::uint32_t>(dashes.size()));
  for (std::uint32_t d : dashes) AppendU32(f, d);
  Emit(Emr::ExtCreatePen, f);
  return h;
}

EmfRecorder::Handle EmfRecorder::CreateBrushIndirect(BrushStyle style, std::uint32_t color, std::uint32_t hatch) {
  ObjectInfo info;
  info.kind = Emr::CreateBrushIndirect;
  const Handle h = AllocHandle(info);
  Bytes f;
  AppendU32(f, h);
  AppendU32(f, ToUnderlying(style));
  AppendU32(f, color);
  AppendU32(f, hatch);
  Emit(Emr::CreateBrushIndirect, f);
  return h;
}

EmfRecorder::Handle EmfRecorder::CreateFont(const LogFontW& font) {
  ObjectInfo info;
  info.kind = Emr::ExtCreateFontIndirectW;
  info.font_height = font.height;
  info.font_escapement = font.escapement;
  const Handle h = AllocHandle(info);
  Bytes f;
  AppendU32(f, h);
  // LOGFONTW
  AppendI32(f, font.height);
  AppendI32(f, font.width);
  AppendI32(f, font.escapement);
  AppendI32(f, font.orientation);
  AppendI32(f, font.weight);
  AppendU8(f, font.italic ? 1 : 0);
  AppendU8(f, font.underline ? 1 : 0);
  AppendU8(f, font.strike_out ? 1 : 0);
  AppendU8(f, font.charset);
  AppendU8(f, font.out_precision);
  AppendU8(f, font.clip_precision);
  AppendU8(f, font.quality);
  AppendU8(f, font.pitch_and_family);
  const std::size_t face = std::min<std::size_t>(font.face.size(), 31);
  for (std::size_t i = 0; i < 32; ++i) AppendU16(f, i < face ? font.face[i] : u'\0');
  // The rest of LOGFONTEXDV: full name, style, script (empty), and a
  // design vector without axes.
  f.resize(f.size() + 128 + 64 + 64, 0);
  AppendU32(f, 0x08007664);
  AppendU32(f, 0);
  Emit(Emr::ExtCreateFontIndirectW, f);
  return h;
}

void EmfRecorder::SelectObject(Handle handle) {
  CheckOpen();
  if (IsStockHandle(handle)) {
    const Stock stock = StockIdOf(handle);
    if (!IsAssignedStockObject(stock)) throw std::invalid_argument("EmfRecorder: unknown stock object");
    if (stock >= Stock::WhitePen && stock <= Stock::NullPen) {
      state_.pen = ObjectInfo{};
      state_.pen.pen_null = stock == Stock::NullPen;
    } else if (stock == Stock::DcPen) {
      state_.pen = ObjectInfo{};
    } else if (stock >= Stock::OemFixedFont && stock != Stock::DefaultPalette && stock != Stock::DcBrush) {
      state_.font = ObjectInfo{Emr::ExtCreateFontIndirectW, 0, false, 16, 0};
    }
  } else {
    if (handle == 0 || handle >= objects_.size() || !objects_[handle])
      throw std::invalid_argument("EmfRecorder: unknown object handle");
    const ObjectInfo& info = *objects_[handle];
    if (info.kind == Emr::CreatePen) state_.pen = info;
    if (info.kind == Emr::ExtCreateFontIndirectW) state_.font = info;
  }
  EmitU32(Emr::SelectObject, handle);
}

void EmfRecorder::DeleteObject(Handle handle) {
  CheckOpen();
  if (IsStockHandle(handle)) return;
  if (handle == 0 || handle >= objects_.size() || !objects_[handle])
    throw std::invalid_argument("EmfRecorder: unknown object handle");
  objects_[handle].reset();
  EmitU32(Emr::DeleteObject, handle);
}

// ---------------------------------------------------------------- state

void EmfRecorder::SetTextColor(std::uint32_t color) { EmitU32(Emr::SetTextColor, color); }

void EmfRecorder::SetBkColor(std::uint32_t color) {
  EmitU32(Emr::SetBkColor, color);
  state_.bk_color = color;
}

void EmfRecorder::SetBkMode(BackgroundMode mode) { EmitU32(Emr::SetBkMode, ToUnderlying(mode)); }

void EmfRecorder::SetTextAlign(std::uint32_t align) {
  EmitU32(Emr::SetTextAlign, align);
  state_.text_align = align;
}

void EmfRecorder::SetPolyFillMode(PolyFillMode mode) { EmitU32(Emr::SetPolyFillMode, ToUnderlying(mode)); }
void EmfRecorder::SetRop2(std::uint32_t rop2) { EmitU32(Emr::SetRop2, rop2); }
void EmfRecorder::SetStretchBltMode(StretchMode mode) { EmitU32(Emr::SetStretchBltMode, ToUnderlying(mode)); }
void EmfRecorder::SetArcDirection(ArcDirection direction) { EmitU32(Emr::SetArcDirection, ToUnderlying(direction)); }

void EmfRecorder::SetExtents(MapMode mode) {
  // The fixed modes measure on the reference device; MM_ISOTROPIC starts
  // from MM_LOMETRIC's extents (the player measures on its own device and
  // leaves MM_ISOTROPIC's extents alone, as playing GDI does).
  PageMapping& page = state_.page;
  if (mode == MapMode::Text) {
    page.window_ext = page.viewport_ext = {1, 1};
    return;
  }
  const double units_per_mm = UnitsPerMillimetre(mode == MapMode::Isotropic ? MapMode::LoMetric : mode);
  if (units_per_mm == 0) return;  // MM_ANISOTROPIC keeps the extents in force
  page.window_ext = {kDeviceMillimeters.cx * units_per_mm, kDeviceMillimeters.cy * units_per_mm};
  page.viewport_ext = {static_cast<double>(kDevicePixels.cx), -static_cast<double>(kDevicePixels.cy)};
}

void EmfRecorder::SetMapMode(MapMode mode) {
  EmitU32(Emr::SetMapMode, ToUnderlying(mode));
  if (mode < MapMode::Text || mode > MapMode::Anisotropic) return;
  state_.page.mode = mode;
  SetExtents(mode);
}

// Unlike the player, the recorder keeps the adjusted viewport extent, to
// the fraction.
void EmfRecorder::FixIsotropic() {
  PageMapping& page = state_.page;
  if (page.mode != MapMode::Isotropic) return;
  page.viewport_ext = IsotropicViewportExtent(page.window_ext, page.viewport_ext, ExtentRounding::Exact);
}

void EmfRecorder::SetOrigin(Emr type, PointD& origin, std::int32_t x, std::int32_t y) {
  EmitPoint(type, x, y);
  origin = {static_cast<double>(x), static_cast<double>(y)};
}

void EmfRecorder::SetExtent(Emr type, PointD& extent, std::int32_t cx, std::int32_t cy) {
  EmitPoint(type, cx, cy);
  if (!AcceptsExtent(state_.page, cx, cy)) return;
  extent = {static_cast<double>(cx), static_cast<double>(cy)};
  FixIsotropic();
}

void EmfRecorder::SetWindowOrgEx(std::int32_t x, std::int32_t y) {
  SetOrigin(Emr::SetWindowOrgEx, state_.page.window_org, x, y);
}
void EmfRecorder::SetWindowExtEx(std::int32_t cx, std::int32_t cy) {
  SetExtent(Emr::SetWindowExtEx, state_.page.window_ext, cx, cy);
}
void EmfRecorder::SetViewportOrgEx(std::int32_t x, std::int32_t y) {
  SetOrigin(Emr::SetViewportOrgEx, state_.page.viewport_org, x, y);
}
void EmfRecorder::SetViewportExtEx(std::int32_t cx, std::int32_t cy) {
  SetExtent(Emr::SetViewportExtEx, state_.page.viewport_ext, cx, cy);
}

void EmfRecorder::ScaleExtent(Emr type, PointD& extent, std::int32_t x_num, std::int32_t x_denom, std::int32_t y_num,
                              std::int32_t y_denom) {
  Bytes f;
  for (std::int32_t v : {x_num, x_denom, y_num, y_denom}) AppendI32(f, v);
  Emit(type, f);
  if (!HasScalableExtents(state_.page.mode) || x_num == 0 || x_denom == 0 || y_num == 0 || y_denom == 0) return;
  extent = {extent.x * x_num / x_denom, extent.y * y_num / y_denom};
  FixIsotropic();
}

void EmfRecorder::ScaleWindowExtEx(std::int32_t x_num, std::int32_t x_denom, std::int32_t y_num, std::int32_t y_denom) {
  ScaleExtent(Emr::ScaleWindowExtEx, state_.page.window_ext, x_num, x_denom, y_num, y_denom);
}

void EmfRecorder::ScaleViewportExtEx(std::int32_t x_num, std::int32_t x_denom, std::int32_t y_num,
                                     std::int32_t y_denom) {
  ScaleExtent(Emr::ScaleViewportExtEx, state_.page.viewport_ext, x_num, x_denom, y_num, y_denom);
}

void EmfRecorder::AppendXForm(Bytes& out, const EmfXForm& x) {
  for (float v : {x.m11, x.m12, x.m21, x.m22, x.dx, x.dy}) AppendF32(out, v);
}

void EmfRecorder::SetWorldTransform(const EmfXForm& xform) {
  Bytes f;
  AppendXForm(f, xform);
  Emit(Emr::SetWorldTransform, f);
  state_.world = ToMatrix(xform);
}

void EmfRecorder::ModifyWorldTransform(const EmfXForm& xform, WorldTransformMode mode) {
  Bytes f;
  AppendXForm(f, xform);
  AppendU32(f, ToUnderlying(mode));
  Emit(Emr::ModifyWorldTransform, f);
  switch (mode) {
    case WorldTransformMode::Identity: state_.world = {1, 0, 0, 1, 0, 0}; break;
    case WorldTransformMode::LeftMultiply: state_.world = Then(ToMatrix(xform), state_.world); break;
    case WorldTransformMode::RightMultiply: state_.world = Then(state_.world, ToMatrix(xform)); break;
    case WorldTransformMode::Set: state_.world = ToMatrix(xform); break;
  }
}

void EmfRecorder::SaveDC() {
  Emit(Emr::SaveDC, {});
  saved_.push_back(state_);
}

void EmfRecorder::RestoreDC(std::int32_t saved) {
  EmitU32(Emr::RestoreDC, static_cast<std::uint32_t>(saved));
  const auto depth = static_cast<std::int64_t>(saved_.size());
  const std::int64_t keep = saved < 0 ? depth + saved : std::int64_t{saved} - 1;
  if (saved == 0 || keep < 0 || keep >= depth) return;  // names no saved state
  state_ = saved_[static_cast<std::size_t>(keep)];
  saved_.resize(static_cast<std::size_t>(keep));
}

// ---------------------------------------------------------------- clipping

void EmfRecorder::IntersectClipRect(const RectL& rect) { EmitRect(Emr::IntersectClipRect, rect); }
void EmfRecorder::ExcludeClipRect(const RectL& rect) { EmitRect(Emr::ExcludeClipRect, rect); }
void EmfRecorder::OffsetClipRgn(std::int32_t dx, std::int32_t dy) { EmitPoint(Emr::OffsetClipRgn, dx, dy); }

void EmfRecorder::ExtSelectClipRgn(std::span<const RectL> rects, RegionMode mode) {
  Bytes f;
  if (rects.empty()) {
    AppendU32(f, 0);
    AppendU32(f, ToUnderlying(mode));
    Emit(Emr::ExtSelectClipRgn, f);
    return;
  }
  RectL bound = rects.front();
  for (const RectL& r : rects) {
    bound = {std::min(bound.left, r.left), std::min(bound.top, r.top), std::max(bound.right, r.right),
             std::max(bound.bottom, r.bottom)};
  }
  const auto rect_bytes = static_cast<std::uint32_t>(16 * rects.size());
  AppendU32(f, 32 + rect_bytes);  // RgnDataSize
  AppendU32(f, ToUnderlying(mode));
  AppendU32(f, 32);  // RegionDataHeader: size, RDH_RECTANGLES, count, rectangle bytes, bounds
  AppendU32(f, 1);
  AppendU32(f, static_cast<std::uint32_t>(rects.size()));
  AppendU32(f, rect_bytes);
  AppendRect(f, bound);
  for (const RectL& r : rects) AppendRect(f, r);
  Emit(Emr::ExtSelectClipRgn, f);
}

void EmfRecorder::SelectClipPath(RegionMode mode) {
  EmitU32(Emr::SelectClipPath, ToUnderlying(mode));
  path_box_ = {};
}

// ---------------------------------------------------------------- drawing

void EmfRecorder::MoveTo(std::int32_t x, std::int32_t y) {
  EmitPoint(Emr::MoveToEx, x, y);
  state_.position = {static_cast<double>(x), static_cast<double>(y)};
}

void EmfRecorder::LineTo(std::int32_t x, std::int32_t y) {
  EmitPoint(Emr::LineTo, x, y);
  const PointD line[] = {state_.position, {static_cast<double>(x), static_cast<double>(y)}};
  AddDrawn(LineBox(line));
  state_.position = line[1];
}

void EmfRecorder::Shape(Emr type, const RectL& box, std::span<const std::int32_t> extra) {
  Bytes f;
  AppendRect(f, box);
  for (std::int32_t v : extra) AppendI32(f, v);
  Emit(type, f);
  AddDrawn(AreaBox(box, true));
}

void EmfRecorder::Rectangle(const RectL& box) { Shape(Emr::Rectangle, box); }
void EmfRecorder::Ellipse(const RectL& box) { Shape(Emr::Ellipse, box); }
void EmfRecorder::RoundRect(const RectL& box, SizeL corner) {
  const std::int32_t extra[] = {corner.cx, corner.cy};
  Shape(Emr::RoundRect, box, extra);
}
void EmfRecorder::Arc(const RectL& box, EmfPoint start, EmfPoint end) {
  const std::int32_t extra[] = {start.x, start.y, end.x, end.y};
  Shape(Emr::Arc, box, extra);
}
void EmfRecorder::Pie(const RectL& box, EmfPoint start, EmfPoint end) {
  const std::int32_t extra[] = {start.x, start.y, end.x, end.y};
  Shape(Emr::Pie, box, extra);
}
void EmfRecorder::Chord(const RectL& box, EmfPoint start, EmfPoint end) {
  const std::int32_t extra[] = {start.x, start.y, end.x, end.y};
  Shape(Emr::Chord, box, extra);
}

void EmfRecorder::Poly(Emr type16, Emr type32, std::span<const EmfPoint> points, PointSize size, bool to_cp) {
  CheckOpen();
  const std::vector<PointD> logical = ToLogical(points, to_cp ? std::optional(state_.position) : std::nullopt);
  const Box box = LineBox(logical);
  const bool short_points = UseShortPoints(points, size);
  Bytes f;
  AppendBox(f, box);
  AppendU32(f, static_cast<std::uint32_t>(points.size()));
  AppendPoints(f, points, short_points);
  Emit(short_points ? type16 : type32, f);
  AddDrawn(box);
  if (to_cp && !points.empty()) state_.position = logical.back();
}

void EmfRecorder::Polyline(std::span<const EmfPoint> points, PointSize size) {
  Poly(Emr::Polyline16, Emr::Polyline, points, size, false);
}
void EmfRecorder::Polygon(std::span<const EmfPoint> points, PointSize size) {
  Poly(Emr::Polygon16, Emr::Polygon, points, size, false);
}
void EmfRecorder::PolyBezier(std::span<const EmfPoint> points, PointSize size) {
  Poly(Emr::PolyBezier16, Emr::PolyBezier, points, size, false);
}
void EmfRecorder::PolylineTo(std::span<const EmfPoint> points, PointSize size) {
  Poly(Emr::PolylineTo16, Emr::PolylineTo, points, size, true);
}
void EmfRecorder::PolyBezierTo(std::span<const EmfPoint> points, PointSize size) {
  Poly(Emr::PolyBezierTo16, Emr::PolyBezierTo, points, size, true);
}

void EmfRecorder::PolyPoly(Emr type16, Emr type32, std::span<const EmfPoint> points,
                           std::span<const std::uint32_t> counts, PointSize size) {
  CheckOpen();
  if (std::accumulate(counts.begin(), counts.end(), std::uint64_t{0}) != points.size())
    throw std::invalid_argument("EmfRecorder: polygon counts do not add up to the points");
  const std::vector<PointD> logical = ToLogical(points);
  const Box box = LineBox(logical);
  const bool short_points = UseShortPoints(points, size);
  Bytes f;
  AppendBox(f, box);
  AppendU32(f, static_cast<std::uint32_t>(counts.size()));
  AppendU32(f, static_cast<std::uint32_t>(points.size()));
  for (std::uint32_t c : counts) AppendU32(f, c);
  AppendPoints(f, points, short_points);
  Emit(short_points ? type16 : type32, f);
  AddDrawn(box);
}

void EmfRecorder::PolyPolygon(std::span<const EmfPoint> points, std::span<const std::uint32_t> counts, PointSize size) {
  PolyPoly(Emr::PolyPolygon16, Emr::PolyPolygon, points, counts, size);
}
void EmfRecorder::PolyPolyline(std::span<const EmfPoint> points, std::span<const std::uint32_t> counts,
                               PointSize size) {
  PolyPoly(Emr::PolyPolyline16, Emr::PolyPolyline, points, counts, size);
}

void EmfRecorder::SetPixelV(EmfPoint point, std::uint32_t color) {
  Bytes f;
  AppendI32(f, point.x);
  AppendI32(f, point.y);
  AppendU32(f, color);
  Emit(Emr::SetPixelV, f);
  const PointD d = ToDevice({static_cast<double>(point.x), static_cast<double>(point.y)});
  AddDrawn({std::floor(d.x), std::floor(d.y), std::floor(d.x), std::floor(d.y)});
}

// ---------------------------------------------------------------- paths

void EmfRecorder::BeginPath() {
  Emit(Emr::BeginPath, {});
  in_path_ = true;
  path_box_ = {};
}

void EmfRecorder::EndPath() {
  Emit(Emr::EndPath, {});
  in_path_ = false;
}

void EmfRecorder::CloseFigure() { Emit(Emr::CloseFigure, {}); }

void EmfRecorder::PathDraw(Emr type) {
  Bytes f;
  AppendBox(f, path_box_);
  Emit(type, f);
  const Box box = path_box_;
  path_box_ = {};
  in_path_ = false;
  AddDrawn(box);
}

void EmfRecorder::FillPath() { PathDraw(Emr::FillPath); }
void EmfRecorder::StrokePath() { PathDraw(Emr::StrokePath); }
void EmfRecorder::StrokeAndFillPath() { PathDraw(Emr::StrokeAndFillPath); }

// ---------------------------------------------------------------- text

EmfRecorder::Box EmfRecorder::TextBox(PointD origin, double advance_x, double advance_y) const {
  // Without font metrics the cell is estimated from the height: ascent and
  // descent of a typical face (0.905 and 0.212 em).
  const std::int32_t h = state_.font.font_height;
  double ascent = 0, descent = 0;
  if (h < 0) {
    ascent = -h * 0.905;
    descent = -h * 0.212;
  } else {
    const double cell = h == 0 ? 16 : h;
    ascent = cell * 0.81;
    descent = cell - ascent;
  }
  const std::uint32_t align = state_.text_align;
  double left = 0;
  if ((align & kTaCenter) == kTaCenter) {
    left = -advance_x / 2;
  } else if ((align & kTaRight) != 0) {
    left = -advance_x;
  }
  double top = 0;
  if ((align & kTaBaseline) == kTaBaseline) {
    top = -ascent;
  } else if ((align & kTaBottom) != 0) {
    top = -(ascent + descent);
  }
  const double right = left + advance_x;
  const double bottom = top + ascent + descent;
  // Corners relative to the reference point, turned by the escapement
  // (counter-clockwise on the page).
  const double angle = state_.font.font_escapement * kPi / 1800;
  const double c = std::cos(angle), s = std::sin(angle);
  std::vector<PointD> corners;
  for (double y_shift : {0.0, advance_y}) {
    for (PointD p : {PointD{left, top}, PointD{right, top}, PointD{left, bottom}, PointD{right, bottom}}) {
      p.y += y_shift;
      corners.push_back({origin.x + p.x * c + p.y * s, origin.y - p.x * s + p.y * c});
    }
  }
  const Box d = DeviceBox(corners);
  return {std::floor(d.left), std::floor(d.top), std::ceil(d.right) - 1, std::ceil(d.bottom) - 1};
}

void EmfRecorder::Text(Emr type, EmfPoint reference, ByteSpan string, std::size_t chars,
                       std::span<const std::int32_t> dx, std::uint32_t options, std::optional<RectL> rect) {
  CheckOpen();
  const bool pdy = (options & kEtoPdy) != 0;
  if (dx.size() != chars * (pdy ? 2 : 1)) throw std::invalid_argument("EmfRecorder: one advance per character needed");

  double advance_x = 0, advance_y = 0;
  for (std::size_t i = 0; i < dx.size(); ++i) (pdy && i % 2 ? advance_y : advance_x) += dx[i];
  const bool update_cp = (state_.text_align & kTaUpdateCp) != 0;
  const PointD origin =
      update_cp ? state_.position : PointD{static_cast<double>(reference.x), static_cast<double>(reference.y)};
  Box box = chars == 0 ? Box{} : TextBox(origin, advance_x, advance_y);
  if (rect && (options & kEtoClipped) != 0 && !box.Empty()) {
    const Box clip = AreaBox(*rect, false);
    box = {std::max(box.left, clip.left), std::max(box.top, clip.top), std::min(box.right, clip.right),
           std::min(box.bottom, clip.bottom)};
  }
  if (rect && (options & kEtoOpaque) != 0) {
    const Box fill = AreaBox(*rect, false);
    if (box.Empty()) {
      box = fill;
    } else if (!fill.Empty()) {
      box = {std::min(box.left, fill.left), std::min(box.top, fill.top), std::max(box.right, fill.right),
             std::max(box.bottom, fill.bottom)};
    }
  }

  const bool identity = state_.world == Matrix{1, 0, 0, 1, 0, 0};
  Bytes f;
  AppendBox(f, box.Empty() ? Box{} : box);
  AppendU32(f, identity ? 1 : 2);  // GM_COMPATIBLE, or GM_ADVANCED with a world transform
  // Page units to 0.01 mm, for the compatible mode.
  const double sx = std::fabs(state_.page.viewport_ext.x / state_.page.window_ext.x);
  const double sy = std::fabs(state_.page.viewport_ext.y / state_.page.window_ext.y);
  AppendF32(f, identity ? static_cast<float>(sx * kDeviceMillimeters.cx * 100 / kDevicePixels.cx) : 0);
  AppendF32(f, identity ? static_cast<float>(sy * kDeviceMillimeters.cy * 100 / kDevicePixels.cy) : 0);
  AppendI32(f, reference.x);
  AppendI32(f, reference.y);
  AppendU32(f, static_cast<std::uint32_t>(chars));
  AppendU32(f, kTextFixedSize);  // offString
  AppendU32(f, options);
  AppendRect(f, rect.value_or(RectL{0, 0, -1, -1}));
  AppendU32(f, static_cast<std::uint32_t>(kTextFixedSize + Padded(string.size())));  // offDx
  f.insert(f.end(), string.begin(), string.end());
  f.resize(Padded(f.size()), 0);
  for (std::int32_t d : dx) AppendI32(f, d);
  Emit(type, f);
  AddDrawn(box);

  if (update_cp) {
    const std::uint32_t align = state_.text_align;
    if ((align & kTaCenter) == kTaCenter) return;
    const double sign = (align & kTaRight) != 0 ? -1 : 1;
    state_.position.x += sign * advance_x;
    state_.position.y += sign * advance_y;
  }
}

void EmfRecorder::ExtTextOut(EmfPoint reference, std::u16string_view text, std::span<const std::int32_t> dx,
                             std::uint32_t options, std::optional<RectL> rect) {
  Bytes string;
  AppendUtf16(string, text);
  Text(Emr::ExtTextOutW, reference, string, text.size(), dx, options, rect);
}

void EmfRecorder::ExtTextOut(EmfPoint reference, std::string_view utf8, std::span<const std::int32_t> dx,
                             std::uint32_t options, std::optional<RectL> rect) {
  const std::u32string code_points = DecodeUtf8(utf8);
  const std::size_t per_char = (options & kEtoPdy) != 0 ? 2 : 1;
  if (dx.size() != code_points.size() * per_char)
    throw std::invalid_argument("EmfRecorder: one advance per character needed");
  std::u16string text;
  std::vector<std::int32_t> unit_dx;
  for (std::size_t i = 0; i < code_points.size(); ++i) {
    AppendCodePoint(text, code_points[i]);
    unit_dx.insert(unit_dx.end(), dx.begin() + static_cast<std::ptrdiff_t>(i * per_char),
                   dx.begin() + static_cast<std::ptrdiff_t>((i + 1) * per_char));
    if (code_points[i] >= 0x10000) unit_dx.resize(unit_dx.size() + per_char, 0);
  }
  ExtTextOut(reference, std::u16string_view(text), unit_dx, options, rect);
}

void EmfRecorder::ExtTextOutA(EmfPoint reference, ByteSpan text, std::span<const std::int32_t> dx,
                              std::uint32_t options, std::optional<RectL> rect) {
  Text(Emr::ExtTextOutA, reference, text, text.size(), dx, options, rect);
}

// ---------------------------------------------------------------- pictures

void EmfRecorder::StretchDIBits(const RectL& dest, const Bitmap& bitmap, std::uint32_t rop) {
  StretchDIBits(dest, {0, 0, bitmap.width, bitmap.height}, bitmap, rop);
}

void EmfRecorder::StretchDIBits(const RectL& dest, const RectL& source, const Bitmap& bitmap, std::uint32_t rop) {
  CheckOpen();
  const Bytes dib = EncodeDib24(bitmap);
  const Box box = AreaBox(dest, false);
  Bytes f;
  AppendBox(f, box);
  AppendI32(f, dest.left);
  AppendI32(f, dest.top);
  AppendI32(f, source.left);
  AppendI32(f, bitmap.height - source.bottom);  // rows of the bottom-up DIB count from the bottom
  AppendI32(f, source.right - source.left);
  AppendI32(f, source.bottom - source.top);
  const auto bmi_size = static_cast<std::uint32_t>(kBitmapInfoHeaderSize);
  AppendU32(f, 80);  // offBmiSrc
  AppendU32(f, bmi_size);
  AppendU32(f, 80 + bmi_size);  // offBitsSrc
  AppendU32(f, static_cast<std::uint32_t>(dib.size() - bmi_size));
  AppendU32(f, kDibRgbColors);
  AppendU32(f, rop);
  AppendI32(f, dest.right - dest.left);
  AppendI32(f, dest.bottom - dest.top);
  f.insert(f.end(), dib.begin(), dib.end());
  Emit(Emr::StretchDIBits, f);
  AddDrawn(box);
}

void EmfRecorder::BitBltRecord(const RectL& dest, std::uint32_t rop, EmfPoint source, const Bytes* dib) {
  CheckOpen();
  const Box box = AreaBox(dest, false);
  const auto bmi_size = static_cast<std::uint32_t>(dib ? kBitmapInfoHeaderSize : 0);
  Bytes f;
  AppendBox(f, box);
  AppendI32(f, dest.left);
  AppendI32(f, dest.top);
  AppendI32(f, dest.right - dest.left);
  AppendI32(f, dest.bottom - dest.top);
  AppendU32(f, rop);
  AppendI32(f, source.x);
  AppendI32(f, source.y);
  AppendXForm(f, EmfXForm{});
  AppendU32(f, state_.bk_color);
  AppendU32(f, kDibRgbColors);
  AppendU32(f, dib ? 100 : 0);  // offBmiSrc
  AppendU32(f, bmi_size);
  AppendU32(f, dib ? 100 + bmi_size : 0);  // offBitsSrc
  AppendU32(f, dib ? static_cast<std::uint32_t>(dib->size() - bmi_size) : 0);
  if (dib) f.insert(f.end(), dib->begin(), dib->end());
  Emit(Emr::BitBlt, f);
  AddDrawn(box);
}

void EmfRecorder::BitBlt(const RectL& dest, const Bitmap& bitmap, EmfPoint source, std::uint32_t rop) {
  CheckOpen();
  const Bytes dib = EncodeDib24(bitmap);
  BitBltRecord(dest, rop, source, &dib);
}

void EmfRecorder::BitBlt(const RectL& dest, std::uint32_t rop) { BitBltRecord(dest, rop, {}, nullptr); }

}  // namespace pravel::gdi
