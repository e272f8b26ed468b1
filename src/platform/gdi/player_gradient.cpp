// GRADIENTFILL: rectangles shaded along one axis and Gouraud-shaded
// triangles.

#include <algorithm>
#include <cmath>

#include "platform/gdi/player_impl.h"

namespace pravel::gdi {

namespace {

constexpr std::uint32_t kGradientRectH = 0, kGradientRectV = 1, kGradientTriangle = 2;
// Pixels one record may shade; triangles beyond take their mean colour.
constexpr std::int64_t kShadeBudget = std::int64_t{1} << 24;

struct Vertex {
  PointD p;         // logical
  double rgb[3]{};  // 0..255
};

std::uint32_t PackOpaque(const double c[3]) {
  const auto ch = [](double x) { return static_cast<std::uint32_t>(std::clamp(x, 0.0, 255.0)); };
  return 0xFF000000u | (ch(c[0]) << 16) | (ch(c[1]) << 8) | ch(c[2]);
}

// The triangle a, b, c rasterised over its device bounding box (clamped to
// `bounds`): pixels whose centre lies inside carry the colours interpolated
// from the corners, the others are transparent. Returns the box's top-left.
// A box larger than `budget` pixels uses the budget up and gives nothing.
std::optional<std::pair<PointD, std::shared_ptr<Image>>> ShadeTriangle(const PointD (&p)[3], const Vertex* (&v)[3],
                                                                       const RectD& bounds, std::int64_t& budget) {
  const double area = (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[2].x - p[0].x) * (p[1].y - p[0].y);
  if (!std::isfinite(area) || std::fabs(area) < 1e-9) return std::nullopt;
  const auto lo = [&](double a, double b, double c, double limit) {
    return std::max(std::floor(std::min({a, b, c})), limit);
  };
  const auto hi = [&](double a, double b, double c, double limit) {
    return std::min(std::ceil(std::max({a, b, c})), limit);
  };
  const double x0 = lo(p[0].x, p[1].x, p[2].x, std::floor(bounds.left));
  const double y0 = lo(p[0].y, p[1].y, p[2].y, std::floor(bounds.top));
  const double x1 = hi(p[0].x, p[1].x, p[2].x, std::ceil(bounds.right));
  const double y1 = hi(p[0].y, p[1].y, p[2].y, std::ceil(bounds.bottom));
  if (!(x1 > x0 && y1 > y0)) return std::nullopt;
  const auto w = static_cast<std::int64_t>(x1 - x0), h = static_cast<std::int64_t>(y1 - y0);
  if (w * h > budget) {
    budget = 0;
    return std::nullopt;
  }
  budget -= w * h;
  auto image = std::make_shared<Image>();
  image->width = static_cast<std::int32_t>(w);
  image->height = static_cast<std::int32_t>(h);
  image->has_alpha = true;
  image->pixels.assign(static_cast<std::size_t>(w * h), 0);
  bool any = false;
  for (std::int64_t y = 0; y < h; ++y) {
    const double py = y0 + static_cast<double>(y) + 0.5;
    for (std::int64_t x = 0; x < w; ++x) {
      const double px = x0 + static_cast<double>(x) + 0.5;
      // Barycentric weights of the pixel centre.
      const double w0 = ((p[1].x - px) * (p[2].y - py) - (p[2].x - px) * (p[1].y - py)) / area;
      const double w1 = ((p[2].x - px) * (p[0].y - py) - (p[0].x - px) * (p[2].y - py)) / area;
      const double w2 = 1 - w0 - w1;
      constexpr double kEdge = -1e-9;
      if (w0 < kEdge || w1 < kEdge || w2 < kEdge) continue;
      double c[3];
      for (int k = 0; k < 3; ++k) c[k] = w0 * v[0]->rgb[k] + w1 * v[1]->rgb[k] + w2 * v[2]->rgb[k];
      image->pixels[static_cast<std::size_t>(y * w + x)] = PackOpaque(c);
      any = true;
    }
  }
  if (!any) return std::nullopt;
  return std::pair{PointD{x0, y0}, std::move(image)};
}

}  // namespace

void Player::GradientFill(ByteReader& r) {
  r.Skip(16);
  const std::uint32_t nver = r.U32(), count = r.U32(), mode = r.U32();
  if (!r.Has(std::uint64_t{nver} * 16)) throw EMetafileError("vertex count exceeds the record");
  std::vector<Vertex> v(nver);
  for (auto& vx : v) {
    const double x = r.I32(), y = r.I32();
    vx.p = {x, y};
    // Colour channels are 16 bits; the device keeps the high byte.
    for (double& c : vx.rgb) c = static_cast<double>(r.U16() >> 8);
    r.Skip(2);
  }
  if (mode == kGradientTriangle) {
    if (!r.Has(std::uint64_t{count} * 12)) throw EMetafileError("triangle count exceeds the record");
    std::int64_t budget = kShadeBudget;
    const RectD bounds{std::min(target_.left, target_.right), std::min(target_.top, target_.bottom),
                       std::max(target_.left, target_.right), std::max(target_.top, target_.bottom)};
    for (std::uint32_t k = 0; k < count; ++k) {
      const std::uint32_t i0 = r.U32(), i1 = r.U32(), i2 = r.U32();
      if (i0 >= nver || i1 >= nver || i2 >= nver) continue;
      const Vertex* corners[3] = {&v[i0], &v[i1], &v[i2]};
      const PointD device[3] = {ToDevice(v[i0].p), ToDevice(v[i1].p), ToDevice(v[i2].p)};
      Path tri;
      tri.MoveTo(device[0]);
      tri.LineTo(device[1]);
      tri.LineTo(device[2]);
      tri.Close();
      // Shading costs what the triangle covers, each pixel some four times a
      // decoded one: charged once, before it.
      const double box_w = std::clamp(std::max({device[0].x, device[1].x, device[2].x}), bounds.left, bounds.right) -
                           std::clamp(std::min({device[0].x, device[1].x, device[2].x}), bounds.left, bounds.right);
      const double box_h = std::clamp(std::max({device[0].y, device[1].y, device[2].y}), bounds.top, bounds.bottom) -
                           std::clamp(std::min({device[0].y, device[1].y, device[2].y}), bounds.top, bounds.bottom);
      const double shade_pixels =
          std::isfinite(box_w * box_h) ? std::min(box_w * box_h, static_cast<double>(budget)) : 0;
      if (!MayFill(tri) || !Charge(Work::PicturePixels, 4 * static_cast<std::uint64_t>(std::max(shade_pixels, 0.0)))) {
        if (budget_.exhausted) return;
        continue;
      }
      auto shaded = ShadeTriangle(device, corners, bounds, budget);
      if (!shaded) {
        if (budget > 0) continue;  // nothing inside
        double mean[3];
        for (int c = 0; c < 3; ++c) mean[c] = (corners[0]->rgb[c] + corners[1]->rgb[c] + corners[2]->rgb[c]) / 3;
        Brush flat;
        flat.color = PackOpaque(mean) & 0xFFFFFFu;
        ApplyClip();
        surface_.FillPath(tri, FillRule::Alternate, flat, Rop2::CopyPen);
        continue;
      }
      const auto& [origin, image] = *shaded;
      ImageDraw draw;
      draw.source = {0, 0, static_cast<double>(image->width), static_cast<double>(image->height)};
      draw.dest = {origin, PointD{origin.x + image->width, origin.y}, PointD{origin.x, origin.y + image->height}};
      draw.image = image;
      ApplyClip();
      surface_.DrawImage(draw);
    }
    return;
  }
  if (mode != kGradientRectH && mode != kGradientRectV) return;
  if (!r.Has(std::uint64_t{count} * 8)) throw EMetafileError("rectangle count exceeds the record");
  for (std::uint32_t k = 0; k < count; ++k) {
    const std::uint32_t a = r.U32(), b = r.U32();
    if (a >= nver || b >= nver) continue;
    const Vertex& ul = v[a];
    const Vertex& lr = v[b];
    const PointD d0 = ToDevice(ul.p), d1 = ToDevice(lr.p);
    const double extent = mode == kGradientRectH ? std::fabs(d1.x - d0.x) : std::fabs(d1.y - d0.y);
    const int steps = std::isfinite(extent) ? static_cast<int>(std::clamp(std::ceil(extent), 1.0, 4096.0)) : 1;
    if (!Charge(Work::PicturePixels, static_cast<std::uint64_t>(steps))) return;
    auto image = std::make_shared<Image>();
    image->width = mode == kGradientRectH ? steps : 1;
    image->height = mode == kGradientRectH ? 1 : steps;
    image->pixels.resize(static_cast<std::size_t>(steps));
    for (int i = 0; i < steps; ++i) {
      const double t = steps > 1 ? static_cast<double>(i) / (steps - 1) : 0;
      double c[3];
      for (int ch = 0; ch < 3; ++ch) c[ch] = ul.rgb[ch] + (lr.rgb[ch] - ul.rgb[ch]) * t;
      image->pixels[static_cast<std::size_t>(i)] = PackOpaque(c);
    }
    DrawPicture(image, {0, 0, static_cast<double>(image->width), static_cast<double>(image->height)},
                {ul.p.x, ul.p.y, lr.p.x, lr.p.y}, ImageOp::Copy, std::nullopt, 255, false);
  }
}

}  // namespace pravel::gdi
