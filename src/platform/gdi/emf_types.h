#pragma once
// Record types of the enhanced metafile format and the values of their fields.

#include <cstdint>
#include <string_view>
#include <type_traits>

namespace pravel::gdi {

// The tables below keep the format's grouping by hand.
// clang-format off

enum class Emr : std::uint32_t {
  Header = 1,
  PolyBezier = 2, Polygon = 3, Polyline = 4, PolyBezierTo = 5,  // shapes of points
  PolylineTo = 6, PolyPolyline = 7, PolyPolygon = 8,
  SetWindowExtEx = 9, SetWindowOrgEx = 10, SetViewportExtEx = 11,  // window, viewport, brush origin
  SetViewportOrgEx = 12, SetBrushOrgEx = 13,
  Eof = 14,
  SetPixelV = 15,
  SetMapperFlags = 16, SetMapMode = 17, SetBkMode = 18, SetPolyFillMode = 19, SetRop2 = 20,  // state
  SetStretchBltMode = 21, SetTextAlign = 22, SetColorAdjustment = 23, SetTextColor = 24, SetBkColor = 25,
  OffsetClipRgn = 26, MoveToEx = 27, SetMetaRgn = 28, ExcludeClipRect = 29,  // clipping, position and extents
  IntersectClipRect = 30, ScaleViewportExtEx = 31, ScaleWindowExtEx = 32,
  SaveDC = 33, RestoreDC = 34, SetWorldTransform = 35, ModifyWorldTransform = 36,  // saved state and world transform
  SelectObject = 37, CreatePen = 38, CreateBrushIndirect = 39, DeleteObject = 40,  // objects
  AngleArc = 41, Ellipse = 42, Rectangle = 43, RoundRect = 44, Arc = 45, Chord = 46, Pie = 47,  // arcs and boxes
  SelectPalette = 48, CreatePalette = 49, SetPaletteEntries = 50, ResizePalette = 51, RealizePalette = 52,  // palettes
  ExtFloodFill = 53, LineTo = 54, ArcTo = 55, PolyDraw = 56, SetArcDirection = 57, SetMiterLimit = 58,
  BeginPath = 59, EndPath = 60, CloseFigure = 61, FillPath = 62, StrokeAndFillPath = 63, StrokePath = 64,  // paths
  FlattenPath = 65, WidenPath = 66, SelectClipPath = 67, AbortPath = 68,
  GdiComment = 70,
  FillRgn = 71, FrameRgn = 72, InvertRgn = 73, PaintRgn = 74, ExtSelectClipRgn = 75,  // regions
  BitBlt = 76, StretchBlt = 77, MaskBlt = 78, PlgBlt = 79, SetDIBitsToDevice = 80, StretchDIBits = 81,  // bitmaps
  ExtCreateFontIndirectW = 82,  // text
  ExtTextOutA = 83, ExtTextOutW = 84,
  PolyBezier16 = 85, Polygon16 = 86, Polyline16 = 87, PolyBezierTo16 = 88,  // shapes of 16-bit points
  PolylineTo16 = 89, PolyPolyline16 = 90, PolyPolygon16 = 91, PolyDraw16 = 92,
  CreateMonoBrush = 93, CreateDIBPatternBrushPt = 94, ExtCreatePen = 95,  // brushes and pens
  PolyTextOutA = 96, PolyTextOutW = 97,  // text
  SetIcmMode = 98, CreateColorSpace = 99, SetColorSpace = 100, DeleteColorSpace = 101,  // colour management
  GlsRecord = 102, GlsBoundedRecord = 103, PixelFormat = 104, DrawEscape = 105, ExtEscape = 106,  // escapes
  SmallTextOut = 108, ForceUfiMapping = 109, NamedEscape = 110,
  ColorCorrectPalette = 111, SetIcmProfileA = 112, SetIcmProfileW = 113,  // colour management
  AlphaBlend = 114, SetLayout = 115, TransparentBlt = 116,  // blending
  GradientFill = 118, SetLinkedUfis = 119, SetTextJustification = 120,
  ColorMatchToTargetW = 121, CreateColorSpaceW = 122,
};

// Values of the records' fields, as the format numbers them.

constexpr auto ToUnderlying(auto value) noexcept { return static_cast<std::underlying_type_t<decltype(value)>>(value); }

enum class MapMode : std::uint32_t {
  Text = 1,
  LoMetric = 2, HiMetric = 3, LoEnglish = 4, HiEnglish = 5, Twips = 6,  // fixed units, y up
  Isotropic = 7, Anisotropic = 8,
};

// Whether the window and viewport extents may be set (MM_ISOTROPIC, MM_ANISOTROPIC).
constexpr bool HasScalableExtents(MapMode mode) noexcept {
  return mode == MapMode::Isotropic || mode == MapMode::Anisotropic;
}

// Stock objects: a handle with kStockObjectBit set names one.
enum class StockObjectId : std::uint32_t {
  WhiteBrush = 0, LtGrayBrush = 1, GrayBrush = 2, DkGrayBrush = 3, BlackBrush = 4, NullBrush = 5,
  WhitePen = 6, BlackPen = 7, NullPen = 8,
  OemFixedFont = 10, AnsiFixedFont = 11, AnsiVarFont = 12, SystemFont = 13, DeviceDefaultFont = 14,
  DefaultPalette = 15,
  SystemFixedFont = 16, DefaultGuiFont = 17,
  DcBrush = 18, DcPen = 19,
};

inline constexpr std::uint32_t kStockObjectBit = 0x80000000u;
constexpr bool IsStockHandle(std::uint32_t handle) noexcept { return (handle & kStockObjectBit) != 0; }
constexpr std::uint32_t StockHandle(StockObjectId id) noexcept { return kStockObjectBit | ToUnderlying(id); }
constexpr StockObjectId StockIdOf(std::uint32_t handle) noexcept {
  return static_cast<StockObjectId>(handle & ~kStockObjectBit);
}
// Stock object 9 has never been assigned.
constexpr bool IsAssignedStockObject(StockObjectId id) noexcept {
  return id <= StockObjectId::DcPen && ToUnderlying(id) != 9;
}

// A pen's style field: line style, end cap, join and type bits.
enum class LineStyle : std::uint32_t {
  Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4, Null = 5, InsideFrame = 6, UserStyle = 7, Alternate = 8,
};
enum class PenEndCap : std::uint32_t { Round = 0, Square = 0x100, Flat = 0x200 };
enum class PenJoin : std::uint32_t { Round = 0, Bevel = 0x1000, Miter = 0x2000 };
enum class PenType : std::uint32_t { Cosmetic = 0, Geometric = 0x10000 };

inline constexpr std::uint32_t kLineStyleMask = 0xF, kPenEndCapMask = 0xF00, kPenJoinMask = 0xF000,
                               kPenTypeMask = 0xF0000;

constexpr std::uint32_t PenStyleBits(LineStyle line, PenType type = PenType::Cosmetic,
                                     PenEndCap cap = PenEndCap::Round, PenJoin join = PenJoin::Round) noexcept {
  return ToUnderlying(line) | ToUnderlying(type) | ToUnderlying(cap) | ToUnderlying(join);
}
constexpr LineStyle LineStyleOf(std::uint32_t style) noexcept { return static_cast<LineStyle>(style & kLineStyleMask); }
constexpr PenEndCap EndCapOf(std::uint32_t style) noexcept { return static_cast<PenEndCap>(style & kPenEndCapMask); }
constexpr PenJoin JoinOf(std::uint32_t style) noexcept { return static_cast<PenJoin>(style & kPenJoinMask); }
constexpr bool IsGeometricPen(std::uint32_t style) noexcept {
  return (style & kPenTypeMask) == ToUnderlying(PenType::Geometric);
}

enum class BrushStyle : std::uint32_t {
  Solid = 0, Null = 1, Hatched = 2, Pattern = 3, Indexed = 4, DibPattern = 5, DibPatternPt = 6,
};

enum class HatchStyle : std::uint32_t { Horizontal = 0, Vertical = 1, FDiagonal = 2, BDiagonal = 3, Cross = 4, DiagCross = 5 };

// POLYDRAW point types; CloseFigure is a bit on LineTo and BezierTo.
enum class PointType : std::uint8_t { CloseFigure = 1, LineTo = 2, BezierTo = 4, MoveTo = 6 };
constexpr PointType PointTypeOf(std::uint8_t type) noexcept {
  return static_cast<PointType>(type & ~ToUnderlying(PointType::CloseFigure));
}
constexpr bool ClosesFigure(std::uint8_t type) noexcept { return (type & ToUnderlying(PointType::CloseFigure)) != 0; }

enum class BackgroundMode : std::uint32_t { Transparent = 1, Opaque = 2 };
enum class ArcDirection : std::uint32_t { CounterClockwise = 1, Clockwise = 2 };
enum class PolyFillMode : std::uint32_t { Alternate = 1, Winding = 2 };
enum class StretchMode : std::uint32_t { BlackOnWhite = 1, WhiteOnBlack = 2, ColorOnColor = 3, Halftone = 4 };
enum class WorldTransformMode : std::uint32_t { Identity = 1, LeftMultiply = 2, RightMultiply = 3, Set = 4 };
// How a new clip region combines with the current one.
enum class RegionMode : std::uint32_t { And = 1, Or = 2, Xor = 3, Diff = 4, Copy = 5 };

// Upper-case record name without the EMR_ prefix ("EXTTEXTOUTW"), or "" when unknown.
std::string_view EmrName(std::uint32_t type) noexcept;

// Signature " EMF" at byte 40 of the header record.
inline constexpr std::uint32_t kEmfSignature = 0x464D4520;
// Size of the header record without its extensions.
inline constexpr std::uint32_t kEmfHeaderBaseSize = 88;


// Text alignment flags (TA_*) as recorded. Center includes the Right bit.
enum class TextAlign : std::uint32_t {
  UpdateCp = 1, Right = 2, Center = 6, Bottom = 8, Baseline = 24, RtlReading = 256
};

// Options of the text-out records (ETO_*).
enum class TextOutOption : std::uint32_t {
  Opaque = 0x2, Clipped = 0x4, GlyphIndex = 0x10, NoRect = 0x100, SmallChars = 0x200, Pdy = 0x2000
};

// Ternary raster operations of the blit records.
enum class TernaryRop : std::uint32_t {
  SrcCopy = 0xCC0020, SrcPaint = 0xEE0086, SrcAnd = 0x8800C6, SrcInvert = 0x660046, SrcErase = 0x440328,
  NotSrcCopy = 0x330008, NotSrcErase = 0x1100A6, MergePaint = 0xBB0226, MergeCopy = 0xC000CA,
  DstInvert = 0x550009, PatCopy = 0xF00021, PatInvert = 0x5A0049, PatPaint = 0xFB0A09,
  Blackness = 0x000042, Whiteness = 0xFF0062, Nop = 0xAA0029
};

constexpr std::uint32_t Bits(TextAlign flag) noexcept { return static_cast<std::uint32_t>(flag); }
constexpr std::uint32_t Bits(TextOutOption flag) noexcept { return static_cast<std::uint32_t>(flag); }
constexpr std::uint32_t Bits(TernaryRop rop) noexcept { return static_cast<std::uint32_t>(rop); }

// clang-format on

}  // namespace pravel::gdi
