#pragma once
// The seam between the GDI emulation and an output. A Surface receives
// drawing already resolved to the device coordinates of its target: the
// world, page and playback transforms are applied, objects are resolved to
// plain pens, brushes and fonts, and the clip is a region of device pixels.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bytes.h"
#include "platform/gdi/geometry.h"

namespace pravel::gdi {

class Region;

// Colours on a surface are 0xRRGGBB.
using Rgb = std::uint32_t;

enum class PathVerb : std::uint8_t { MoveTo, LineTo, CubicTo, Close };

// Figures of straight and cubic segments; CubicTo uses three points.
struct Path {
  std::vector<PathVerb> verbs;
  std::vector<PointD> points;

  void MoveTo(PointD p) {
    verbs.push_back(PathVerb::MoveTo);
    points.push_back(p);
  }
  void LineTo(PointD p) {
    verbs.push_back(PathVerb::LineTo);
    points.push_back(p);
  }
  void CubicTo(PointD c1, PointD c2, PointD p) {
    verbs.push_back(PathVerb::CubicTo);
    points.insert(points.end(), {c1, c2, p});
  }
  void Close() { verbs.push_back(PathVerb::Close); }
  bool Empty() const noexcept { return verbs.empty(); }
  void Clear() {
    verbs.clear();
    points.clear();
  }
};

enum class FillRule : std::uint8_t { Alternate, Winding };

// Binary raster operations, numbered as R2_BLACK (1) .. R2_WHITE (16).
enum class Rop2 : std::uint8_t {
  Black = 1,
  NotMergePen,
  MaskNotPen,
  NotCopyPen,
  MaskPenNot,
  Not,
  XorPen,
  NotMaskPen,
  MaskPen,
  NotXorPen,
  Nop,
  MergeNotPen,
  CopyPen,
  MergePenNot,
  MergePen,
  White
};

enum class PenStyle : std::uint8_t { Solid, Dash, Dot, DashDot, DashDotDot, Null, InsideFrame, User, Alternate };
enum class LineCap : std::uint8_t { Round, Square, Flat };
enum class LineJoin : std::uint8_t { Round, Bevel, Miter };

struct Pen {
  PenStyle style = PenStyle::Solid;
  Rgb color = 0;
  double width = 1;      // device units
  bool cosmetic = true;  // one device pixel, whatever the transform
  LineCap cap = LineCap::Round;
  LineJoin join = LineJoin::Round;
  double miter_limit = 10;
  std::vector<double> dashes;  // PenStyle::User: dash and gap lengths, device units
};

// A picture as 0xAARRGGBB pixels, rows top-down; or a JPEG/PNG file for the
// surface to decode.
struct Image {
  enum class Encoding : std::uint8_t { Raw, Jpeg, Png };
  std::int32_t width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  bool has_alpha = false;  // alpha counts: transparent pixels leave the destination
  Encoding encoding = Encoding::Raw;
  Bytes encoded;
};

enum class BrushKind : std::uint8_t { Null, Solid, Hatch, Pattern };

struct Brush {
  BrushKind kind = BrushKind::Solid;
  Rgb color = 0xFFFFFF;
  int hatch = 0;                         // HS_HORIZONTAL 0 .. HS_DIAGCROSS 5
  Rgb background = 0xFFFFFF;             // hatch gaps, when opaque
  bool opaque = false;                   // background mode OPAQUE
  std::shared_ptr<const Image> pattern;  // tiled, one pattern pixel per device pixel
  PointD origin;                         // device position of the pattern's first pixel
};

// The font a text run asks for, sizes in device units.
struct FontSpec {
  std::u16string face;
  double height = 0;         // em height (character height), > 0
  bool cell_height = false;  // height is the cell (ascent + descent), not the em
  double width = 0;          // average character width, 0 for the font's own
  int weight = 400;
  bool italic = false, underline = false, strike_out = false;
  std::uint8_t charset = 0;
  std::uint8_t pitch_and_family = 0;
  double escapement = 0;   // baseline angle, degrees counter-clockwise on the device
  double orientation = 0;  // glyph angle, degrees counter-clockwise on the device
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// How a run was aligned on its reference point, for outputs that keep it.
enum class TextAnchor : std::uint8_t { Left, Centre, Right };

struct TextRun {
  std::u16string text;  // characters, or glyph indices when glyph_indices
  bool glyph_indices = false;
  // Glyph start positions on the baseline, alignment applied, plus the end of
  // the run: text.size() + 1 points.
  std::vector<PointD> origins;
  bool measured = false;  // origins from MeasureText: the record has no advances
  PointD reference;       // the recorded reference point, for information
  TextAnchor anchor = TextAnchor::Left;
  FontSpec font;
  Rgb color = 0;
  bool opaque = false;  // fill the text cell with `background`
  Rgb background = 0xFFFFFF;
  // Device corners (top-left, top-right, bottom-right, bottom-left) of the
  // ETO_OPAQUE / ETO_CLIPPED rectangle, for information: the player has
  // already filled and clipped with it.
  std::optional<std::array<PointD, 4>> opaque_rect, clip_rect;
};

// A surface's own measure of a font, in device units: what it lays text out with.
struct TextMetrics {
  std::vector<double> advances;    // one per glyph of the text, along the baseline
  double ascent = 0, descent = 0;  // from the baseline to the cell's top and bottom
};

// How a picture combines with the destination (S source, D destination).
enum class ImageOp : std::uint8_t {
  Copy,        // S
  And,         // S & D
  Or,          // S | D
  Xor,         // S ^ D
  NotCopy,     // ~S
  Erase,       // S & ~D
  NotErase,    // ~S & ~D
  MergePaint,  // ~S | D
};

struct ImageDraw {
  std::shared_ptr<const Image> image;
  RectD source;                  // image pixels
  std::array<PointD, 3> dest{};  // device points of the source's top-left, top-right, bottom-left
  ImageOp op = ImageOp::Copy;
  bool smooth = false;                // HALFTONE stretching
  std::uint8_t constant_alpha = 255;  // ALPHABLEND source constant alpha
  bool per_pixel_alpha = false;       // ALPHABLEND with AC_SRC_ALPHA
  std::optional<Rgb> transparent;     // TRANSPARENTBLT colour
};

class Surface {
 public:
  virtual ~Surface() = default;
  Surface(const Surface&) = delete;  // a surface stands for one output
  Surface& operator=(const Surface&) = delete;

  // Clip for the drawing that follows, in device pixels; nullptr: none.
  virtual void SetClip(const Region* clip) = 0;
  virtual void FillPath(const Path& path, FillRule rule, const Brush& brush, Rop2 rop) = 0;
  virtual void StrokePath(const Path& path, const Pen& pen, Rop2 rop) = 0;
  virtual void DrawText(const TextRun& run) = 0;
  virtual void DrawImage(const ImageDraw& draw) = 0;
  // Advances of `text` (glyph indices when `glyph_indices`; none for an empty
  // text) and the cell of `font`, as DrawText would place them. A surface that
  // lays out no text answers nothing.
  virtual TextMetrics MeasureText(const FontSpec& /*font*/, std::u16string_view /*text*/, bool /*glyph_indices*/) {
    return {};
  }
  // True for a surface that keeps only text: the player then leaves out the
  // records that draw shapes and pictures without changing any state.
  virtual bool TextOnly() const { return false; }

 protected:
  Surface() = default;
};

}  // namespace pravel::gdi
