#pragma once
// Record types of the enhanced metafile format.

#include <cstdint>
#include <string_view>

namespace pravel::gdi {

enum class Emr : std::uint32_t {
  Header = 1, PolyBezier = 2, Polygon = 3, Polyline = 4, PolyBezierTo = 5, PolylineTo = 6,
  PolyPolyline = 7, PolyPolygon = 8, SetWindowExtEx = 9, SetWindowOrgEx = 10,
  SetViewportExtEx = 11, SetViewportOrgEx = 12, SetBrushOrgEx = 13, Eof = 14, SetPixelV = 15,
  SetMapperFlags = 16, SetMapMode = 17, SetBkMode = 18, SetPolyFillMode = 19, SetRop2 = 20,
  SetStretchBltMode = 21, SetTextAlign = 22, SetColorAdjustment = 23, SetTextColor = 24,
  SetBkColor = 25, OffsetClipRgn = 26, MoveToEx = 27, SetMetaRgn = 28, ExcludeClipRect = 29,
  IntersectClipRect = 30, ScaleViewportExtEx = 31, ScaleWindowExtEx = 32, SaveDC = 33,
  RestoreDC = 34, SetWorldTransform = 35, ModifyWorldTransform = 36, SelectObject = 37,
  CreatePen = 38, CreateBrushIndirect = 39, DeleteObject = 40, AngleArc = 41, Ellipse = 42,
  Rectangle = 43, RoundRect = 44, Arc = 45, Chord = 46, Pie = 47, SelectPalette = 48,
  CreatePalette = 49, SetPaletteEntries = 50, ResizePalette = 51, RealizePalette = 52,
  ExtFloodFill = 53, LineTo = 54, ArcTo = 55, PolyDraw = 56, SetArcDirection = 57,
  SetMiterLimit = 58, BeginPath = 59, EndPath = 60, CloseFigure = 61, FillPath = 62,
  StrokeAndFillPath = 63, StrokePath = 64, FlattenPath = 65, WidenPath = 66,
  SelectClipPath = 67, AbortPath = 68, GdiComment = 70, FillRgn = 71, FrameRgn = 72,
  InvertRgn = 73, PaintRgn = 74, ExtSelectClipRgn = 75, BitBlt = 76, StretchBlt = 77,
  MaskBlt = 78, PlgBlt = 79, SetDIBitsToDevice = 80, StretchDIBits = 81,
  ExtCreateFontIndirectW = 82, ExtTextOutA = 83, ExtTextOutW = 84, PolyBezier16 = 85,
  Polygon16 = 86, Polyline16 = 87, PolyBezierTo16 = 88, PolylineTo16 = 89,
  PolyPolyline16 = 90, PolyPolygon16 = 91, PolyDraw16 = 92, CreateMonoBrush = 93,
  CreateDIBPatternBrushPt = 94, ExtCreatePen = 95, PolyTextOutA = 96, PolyTextOutW = 97,
  SetIcmMode = 98, CreateColorSpace = 99, SetColorSpace = 100, DeleteColorSpace = 101,
  GlsRecord = 102, GlsBoundedRecord = 103, PixelFormat = 104, DrawEscape = 105,
  ExtEscape = 106, SmallTextOut = 108, ForceUfiMapping = 109, NamedEscape = 110,
  ColorCorrectPalette = 111, SetIcmProfileA = 112, SetIcmProfileW = 113, AlphaBlend = 114,
  SetLayout = 115, TransparentBlt = 116, GradientFill = 118, SetLinkedUfis = 119,
  SetTextJustification = 120, ColorMatchToTargetW = 121, CreateColorSpaceW = 122,
};

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

}  // namespace pravel::gdi
