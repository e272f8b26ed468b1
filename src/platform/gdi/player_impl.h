#pragma once
// The device-context emulation behind PlayMetafile, shared by the player's
// source files (state and mapping, shapes and paths, text, pictures).

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/gdi/emf_types.h"
#include "platform/gdi/mapping.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/picture_cache.h"
#include "platform/gdi/player.h"
#include "platform/gdi/point_records.h"
#include "platform/gdi/record_reader.h"
#include "platform/gdi/region.h"

namespace pravel::gdi {

// The shapes the POLY* and arc records draw.
enum class PolyKind : std::uint8_t { Bezier, Polygon, Polyline, BezierTo, PolylineTo };
enum class ArcKind : std::uint8_t { Arc, Chord, Pie, ArcTo };

struct PointL {
  std::int32_t x = 0, y = 0;
};

// Everything SAVEDC saves.
struct DcState {
  LogPen pen;
  LogBrush brush;
  LogFont font;
  std::uint32_t text_color = 0, bk_color = 0xFFFFFF;
  BackgroundMode bk_mode = BackgroundMode::Opaque;
  PolyFillMode fill_mode = PolyFillMode::Alternate;
  Rop2 rop2 = Rop2::CopyPen;
  StretchMode stretch_mode = StretchMode::BlackOnWhite;
  std::uint32_t text_align = 0;
  ArcDirection arc_direction = ArcDirection::CounterClockwise;
  double miter_limit = 10;
  PageMapping page;
  XForm world;
  PointD position;  // current position, logical
  PointL brush_org;
  std::optional<Region> clip;       // device pixels of the target
  std::optional<Region> meta_clip;  // SETMETARGN
};

// The region operation of a RGN_* mode as recorded, or nothing for another value.
inline std::optional<RegionOp> RegionOpOf(std::uint32_t mode) noexcept {
  if (mode < ToUnderlying(RegionMode::And) || mode > ToUnderlying(RegionMode::Copy)) return std::nullopt;
  return static_cast<RegionOp>(mode - ToUnderlying(RegionMode::And));
}

// How many points flattening `path` gives (FlattenPath's segment counts),
// known before paying for it.
std::uint64_t FlattenedPointCount(const Path& path);

class Player {
 public:
  Player(const Metafile& metafile, Surface& surface, const RectD& target, WorkBudget budget);
  void Play();
  const WorkBudget& Budget() const noexcept { return budget_; }

 private:
  void Dispatch(const EmfRecord& record);

  // State and mapping (player.cpp).
  void SetMapMode(std::uint32_t mode);
  void SetExtent(PointD& extent, ByteReader& r);
  void SetOrigin(PointD& origin, ByteReader& r);
  void ScaleExtent(PointD& extent, ByteReader& r);
  void SetWorldTransform(ByteReader& r);
  void ModifyWorldTransform(ByteReader& r);
  void ApplyWorldTransform(const XForm& x, WorldTransformMode mode);
  void SetMiterLimit(std::uint32_t raw);
  void MoveTo(ByteReader& r);
  void UpdateTransform();
  PointD ToDevice(PointD logical) const noexcept { return to_device_.Map(logical); }
  PointD ToDeviceRounded(PointD logical) const noexcept;
  double DeviceScaleX() const noexcept;
  double DeviceScaleY() const noexcept;
  RectI DeviceLimit() const noexcept { return limit_; }
  void SetObject(std::uint32_t index, GdiObject object);
  template <typename Read>
  void CreateObject(ByteReader& r, Read read);
  void ExtCreatePen(const EmfRecord& record, ByteReader& r);
  void SelectObject(std::uint32_t index);
  void DeleteObject(std::uint32_t index);
  // The object a handle names, from the table or the stock (kept in `stock`).
  const GdiObject* Object(std::uint32_t handle, std::optional<GdiObject>& stock) const;
  void SaveDc();
  void RestoreDc(std::int32_t level);
  void ApplyClip();
  void CombineClip(const Region& region, RegionOp op);
  void ClipToRect(ByteReader& r, RegionOp op);
  void OffsetClip(ByteReader& r);
  void ExtSelectClipRgn(ByteReader& r);
  void SetMetaClip();
  std::optional<Region> ReadRegion(ByteReader& r, std::uint32_t size);
  Region RegionOfLogicalRect(const RectD& r) const;

  // Charges before drawing (player_budget.cpp); false: skip, the budget is spent.
  bool Charge(Work kind, std::uint64_t amount) noexcept { return budget_.Charge(kind, amount); }
  std::uint64_t AreaCost(const RectD& device_bounds) const noexcept;
  std::uint64_t FillRowCost(const Path& device_path) const noexcept;
  bool MayFill(const Path& device_path);
  bool MayStroke(const Path& device_path, const Pen& pen);
  bool MayDrawImage(const ImageDraw& draw);
  bool MayDrawText(const TextRun& run);
  bool MayCombine(const Region& a, const Region& b);

  // Drawing resolution (player_draw.cpp).
  Pen ResolvePen() const;
  Brush ResolveBrush(const LogBrush& brush) const;
  Rop2 CurrentRop2() const noexcept;
  FillRule CurrentFillRule() const noexcept;
  void FillAndStroke(const Path& device_path, bool fill, bool stroke);
  void DrawShape(const Path& device_path, bool closed_shape);
  void AddToPath(const Path& device_path, bool continue_figure);
  Path ShapeRectPath(const RectD& logical_box, bool ellipse, double cw = 0, double ch = 0);
  void ArcFamily(ByteReader& r, ArcKind kind);
  void AngleArc(ByteReader& r);
  void Poly(const std::vector<PointD>& points, PolyKind kind);
  void PolyPoly(const PolyPolyPoints& figures, PolyKind kind);
  void PolyDraw(const PolyDrawPoints& figures);
  void LineTo(ByteReader& r);
  void LineTo(PointD logical);
  void Rectangle(ByteReader& r);
  void RoundRect(ByteReader& r);
  void Ellipse(ByteReader& r);
  void SetPixel(ByteReader& r);
  void PathRecord(Emr type);
  void SelectClipPath(std::uint32_t mode);
  void RegionRecord(const EmfRecord& record, Emr type);
  void GradientFill(ByteReader& r);

  // Text (player_text.cpp).
  void ExtTextOut(const EmfRecord& record, bool wide);
  void PolyTextOut(const EmfRecord& record, bool wide);
  void SmallTextOut(const EmfRecord& record);
  void TextAt(PointD reference, std::u16string text, std::uint32_t options, const std::optional<RectD>& rect,
              const std::vector<PointD>& advances);
  FontSpec ResolveFont() const;
  std::vector<PointD> MeasuredOrigins(const TextRun& run, PointD start);
  void ToBaseline(TextRun& run);

  // Pictures (player_image.cpp).
  void BitBlt(const EmfRecord& record, Emr type);
  void MaskBlt(const EmfRecord& record);
  void PlgBlt(const EmfRecord& record);
  void StretchDiBits(const EmfRecord& record);
  void SetDiBitsToDevice(const EmfRecord& record);
  void CreateDibPatternBrush(const EmfRecord& record, bool mono);
  void DrawPicture(std::shared_ptr<const Image> image, const RectD& source, const RectD& logical_dest, ImageOp op,
                   std::optional<Rgb> transparent, std::uint8_t alpha, bool per_pixel_alpha);
  void PatBlt(const RectD& logical_dest, std::uint32_t rop);

  const Metafile& metafile_;
  Surface& surface_;
  RectD target_;
  XForm playback_;   // reference-device pixels -> target device
  XForm to_device_;  // logical -> target device
  RectI limit_;
  DcState dc_;
  std::vector<DcState> saved_;
  std::vector<std::optional<GdiObject>> objects_;
  bool in_path_ = false;
  Path path_;  // device coordinates
  bool path_has_figure_ = false;
  const Region* surface_clip_ = nullptr;
  bool clip_dirty_ = true;
  std::optional<Region> effective_clip_;
  WorkBudget budget_;
  std::optional<FontSpec> last_font_;  // of the last text run drawn
  PictureCache pictures_;
};

}  // namespace pravel::gdi
