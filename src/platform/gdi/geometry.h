#pragma once
// Points, rectangles and affine transforms in double precision.

#include <cmath>
#include <cstdint>

namespace pravel::gdi {

struct PointD {
  double x = 0, y = 0;
  friend bool operator==(const PointD&, const PointD&) = default;
};

struct RectD {
  double left = 0, top = 0, right = 0, bottom = 0;
  double Width() const noexcept { return right - left; }
  double Height() const noexcept { return bottom - top; }
  friend bool operator==(const RectD&, const RectD&) = default;
};

// Integer rectangle, right and bottom exclusive.
struct RectI {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const noexcept { return right <= left || bottom <= top; }
  friend bool operator==(const RectI&, const RectI&) = default;
};

// x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy (the EMF XFORM layout).
struct XForm {
  double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;

  PointD Map(PointD p) const noexcept { return {m11 * p.x + m21 * p.y + dx, m12 * p.x + m22 * p.y + dy}; }
  // Maps a vector (no translation).
  PointD MapVector(PointD v) const noexcept { return {m11 * v.x + m21 * v.y, m12 * v.x + m22 * v.y}; }
  double Determinant() const noexcept { return m11 * m22 - m12 * m21; }
  bool IsIdentity() const noexcept { return m11 == 1 && m12 == 0 && m21 == 0 && m22 == 1 && dx == 0 && dy == 0; }
  bool HasRotation() const noexcept { return m12 != 0 || m21 != 0; }
  // Average linear scale, for widths and heights.
  double Scale() const noexcept { return std::sqrt(std::fabs(Determinant())); }
  friend bool operator==(const XForm&, const XForm&) = default;
};

// First a, then b.
inline XForm Then(const XForm& a, const XForm& b) noexcept {
  return {a.m11 * b.m11 + a.m12 * b.m21, a.m11 * b.m12 + a.m12 * b.m22,      a.m21 * b.m11 + a.m22 * b.m21,
          a.m21 * b.m12 + a.m22 * b.m22, a.dx * b.m11 + a.dy * b.m21 + b.dx, a.dx * b.m12 + a.dy * b.m22 + b.dy};
}

// The inverse, or the identity when the transform is singular.
inline XForm Inverse(const XForm& t) noexcept {
  const double det = t.Determinant();
  if (det == 0 || !std::isfinite(det)) return {};
  XForm r;
  r.m11 = t.m22 / det;
  r.m12 = -t.m12 / det;
  r.m21 = -t.m21 / det;
  r.m22 = t.m11 / det;
  r.dx = -(t.dx * r.m11 + t.dy * r.m21);
  r.dy = -(t.dx * r.m12 + t.dy * r.m22);
  return r;
}

inline bool IsFinite(const XForm& t) noexcept {
  return std::isfinite(t.m11) && std::isfinite(t.m12) && std::isfinite(t.m21) && std::isfinite(t.m22) &&
         std::isfinite(t.dx) && std::isfinite(t.dy);
}

}  // namespace pravel::gdi
