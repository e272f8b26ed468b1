#pragma once
// Records drawing calls into an enhanced metafile, as the platform's
// metafile canvas does, with a 96 pixel-per-inch screen as the reference
// device. Coordinates are logical units: reference pixels in the default
// MM_TEXT mode. Colours are COLORREFs, 0x00BBGGRR.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bytes.h"
#include "platform/font.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/emf_types.h"
#include "platform/gdi/mapping.h"
#include "platform/gdi/metafile.h"

namespace pravel::gdi {

struct EmfPoint {
  std::int32_t x = 0, y = 0;
  friend bool operator==(const EmfPoint&, const EmfPoint&) = default;
};

// A world transform as stored: x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy.
struct EmfXForm {
  float m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
  friend bool operator==(const EmfXForm&, const EmfXForm&) = default;
};

// LOGFONTW. Heights and widths in logical units; a negative height is the
// em size, a positive one the cell height.
struct LogFontW {
  std::int32_t height = 0, width = 0;
  std::int32_t escapement = 0, orientation = 0;  // tenths of a degree
  std::int32_t weight = 400;
  bool italic = false, underline = false, strike_out = false;
  std::uint8_t charset = 1;  // DEFAULT_CHARSET
  std::uint8_t out_precision = 0, clip_precision = 0, quality = 0, pitch_and_family = 0;
  std::u16string face;  // at most 31 code units are stored
};

// Logical pixels per inch of the screen, the reference device of recorded
// pages.
inline constexpr int kScreenPixelsPerInch = 96;

// The LOGFONTW of a report font for a device of the given resolution:
// em height -round(size * ppi / 72), bold 700, the style bits and charset.
LogFontW LogFontFromFont(const Font& font, int pixels_per_inch = kScreenPixelsPerInch);

class EmfRecorder {
 public:
  // An object's index in the metafile's handle table, or a stock object
  // (StockHandle).
  using Handle = std::uint32_t;
  using Stock = StockObjectId;

  // Whether polygon records use 16-bit points: Auto picks them when every
  // point fits.
  enum class PointSize { Auto, Short, Long };

  // Values of the text records.
  static constexpr std::uint32_t kTaLeft = 0, kTaTop = 0, kTaUpdateCp = 1, kTaRight = 2, kTaCenter = 6, kTaBottom = 8,
                                 kTaBaseline = 24;
  static constexpr std::uint32_t kEtoOpaque = 0x2, kEtoClipped = 0x4, kEtoPdy = 0x2000;
  static constexpr std::uint32_t kSrcCopy = 0xCC0020, kSrcPaint = 0xEE0086, kSrcAnd = 0x8800C6, kPatCopy = 0xF00021;

  // The reference device: 1920 x 1440 pixels on 508 x 381 mm.
  static constexpr SizeL kDevicePixels{1920, 1440};
  static constexpr SizeL kDeviceMillimeters{508, 381};

  // A picture of width x height reference pixels (both > 0). With a page
  // name the header carries the description "Pravel", page name.
  EmfRecorder(std::int32_t width, std::int32_t height, std::u16string_view page_name = {});

  // Objects. Handles are the lowest free table indices; deleting frees one.
  // An unknown handle throws std::invalid_argument.
  Handle CreatePen(LineStyle style, std::int32_t width, std::uint32_t color);
  // style: PenStyleBits.
  Handle ExtCreatePen(std::uint32_t style, std::uint32_t width, BrushStyle brush_style, std::uint32_t color,
                      std::uint32_t hatch = 0, std::span<const std::uint32_t> dashes = {});
  Handle CreateBrushIndirect(BrushStyle style, std::uint32_t color, std::uint32_t hatch = 0);
  Handle CreateSolidBrush(std::uint32_t color) { return CreateBrushIndirect(BrushStyle::Solid, color); }
  Handle CreateFont(const LogFontW& font);
  void SelectObject(Handle handle);
  void SelectStockObject(Stock s) { SelectObject(StockHandle(s)); }
  void DeleteObject(Handle handle);  // stock objects are not deleted

  // State.
  void SetTextColor(std::uint32_t color);
  void SetBkColor(std::uint32_t color);
  void SetBkMode(BackgroundMode mode);
  void SetTextAlign(std::uint32_t align);
  void SetPolyFillMode(PolyFillMode mode);
  void SetRop2(std::uint32_t rop2);
  void SetStretchBltMode(StretchMode mode);
  void SetArcDirection(ArcDirection direction);
  void SetMapMode(MapMode mode);
  void SetWindowOrgEx(std::int32_t x, std::int32_t y);
  void SetWindowExtEx(std::int32_t cx, std::int32_t cy);
  void SetViewportOrgEx(std::int32_t x, std::int32_t y);
  void SetViewportExtEx(std::int32_t cx, std::int32_t cy);
  void ScaleWindowExtEx(std::int32_t x_num, std::int32_t x_denom, std::int32_t y_num, std::int32_t y_denom);
  void ScaleViewportExtEx(std::int32_t x_num, std::int32_t x_denom, std::int32_t y_num, std::int32_t y_denom);
  void SetWorldTransform(const EmfXForm& xform);
  void ModifyWorldTransform(const EmfXForm& xform, WorldTransformMode mode);
  void SaveDC();
  void RestoreDC(std::int32_t saved);  // negative: relative to the latest save

  // Clipping. Rectangles in logical units, right and bottom exclusive.
  void IntersectClipRect(const RectL& rect);
  void ExcludeClipRect(const RectL& rect);
  void OffsetClipRgn(std::int32_t dx, std::int32_t dy);
  // A region of rectangles in reference-device pixels; none with
  // RegionMode::Copy resets the clip.
  void ExtSelectClipRgn(std::span<const RectL> rects, RegionMode mode);
  void SelectClipPath(RegionMode mode);

  // Lines and shapes; boxes right and bottom exclusive as GDI takes them.
  void MoveTo(std::int32_t x, std::int32_t y);
  void LineTo(std::int32_t x, std::int32_t y);
  void Rectangle(const RectL& box);
  void RoundRect(const RectL& box, SizeL corner);
  void Ellipse(const RectL& box);
  void Arc(const RectL& box, EmfPoint start, EmfPoint end);
  void Pie(const RectL& box, EmfPoint start, EmfPoint end);
  void Chord(const RectL& box, EmfPoint start, EmfPoint end);
  void Polyline(std::span<const EmfPoint> points, PointSize size = PointSize::Auto);
  void Polygon(std::span<const EmfPoint> points, PointSize size = PointSize::Auto);
  void PolyBezier(std::span<const EmfPoint> points, PointSize size = PointSize::Auto);
  void PolylineTo(std::span<const EmfPoint> points, PointSize size = PointSize::Auto);
  void PolyBezierTo(std::span<const EmfPoint> points, PointSize size = PointSize::Auto);
  // counts: the number of points of each polygon, adding up to points.size().
  void PolyPolygon(std::span<const EmfPoint> points, std::span<const std::uint32_t> counts,
                   PointSize size = PointSize::Auto);
  void PolyPolyline(std::span<const EmfPoint> points, std::span<const std::uint32_t> counts,
                    PointSize size = PointSize::Auto);
  void SetPixelV(EmfPoint point, std::uint32_t color);

  // Paths: drawing between BeginPath and EndPath builds the path.
  void BeginPath();
  void EndPath();
  void CloseFigure();
  void FillPath();
  void StrokePath();
  void StrokeAndFillPath();

  // Text at `reference`, placed by the text alignment, with one advance per
  // UTF-16 code unit in logical units (x, y pairs with kEtoPdy). `rect` is
  // the kEtoOpaque / kEtoClipped rectangle. A dx of the wrong length throws
  // std::invalid_argument.
  void ExtTextOut(EmfPoint reference, std::u16string_view text, std::span<const std::int32_t> dx,
                  std::uint32_t options = 0, std::optional<RectL> rect = std::nullopt);
  // The same from UTF-8 with one advance (or pair) per code point; a
  // character outside the basic plane gets its advance on its first code
  // unit and 0 on the second.
  void ExtTextOut(EmfPoint reference, std::string_view utf8, std::span<const std::int32_t> dx,
                  std::uint32_t options = 0, std::optional<RectL> rect = std::nullopt);
  // 8-bit text in the code page of the selected font's charset (EXTTEXTOUTA).
  void ExtTextOutA(EmfPoint reference, ByteSpan text, std::span<const std::int32_t> dx, std::uint32_t options = 0,
                   std::optional<RectL> rect = std::nullopt);

  // Pictures, stored as 24-bit DIBs. STRETCHDIBITS: source in picture
  // pixels with rows counted from the top (the whole picture by default).
  void StretchDIBits(const RectL& dest, const Bitmap& bitmap, std::uint32_t rop = kSrcCopy);
  void StretchDIBits(const RectL& dest, const RectL& source, const Bitmap& bitmap, std::uint32_t rop = kSrcCopy);
  // BITBLT from the picture at `source` (its top-left pixel), dest-sized.
  void BitBlt(const RectL& dest, const Bitmap& bitmap, EmfPoint source, std::uint32_t rop = kSrcCopy);
  // BITBLT without a source: the destination with the brush (PATCOPY, ...).
  void BitBlt(const RectL& dest, std::uint32_t rop);

  // Any other record, its fields given as they follow the type and size
  // (padded to 4 bytes). Header and EOF records throw std::invalid_argument.
  void AppendRecord(std::uint32_t type, ByteSpan fields);

  // Writes the EOF record and completes the header. The recorder is spent
  // afterwards: every further call throws std::logic_error.
  Metafile Finish();

 private:
  // A box in reference-device pixels, inclusive, or empty.
  struct Box {
    double left = 0, top = 0, right = -1, bottom = -1;
    bool Empty() const noexcept { return right < left || bottom < top; }
  };
  struct ObjectInfo {
    Emr kind = Emr::CreatePen;  // CreatePen, CreateBrushIndirect or ExtCreateFontIndirectW
    double pen_width = 0;
    bool pen_null = false;
    std::int32_t font_height = 0;
    std::int32_t font_escapement = 0;
  };
  // What SAVEDC keeps that the bounds depend on.
  struct State {
    PageMapping page;
    std::array<double, 6> world{1, 0, 0, 1, 0, 0};  // as EmfXForm
    PointD position;                                // current position, logical
    std::uint32_t text_align = 0;
    std::uint32_t bk_color = 0xFFFFFF;
    ObjectInfo pen;
    ObjectInfo font;
  };

  void Emit(Emr type, const Bytes& fields);
  void EmitU32(Emr type, std::uint32_t value);
  void EmitPoint(Emr type, std::int32_t x, std::int32_t y);
  void EmitRect(Emr type, const RectL& rect);
  Handle AllocHandle(const ObjectInfo& info);
  void CheckOpen() const;

  PointD ToDevice(PointD p) const;
  double DeviceScale() const;
  double PenOverhang() const;
  Box DeviceBox(std::span<const PointD> logical) const;
  Box AreaBox(const RectL& box, bool with_pen) const;
  Box LineBox(std::span<const PointD> logical) const;
  Box TextBox(PointD origin, double advance_x, double advance_y) const;
  void AddDrawn(const Box& box);
  static void AppendBox(Bytes& out, const Box& box);
  static void AppendXForm(Bytes& out, const EmfXForm& x);

  void FixIsotropic();
  void SetOrigin(Emr type, PointD& origin, std::int32_t x, std::int32_t y);
  void SetExtent(Emr type, PointD& extent, std::int32_t cx, std::int32_t cy);
  void SetExtents(MapMode mode);
  void ScaleExtent(Emr type, PointD& extent, std::int32_t x_num, std::int32_t x_denom, std::int32_t y_num,
                   std::int32_t y_denom);

  void Shape(Emr type, const RectL& box, std::span<const std::int32_t> extra = {});
  void Poly(Emr type16, Emr type32, std::span<const EmfPoint> points, PointSize size, bool to_cp);
  void PolyPoly(Emr type16, Emr type32, std::span<const EmfPoint> points, std::span<const std::uint32_t> counts,
                PointSize size);
  void PathDraw(Emr type);
  void Text(Emr type, EmfPoint reference, ByteSpan string, std::size_t chars, std::span<const std::int32_t> dx,
            std::uint32_t options, std::optional<RectL> rect);
  void BitBltRecord(const RectL& dest, std::uint32_t rop, EmfPoint source, const Bytes* dib);

  Bytes out_;
  std::uint32_t records_ = 1;                       // the header
  std::vector<std::optional<ObjectInfo>> objects_;  // index 0: the metafile itself
  State state_;
  std::vector<State> saved_;
  bool in_path_ = false;
  Box path_box_;
  Box bounds_;
  bool finished_ = false;
};

}  // namespace pravel::gdi
