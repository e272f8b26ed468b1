#pragma once
// The device-context emulation behind PlayMetafile, shared by the player's
// source files (state and mapping, shapes and paths, text, pictures).

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/gdi/emf_types.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/picture_cache.h"
#include "platform/gdi/player.h"
#include "platform/gdi/record_reader.h"
#include "platform/gdi/region.h"

namespace pravel::gdi {

struct PointL {
  std::int32_t x = 0, y = 0;
};

inline constexpr int kMmText = 1, kMmLoMetric = 2, kMmHiMetric = 3, kMmLoEnglish = 4,
                     kMmHiEnglish = 5, kMmTwips = 6, kMmIsotropic = 7, kMmAnisotropic = 8;
inline constexpr int kTransparent = 1, kOpaque = 2;
inline constexpr int kAdCounterClockwise = 1, kAdClockwise = 2;

// Everything SAVEDC saves.
struct DcState {
  LogPen pen;
  LogBrush brush;
  LogFont font;
  std::uint32_t text_color = 0, bk_color = 0xFFFFFF;
  int bk_mode = kOpaque;
  int fill_mode = 1;  // ALTERNATE
  int rop2 = 13;      // R2_COPYPEN
  int stretch_mode = 1;
  std::uint32_t text_align = 0;
  int arc_direction = kAdCounterClockwise;
  double miter_limit = 10;
  int map_mode = kMmText;
  PointL window_org, window_ext{1, 1}, viewport_org, viewport_ext{1, 1};
  XForm world;
  PointD position;  // current position, logical
  PointL brush_org;
  std::optional<Region> clip;       // device pixels of the target
  std::optional<Region> meta_clip;  // SETMETARGN
};

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
  void UpdateTransform();
  PointD ToDevice(PointD logical) const noexcept { return to_device_.Map(logical); }
  PointD ToDeviceRounded(PointD logical) const noexcept;
  double DeviceScaleX() const noexcept;
  double DeviceScaleY() const noexcept;
  RectI DeviceLimit() const noexcept { return limit_; }
  void SetObject(std::uint32_t index, GdiObject object);
  void SelectObject(std::uint32_t index);
  void DeleteObject(std::uint32_t index);
  const GdiObject* Object(std::uint32_t index) const;
  void SaveDc();
  void RestoreDc(std::int32_t level);
  void ApplyClip();
  void CombineClip(const Region& region, RegionOp op);
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
  void ArcFamily(const EmfRecord& record, int kind);
  void AngleArc(ByteReader& r);
  void Poly(ByteReader& r, bool points16, int kind);
  void PolyPoly(ByteReader& r, bool points16, bool polygon);
  void PolyDraw(ByteReader& r, bool points16);
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
  void DrawPicture(std::shared_ptr<const Image> image, const RectD& source, const RectD& logical_dest,
                   ImageOp op, std::optional<Rgb> transparent, std::uint8_t alpha, bool per_pixel_alpha);
  void PatBlt(const RectD& logical_dest, std::uint32_t rop);

  const Metafile& metafile_;
  Surface& surface_;
  RectD target_;
  XForm playback_;     // reference-device pixels -> target device
  XForm to_device_;    // logical -> target device
  RectI limit_;
  DcState dc_;
  std::vector<DcState> saved_;
  std::vector<std::optional<GdiObject>> objects_;
  bool in_path_ = false;
  Path path_;          // device coordinates
  bool path_has_figure_ = false;
  const Region* surface_clip_ = nullptr;
  bool clip_dirty_ = true;
  std::optional<Region> effective_clip_;
  WorkBudget budget_;
  std::optional<FontSpec> last_font_;  // of the last text run drawn
  PictureCache pictures_;
};

}  // namespace pravel::gdi
