#include "platform/qt/painter_surface.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "platform/gdi/emf_builder.h"
#include "platform/qt/render.h"

namespace pravel::qt {
namespace {

using gdi::Emr;
using gdi::test::EmfBuilder;

class PainterSurfaceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "painter_surface_test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
  }

  // The metafile on a 1000 x 1000 image: one MM_TEXT unit per pixel.
  static QImage Render(const EmfBuilder& emf, int size = 1000) {
    return RenderImage(emf.Make(), QSize(size, size));
  }
  static QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }
  // Columns [from, to) of row y that are not white.
  static std::vector<int> InkColumns(const QImage& image, int y, int from, int to) {
    std::vector<int> out;
    for (int x = from; x < to; ++x)
      if (At(image, x, y) != 0xFFFFFFu) out.push_back(x);
    return out;
  }
};

constexpr QRgb kWhite = 0xFFFFFF, kBlack = 0x000000, kRed = 0xFF0000;

TEST_F(PainterSurfaceTest, RectangleEdgesUnderMapModesAndWorldTransform) {
  const auto check = [](const QImage& image, int l, int t, int r, int b) {
    EXPECT_EQ(At(image, l, t), kBlack);
    EXPECT_EQ(At(image, r - 1, b - 1), kBlack);
    EXPECT_EQ(At(image, r, b), kWhite);
    EXPECT_EQ(At(image, l - 1, t), kWhite);
    EXPECT_EQ(At(image, (l + r) / 2, (t + b) / 2), kRed);
  };
  EmfBuilder text;
  text.Add(Emr::CreateBrushIndirect, {1, 0, 0x0000FF, 0}).Add(Emr::SelectObject, {1});
  text.Add(Emr::Rectangle, {10, 20, 40, 60});
  check(Render(text), 10, 20, 40, 60);

  EmfBuilder aniso;
  aniso.Add(Emr::CreateBrushIndirect, {1, 0, 0x0000FF, 0}).Add(Emr::SelectObject, {1});
  aniso.Add(Emr::SetMapMode, {8}).Add(Emr::SetWindowExtEx, {10, 10}).Add(Emr::SetViewportExtEx, {30, -20});
  aniso.Add(Emr::SetViewportOrgEx, {0, 500}).Add(Emr::Rectangle, {10, 10, 20, 20});
  check(Render(aniso), 30, 460, 60, 480);

  EmfBuilder world;
  Bytes x;
  for (float v : {3.f, 0.f, 0.f, 3.f, 100.f, 100.f}) AppendF32(x, v);
  world.Add(Emr::CreateBrushIndirect, {1, 0, 0x0000FF, 0}).Add(Emr::SelectObject, {1});
  world.AddRaw(Emr::SetWorldTransform, x).Add(Emr::Rectangle, {0, 0, 10, 10});
  check(Render(world), 100, 100, 130, 130);
}

TEST_F(PainterSurfaceTest, TextLandsAtItsAdvancesAndAlignment) {
  EmfBuilder emf;
  emf.AddRaw(Emr::ExtCreateFontIndirectW, gdi::test::FontBody(1, -40, u"Arial"));
  emf.Add(Emr::SelectObject, {1}).Add(Emr::SetBkMode, {1}).Add(Emr::SetTextAlign, {24});
  emf.AddRaw(Emr::ExtTextOutW, gdi::test::TextBody(100, 100, u"II", {200, 10}));
  emf.Add(Emr::SetTextAlign, {24 | 2});
  emf.AddRaw(Emr::ExtTextOutW, gdi::test::TextBody(600, 300, u"I", {50}));
  const QImage image = Render(emf);
  const auto row = InkColumns(image, 90, 0, 1000);
  ASSERT_FALSE(row.empty());
  // Two bars 200 pixels apart, the first starting just after x = 100.
  EXPECT_GE(row.front(), 100);
  EXPECT_LE(row.front(), 106);
  const auto second = InkColumns(image, 90, 250, 400);
  ASSERT_FALSE(second.empty());
  EXPECT_EQ(second.front() - row.front(), 200);
  // Right alignment: the advance ends at the reference point.
  const auto right = InkColumns(image, 290, 500, 700);
  ASSERT_FALSE(right.empty());
  EXPECT_GE(right.front(), 550);
  EXPECT_LT(right.back(), 600);
  // Baseline alignment: nothing below the baseline for a capital I.
  EXPECT_TRUE(InkColumns(image, 101, 0, 400).empty());
}

TEST_F(PainterSurfaceTest, ClippingExcludesWhatItShouldAndRestoreDcRestoresIt) {
  EmfBuilder emf;
  emf.Add(Emr::SelectObject, {static_cast<std::int32_t>(0x80000004u)});  // BLACK_BRUSH
  emf.Add(Emr::SaveDC, {});
  emf.Add(Emr::IntersectClipRect, {0, 0, 100, 100}).Add(Emr::ExcludeClipRect, {40, 40, 60, 60});
  emf.Add(Emr::Rectangle, {0, 0, 200, 50});
  emf.Add(Emr::RestoreDC, {-1});
  emf.Add(Emr::Rectangle, {0, 300, 200, 350});
  const QImage image = Render(emf);
  EXPECT_EQ(At(image, 30, 45), kBlack);
  EXPECT_EQ(At(image, 50, 45), kWhite);   // excluded
  EXPECT_EQ(At(image, 150, 20), kWhite);  // outside the intersection
  EXPECT_EQ(At(image, 150, 320), kBlack); // clip gone after RESTOREDC
}

TEST_F(PainterSurfaceTest, DibIsStretchedTopRowFirst) {
  EmfBuilder emf;
  // 2 x 2, 24-bit bottom-up: bottom row red, blue; top row blue, red.
  const auto dib = gdi::test::MakeDib(2, 2, 24, {}, {0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0});
  emf.AddRaw(Emr::StretchDIBits, gdi::test::StretchDibBody(dib, 100, 100, 40, 40, 2, 2));
  const QImage image = Render(emf);
  EXPECT_EQ(At(image, 105, 105), 0x0000FFu);
  EXPECT_EQ(At(image, 135, 105), kRed);
  EXPECT_EQ(At(image, 105, 135), kRed);
  EXPECT_EQ(At(image, 135, 135), 0x0000FFu);
  EXPECT_EQ(At(image, 140, 140), kWhite);
}

TEST_F(PainterSurfaceTest, RasterOperationsAndHatches) {
  EmfBuilder emf;
  emf.Add(Emr::SelectObject, {static_cast<std::int32_t>(0x80000000u)});  // WHITE_BRUSH
  emf.Add(Emr::SelectObject, {static_cast<std::int32_t>(0x80000008u)});  // NULL_PEN
  emf.Add(Emr::SetRop2, {7});                                             // R2_XORPEN: white turns black
  emf.Add(Emr::Rectangle, {0, 0, 51, 51}).Add(Emr::Rectangle, {20, 20, 71, 71});
  emf.Add(Emr::SetRop2, {13});
  emf.Add(Emr::CreateBrushIndirect, {1, 2, 0x000000, 0}).Add(Emr::SelectObject, {1});  // HS_HORIZONTAL
  emf.Add(Emr::SetBkMode, {1}).Add(Emr::Rectangle, {200, 200, 241, 241});
  const QImage image = Render(emf);
  EXPECT_EQ(At(image, 10, 10), kBlack);
  EXPECT_EQ(At(image, 30, 30), kWhite);  // drawn twice: back to white
  EXPECT_EQ(At(image, 60, 60), kBlack);
  int lines = 0;
  for (int y = 200; y < 240; ++y) lines += At(image, 220, y) == kBlack;
  EXPECT_EQ(lines, 5);                   // one row in eight
  EXPECT_EQ(At(image, 220, 201), kWhite);
}

TEST_F(PainterSurfaceTest, PdfKeepsTextAsTextAndSvgIsWritten) {
  EmfBuilder emf;
  emf.AddRaw(Emr::ExtCreateFontIndirectW, gdi::test::FontBody(1, -40, u"Arial"));
  emf.Add(Emr::SelectObject, {1});
  emf.AddRaw(Emr::ExtTextOutW, gdi::test::TextBody(100, 100, u"Pravel", {25, 25, 25, 25, 25, 25}));
  QTemporaryDir dir;
  {
    PdfDocument pdf(dir.filePath("out.pdf"));
    ASSERT_TRUE(pdf.AddPage(emf.Make()));
    ASSERT_TRUE(pdf.AddPage(emf.Make()));
    ASSERT_TRUE(pdf.Finish());
  }
  QFile pdf(dir.filePath("out.pdf"));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  const QByteArray bytes = pdf.readAll();
  EXPECT_TRUE(bytes.contains("/FontFile2"));  // an embedded font: text, not paths
  EXPECT_TRUE(bytes.contains("/Count 2"));
  ASSERT_TRUE(WriteSvg(emf.Make(), QSize(200, 200), dir.filePath("out.svg")));
  QFile svg(dir.filePath("out.svg"));
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  EXPECT_TRUE(svg.readAll().contains("<svg"));
}

TEST_F(PainterSurfaceTest, LocalFamiliesStandInForReportFonts) {
  EXPECT_EQ(LocalFamily("Arial", 0), "Liberation Sans");
  EXPECT_EQ(LocalFamily("TIMES NEW ROMAN", 0), "Liberation Serif");
  EXPECT_EQ(LocalFamily("Courier New", 0), "Liberation Mono");
  EXPECT_EQ(LocalFamily("", 0x31), "Liberation Mono");
  EXPECT_EQ(LocalFamily("", 0x12), "Liberation Serif");
}

}  // namespace
}  // namespace pravel::qt
