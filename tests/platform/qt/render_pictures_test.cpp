// Masked and parallelogram blits and gradient fills played onto an image.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <array>

#include "platform/gdi/emf_builder.h"
#include "platform/qt/render.h"

namespace pravel::qt {
namespace {

using gdi::Emr;
using gdi::test::Dib;
using gdi::test::EmfBuilder;
using gdi::test::MakeDib;

class RenderPicturesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "render_pictures_test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
  }
  static QImage Render(const EmfBuilder& emf) { return RenderImage(emf.Make(), QSize(1000, 1000)); }
  static QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }
};

constexpr QRgb kWhite = 0xFFFFFF, kGray = 0x808080, kRed = 0xFF0000, kBlue = 0x0000FF;

void AppendDibRef(Bytes& b, const Dib* dib, std::uint32_t& offset) {
  if (dib == nullptr) {
    for (int i = 0; i < 4; ++i) AppendU32(b, 0);
    return;
  }
  AppendU32(b, offset);
  AppendU32(b, static_cast<std::uint32_t>(dib->bmi.size()));
  AppendU32(b, offset + static_cast<std::uint32_t>(dib->bmi.size()));
  AppendU32(b, static_cast<std::uint32_t>(dib->bits.size()));
  offset += static_cast<std::uint32_t>(dib->bmi.size() + dib->bits.size());
}

void AppendDibs(Bytes& b, std::initializer_list<const Dib*> dibs) {
  for (const Dib* d : dibs) {
    if (d == nullptr) continue;
    b.insert(b.end(), d->bmi.begin(), d->bmi.end());
    b.insert(b.end(), d->bits.begin(), d->bits.end());
  }
}

void AppendIdentityXform(Bytes& b) {
  for (float v : {1.f, 0.f, 0.f, 1.f, 0.f, 0.f}) AppendF32(b, v);
}

// MASKBLT of the whole source to (x, y, w, h); the mask is optional.
Bytes MaskBltBody(const Dib& source, const Dib* mask, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                  std::uint32_t rop4) {
  Bytes b;
  for (int i = 0; i < 4; ++i) AppendI32(b, 0);
  for (std::int32_t v : {x, y, w, h}) AppendI32(b, v);
  AppendU32(b, rop4);
  for (int v : {0, 0}) AppendI32(b, v);
  AppendIdentityXform(b);
  AppendU32(b, 0);  // crBkColorSrc
  AppendU32(b, 0);  // DIB_RGB_COLORS
  std::uint32_t offset = 128;
  AppendDibRef(b, &source, offset);
  for (int v : {0, 0}) AppendI32(b, v);
  AppendU32(b, 0);
  AppendDibRef(b, mask, offset);
  AppendDibs(b, {&source, mask});
  return b;
}

// PLGBLT of the whole w x h source onto the parallelogram p0 (top-left),
// p1 (top-right), p2 (bottom-left).
Bytes PlgBltBody(const Dib& source, const Dib* mask, std::array<QPoint, 3> corners, std::int32_t w, std::int32_t h) {
  Bytes b;
  for (int i = 0; i < 4; ++i) AppendI32(b, 0);
  for (const QPoint& p : corners) {
    AppendI32(b, p.x());
    AppendI32(b, p.y());
  }
  for (std::int32_t v : {0, 0, w, h}) AppendI32(b, v);
  AppendIdentityXform(b);
  AppendU32(b, 0);
  AppendU32(b, 0);
  std::uint32_t offset = 140;
  AppendDibRef(b, &source, offset);
  for (int v : {0, 0}) AppendI32(b, v);
  AppendU32(b, 0);
  AppendDibRef(b, mask, offset);
  AppendDibs(b, {&source, mask});
  return b;
}

struct GradientVertex {
  std::int32_t x, y;
  std::uint16_t r, g, b;
};

Bytes GradientBody(const std::vector<GradientVertex>& vertices, const std::vector<std::uint32_t>& indices,
                   std::uint32_t per_shape, std::uint32_t mode) {
  Bytes b;
  for (int i = 0; i < 4; ++i) AppendI32(b, 0);
  AppendU32(b, static_cast<std::uint32_t>(vertices.size()));
  AppendU32(b, static_cast<std::uint32_t>(indices.size() / per_shape));
  AppendU32(b, mode);
  for (const auto& v : vertices) {
    AppendI32(b, v.x);
    AppendI32(b, v.y);
    for (std::uint16_t c : {v.r, v.g, v.b, std::uint16_t{0}}) AppendU16(b, c);
  }
  for (std::uint32_t i : indices) AppendU32(b, i);
  return b;
}

void GrayBackground(EmfBuilder& emf) {
  emf.Add(Emr::SelectObject, {static_cast<std::int32_t>(0x80000002u)});  // GRAY_BRUSH
  emf.Add(Emr::SelectObject, {static_cast<std::int32_t>(0x80000008u)});  // NULL_PEN
  emf.Add(Emr::Rectangle, {0, 0, 1001, 1001});
}

// 2 x 1, 1 bit: red then blue.
Dib RedBlue() { return MakeDib(2, 1, 1, {0xFF0000, 0x0000FF}, {0x40, 0, 0, 0}); }

TEST_F(RenderPicturesTest, MaskBltDrawsForegroundWhereTheMaskIsSetAndKeepsTheRest) {
  EmfBuilder emf;
  GrayBackground(emf);
  const Dib source = RedBlue();
  const Dib mask = MakeDib(2, 1, 1, {0x000000, 0xFFFFFF}, {0x80, 0, 0, 0});  // set, clear
  // Foreground SRCCOPY, background leaves the destination.
  emf.AddRaw(Emr::MaskBlt, MaskBltBody(source, &mask, 100, 100, 2, 1, 0xAACC0020u));
  // Foreground leaves the destination, background SRCCOPY: the other pixel.
  emf.AddRaw(Emr::MaskBlt, MaskBltBody(source, &mask, 100, 200, 2, 1, 0xCCAA0029u));
  // No mask: the foreground operation everywhere.
  emf.AddRaw(Emr::MaskBlt, MaskBltBody(source, nullptr, 100, 300, 2, 1, 0xAACC0020u));
  const QImage image = Render(emf);
  EXPECT_EQ(At(image, 100, 100), kRed);
  EXPECT_EQ(At(image, 101, 100), kGray);
  EXPECT_EQ(At(image, 100, 200), kGray);
  EXPECT_EQ(At(image, 101, 200), kBlue);
  EXPECT_EQ(At(image, 100, 300), kRed);
  EXPECT_EQ(At(image, 101, 300), kBlue);
}

TEST_F(RenderPicturesTest, PlgBltMapsTheSourceOntoAParallelogramThroughItsMask) {
  // 2 x 2 bottom-up: top row blue, red; bottom row red, blue.
  const Dib source = MakeDib(2, 2, 24, {}, {0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0});
  const std::array<QPoint, 3> corners{QPoint(100, 100), QPoint(300, 100), QPoint(200, 300)};
  {
    EmfBuilder emf;
    emf.AddRaw(Emr::PlgBlt, PlgBltBody(source, nullptr, corners, 2, 2));
    const QImage image = Render(emf);
    EXPECT_EQ(At(image, 175, 150), kBlue);   // source (0.5, 0.5)
    EXPECT_EQ(At(image, 275, 150), kRed);    // source (1.5, 0.5)
    EXPECT_EQ(At(image, 225, 250), kRed);    // source (0.5, 1.5)
    EXPECT_EQ(At(image, 325, 250), kBlue);   // source (1.5, 1.5)
    EXPECT_EQ(At(image, 120, 250), kWhite);  // left of the slanted edge
    EXPECT_EQ(At(image, 380, 150), kWhite);  // right of it
  }
  {
    // Mask bottom-up: bottom row set, set; top row set, clear.
    const Dib mask = MakeDib(2, 2, 1, {0x000000, 0xFFFFFF}, {0xC0, 0, 0, 0, 0x80, 0, 0, 0});
    EmfBuilder emf;
    GrayBackground(emf);
    emf.AddRaw(Emr::PlgBlt, PlgBltBody(source, &mask, corners, 2, 2));
    const QImage image = Render(emf);
    EXPECT_EQ(At(image, 175, 150), kBlue);
    EXPECT_EQ(At(image, 275, 150), kGray);
    EXPECT_EQ(At(image, 225, 250), kRed);
  }
}

TEST_F(RenderPicturesTest, BlitsWithBadOffsetsOrCutShortDrawWhatIsSound) {
  const Dib source = RedBlue();
  const Dib mask = MakeDib(2, 1, 1, {0x000000, 0xFFFFFF}, {0x80, 0, 0, 0});
  EmfBuilder emf;
  Bytes masked = MaskBltBody(source, &mask, 100, 100, 2, 1, 0xAACC0020u);
  StoreU32(masked, 104, 0xFFFFFF00u);  // offBmiMask far past the record: no mask
  emf.AddRaw(Emr::MaskBlt, masked);
  Bytes plg = PlgBltBody(source, nullptr, {QPoint(200, 200), QPoint(300, 200), QPoint(200, 300)}, 2, 1);
  StoreU32(plg, 88, 0xFFFFFF00u);  // offBmiSrc past the record
  emf.AddRaw(Emr::PlgBlt, plg);
  Bytes cut = PlgBltBody(source, nullptr, {QPoint(400, 400), QPoint(500, 400), QPoint(400, 500)}, 2, 1);
  cut.resize(40);
  emf.AddRaw(Emr::PlgBlt, cut);
  Bytes gradient = GradientBody({{0, 0, 0, 0, 0}}, {0, 0, 0}, 3, 2);
  gradient.resize(30);  // the triangle's indices cut off
  emf.AddRaw(Emr::GradientFill, gradient);
  const QImage image = Render(emf);
  EXPECT_EQ(At(image, 100, 100), kRed);
  EXPECT_EQ(At(image, 101, 100), kBlue);
  EXPECT_EQ(At(image, 250, 250), kWhite);
  EXPECT_EQ(At(image, 450, 450), kWhite);
}

TEST_F(RenderPicturesTest, RectangleGradientsRunAlongTheirAxis) {
  EmfBuilder emf;
  // Horizontal red to blue over (100, 100)-(356, 150); vertical black to white below.
  emf.AddRaw(Emr::GradientFill, GradientBody({{100, 100, 0xFF00, 0, 0}, {356, 150, 0, 0, 0xFF00}}, {0, 1}, 2, 0));
  emf.AddRaw(Emr::GradientFill, GradientBody({{100, 200, 0, 0, 0}, {150, 456, 0xFF00, 0xFF00, 0xFF00}}, {0, 1}, 2, 1));
  const QImage image = Render(emf);
  EXPECT_EQ(At(image, 100, 120), kRed);
  EXPECT_NEAR(qRed(At(image, 228, 120)), 128, 3);
  EXPECT_NEAR(qBlue(At(image, 228, 120)), 128, 3);
  EXPECT_EQ(qRed(At(image, 355, 120)) < 3 && qBlue(At(image, 355, 120)) > 252, true);
  EXPECT_EQ(At(image, 356, 120), kWhite);
  EXPECT_EQ(At(image, 228, 150), kWhite);
  int last = -1;
  for (int y = 200; y < 456; y += 16) {
    const int level = qGreen(At(image, 120, y));
    EXPECT_GE(level, last);
    EXPECT_EQ(At(image, 150, y), kWhite);
    last = level;
  }
  EXPECT_GT(last, 230);
}

TEST_F(RenderPicturesTest, TrianglesAreGouraudShadedInsideTheirEdgesOnly) {
  EmfBuilder emf;
  GrayBackground(emf);
  // Red, green and blue corners; a second triangle names a vertex that does not exist.
  emf.AddRaw(Emr::GradientFill,
             GradientBody({{100, 100, 0xFF00, 0, 0}, {700, 100, 0, 0xFF00, 0}, {100, 700, 0, 0, 0xFF00}},
                          {0, 1, 2, 0, 1, 7}, 3, 2));
  const QImage image = Render(emf);
  const QRgb near_red = At(image, 110, 110), near_green = At(image, 680, 110), near_blue = At(image, 110, 680);
  EXPECT_GT(qRed(near_red), 240);
  EXPECT_GT(qGreen(near_green), 240);
  EXPECT_GT(qBlue(near_blue), 240);
  const QRgb centre = At(image, 300, 300);  // the centroid: equal shares
  EXPECT_NEAR(qRed(centre), 85, 3);
  EXPECT_NEAR(qGreen(centre), 85, 3);
  EXPECT_NEAR(qBlue(centre), 85, 3);
  // The midpoint of the long edge mixes green and blue only.
  const QRgb edge = At(image, 398, 398);
  EXPECT_LT(qRed(edge), 6);
  EXPECT_NEAR(qGreen(edge), qBlue(edge), 4);
  EXPECT_EQ(At(image, 420, 420), kGray);  // beyond the long edge
  EXPECT_EQ(At(image, 90, 300), kGray);
}

TEST_F(RenderPicturesTest, TrianglesPastTheShadingBudgetAreStillFilled) {
  // Twenty page-sized triangles: the last ones get their mean colour, which is
  // that of their corners here.
  std::vector<GradientVertex> vertices{{0, 0, 0xFF00, 0, 0}, {1000, 0, 0xFF00, 0, 0}, {0, 1000, 0xFF00, 0, 0},
                                       {0, 0, 0, 0, 0xFF00}, {1000, 0, 0, 0, 0xFF00}, {0, 1000, 0, 0, 0xFF00}};
  std::vector<std::uint32_t> indices;
  for (int k = 0; k < 19; ++k) indices.insert(indices.end(), {0, 1, 2});
  indices.insert(indices.end(), {3, 4, 5});
  EmfBuilder emf;
  emf.AddRaw(Emr::GradientFill, GradientBody(vertices, indices, 3, 2));
  const QImage image = Render(emf);
  EXPECT_EQ(At(image, 100, 100), kBlue);
  EXPECT_EQ(At(image, 900, 900), kWhite);
}

}  // namespace
}  // namespace pravel::qt
