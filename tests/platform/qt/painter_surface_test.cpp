#include "platform/qt/painter_surface.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "platform/gdi/emf_builder.h"
#include "platform/qt/font_resolver.h"
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
    // Kept to the end: destroyed after main, removing the look-alike
    // application fonts would reach a font cache already gone.
    static auto* app = new QGuiApplication(argc, argv);
    (void)app;
  }

  // The metafile on a 1000 x 1000 image: one MM_TEXT unit per pixel.
  static QImage Render(const EmfBuilder& emf, int size = 1000) { return RenderImage(emf.Make(), QSize(size, size)); }
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
    EXPECT_EQ(At(image, r, b), kBlack);
    EXPECT_EQ(At(image, r + 1, b), kWhite);
    EXPECT_EQ(At(image, r, b + 1), kWhite);
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
  EXPECT_EQ(At(image, 50, 45), kWhite);    // excluded
  EXPECT_EQ(At(image, 150, 20), kWhite);   // outside the intersection
  EXPECT_EQ(At(image, 150, 320), kBlack);  // clip gone after RESTOREDC
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
  emf.Add(Emr::SetRop2, {7});                                            // R2_XORPEN: white turns black
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
  EXPECT_EQ(lines, 5);  // one row in eight
  EXPECT_EQ(At(image, 220, 201), kWhite);
}

// BITBLT of a whole DIB to (x, y) with a raster operation.
Bytes BlitBody(const gdi::test::Dib& dib, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
               std::uint32_t rop) {
  const std::uint32_t off_bmi = 8 + 92;
  const auto off_bits = static_cast<std::uint32_t>(off_bmi + dib.bmi.size());
  Bytes b;
  for (int i = 0; i < 4; ++i) AppendI32(b, 0);
  for (std::int32_t v : {x, y, w, h}) AppendI32(b, v);
  AppendU32(b, rop);
  for (int v : {0, 0}) AppendI32(b, v);
  for (float v : {1.f, 0.f, 0.f, 1.f, 0.f, 0.f}) AppendF32(b, v);
  for (std::uint32_t v : {0u, 0u, off_bmi, static_cast<std::uint32_t>(dib.bmi.size()), off_bits,
                          static_cast<std::uint32_t>(dib.bits.size())})
    AppendU32(b, v);
  b.insert(b.end(), dib.bmi.begin(), dib.bmi.end());
  b.insert(b.end(), dib.bits.begin(), dib.bits.end());
  return b;
}

TEST_F(PainterSurfaceTest, MaskThenPaintLeavesTheBackgroundAroundAPicture) {
  EmfBuilder emf;
  emf.Add(Emr::SelectObject, {static_cast<std::int32_t>(0x80000002u)});  // GRAY_BRUSH background
  emf.Add(Emr::SelectObject, {static_cast<std::int32_t>(0x80000008u)});
  emf.Add(Emr::Rectangle, {0, 0, 101, 101});
  // 1-bit, 2 x 1: the left pixel is the picture (mask 0), the right one transparent (mask 1).
  const auto mask = gdi::test::MakeDib(2, 1, 1, {0x000000, 0xFFFFFF}, {0x40, 0, 0, 0});
  const auto image = gdi::test::MakeDib(2, 1, 1, {0xFF0000, 0x000000}, {0x40, 0, 0, 0});  // red, black
  emf.AddRaw(Emr::StretchBlt, [&] {
    Bytes b = BlitBody(mask, 10, 10, 80, 40, gdi::Bits(gdi::TernaryRop::SrcAnd));
    Bytes tail;
    AppendI32(tail, 2);
    AppendI32(tail, 1);
    b.insert(b.begin() + 100 - 8, tail.begin(), tail.end());
    for (std::uint32_t off : {76u, 84u}) StoreU32(b, off, LoadU32(b, off) + 8);
    return b;
  }());
  emf.AddRaw(Emr::StretchBlt, [&] {
    Bytes b = BlitBody(image, 10, 10, 80, 40, gdi::Bits(gdi::TernaryRop::SrcPaint));
    Bytes tail;
    AppendI32(tail, 2);
    AppendI32(tail, 1);
    b.insert(b.begin() + 100 - 8, tail.begin(), tail.end());
    for (std::uint32_t off : {76u, 84u}) StoreU32(b, off, LoadU32(b, off) + 8);
    return b;
  }());
  const QImage result = Render(emf);
  EXPECT_EQ(At(result, 20, 20), kRed);       // the picture
  EXPECT_EQ(At(result, 80, 20), 0x808080u);  // the background shows through
  EXPECT_EQ(At(result, 5, 5), 0x808080u);
}

TEST_F(PainterSurfaceTest, PdfKeepsTextAsTextAndSvgHasItsOutlines) {
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
  // The run as one filled outline: the writer's own text path adds an empty
  // text element and a group for each.
  const QByteArray content = svg.readAll();
  EXPECT_EQ(content.count("<path"), 1);
  EXPECT_FALSE(content.contains("<text"));
}

TEST_F(PainterSurfaceTest, PdfEmbedsAPictureDrawnAgainWholeOrInPartsOnce) {
  const auto dib = gdi::test::MakeDib(2, 2, 24, {}, {0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0});
  EmfBuilder emf;
  for (int k = 0; k < 6; ++k) {
    Bytes body = gdi::test::StretchDibBody(dib, 20 * k, 10, 10, 10, 2 - k % 2, 2);  // odd: the left column
    if (k == 5) StoreU32(body, 24, 1);                                              // xSrc: the right column
    emf.AddRaw(Emr::StretchDIBits, body);
  }
  QTemporaryDir dir;
  {
    PdfDocument pdf(dir.filePath("out.pdf"));
    ASSERT_TRUE(pdf.AddPage(emf.Make()));
    ASSERT_TRUE(pdf.Finish());
  }
  QFile pdf(dir.filePath("out.pdf"));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_EQ(pdf.readAll().count("/Subtype /Image"), 1);
}

// Black pixels of column x from y0 to y1.
int BlackRun(const QImage& image, int x, int y0, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y) n += (image.pixel(x, y) & 0xFFFFFFu) == 0;
  return n;
}

TEST_F(PainterSurfaceTest, AdjacentCellsShareOneLineAtScreenAndPrinterResolution) {
  const auto table = [](int pen_width) {
    EmfBuilder emf;
    emf.Add(Emr::CreatePen, {1, 0, pen_width, 0, 0}).Add(Emr::SelectObject, {1});
    emf.Add(Emr::Rectangle, {100, 100, 500, 300}).Add(Emr::Rectangle, {100, 300, 500, 500});
    return emf;
  };
  // One unit per pixel: the cells meet on row 300, drawn once.
  const QImage screen = Render(table(0));
  EXPECT_EQ(BlackRun(screen, 200, 90, 510), 3);
  EXPECT_EQ(At(screen, 500, 400), kBlack);
  // Six units of a 600 dpi page at screen size are one pixel wide.
  const QImage printer = Render(table(6), 160);
  EXPECT_EQ(BlackRun(printer, 40, 10, 90), 3);
  // Without a pen the fill stops one pixel short of right and bottom.
  EmfBuilder fill;
  fill.Add(Emr::CreateBrushIndirect, {1, 0, 0x0000FF, 0}).Add(Emr::SelectObject, {1});
  fill.Add(Emr::SelectObject, {static_cast<std::int32_t>(0x80000008u)}).Add(Emr::Rectangle, {10, 10, 40, 40});
  const QImage filled = Render(fill);
  EXPECT_EQ(At(filled, 39, 39), kRed);
  EXPECT_EQ(At(filled, 40, 39), kWhite);
}

Bytes StyledFont(std::int32_t height, const std::u16string& face, std::int32_t weight, bool underline = false,
                 bool strike_out = false) {
  Bytes b = gdi::test::FontBody(1, height, face);
  StoreU32(b, 20, static_cast<std::uint32_t>(weight));
  b[25] = underline ? 1 : 0;
  b[26] = strike_out ? 1 : 0;
  return b;
}

int InkPixels(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu;
  return n;
}

TEST_F(PainterSurfaceTest, FacesThatAreNotInstalledKeepTheirWeight) {
  for (const char16_t* face : {u"Verdana", u"Segoe UI", u"MS Sans Serif"}) {
    const auto title = [face](std::int32_t weight) {
      EmfBuilder emf;
      emf.AddRaw(Emr::ExtCreateFontIndirectW, StyledFont(-27, face, weight)).Add(Emr::SelectObject, {1});
      emf.Add(Emr::SetBkMode, {1});
      emf.AddRaw(Emr::ExtTextOutW, gdi::test::TextBody(20, 20, u"FAKTURA", {}));
      return InkPixels(Render(emf));
    };
    EXPECT_GT(title(700), title(400) * 5 / 4) << QString::fromStdU16String(face).toStdString();
  }
}

TEST_F(PainterSurfaceTest, FontsAreRealisedAsGdiRealisesThem) {
  LoadLookAlikeFonts();
  FontCache fonts(false);
  gdi::FontSpec tahoma;
  tahoma.face = u"Tahoma";
  tahoma.height = 12;
  EXPECT_EQ(fonts.Get(tahoma).ascent, 12);  // its OS/2 Windows ascent, not the typographic one
  EXPECT_EQ(fonts.Get(tahoma).descent, 2);
  gdi::FontSpec bitmaps;
  bitmaps.face = u"MS Sans Serif";
  bitmaps.height = 24;
  bitmaps.weight = 700;
  EXPECT_TRUE(BitmapFaceFits(fonts.Get(bitmaps).raw, 24, 700, false));
  EXPECT_NE(WidgetFamily("MS Sans Serif", 24, true), "MS Sans Serif");
  gdi::FontSpec cyrillic;  // a size the bitmaps have, but not their letters
  cyrillic.face = u"MS Sans Serif";
  cyrillic.height = 16;
  cyrillic.charset = 204;
  EXPECT_TRUE(fonts.Get(cyrillic).raw.supportsCharacter(QChar(u'\u0416')));
}

TEST_F(PainterSurfaceTest, UnderlineAndStrikeOutStayWithTextDrawnAtHalfSize) {
  for (bool underline : {true, false}) {
    EmfBuilder emf;
    emf.AddRaw(Emr::ExtCreateFontIndirectW, StyledFont(-27, u"Arial", 400, underline, !underline));
    emf.Add(Emr::SelectObject, {1}).Add(Emr::SetBkMode, {1}).Add(Emr::SetTextAlign, {24});
    emf.AddRaw(Emr::ExtTextOutW, gdi::test::TextBody(100, 800, u"  ", {60, 60}));
    const QImage image = Render(emf, 500);  // baseline at y = 400
    // A full-width line crosses column 60, near the baseline: just below it
    // for the underline, a third of the ascent above for the strike-out.
    std::vector<int> rows;
    for (int y = 0; y < 500; ++y)
      if (At(image, 60, y) == kBlack) rows.push_back(y);
    ASSERT_FALSE(rows.empty());
    if (underline) {
      EXPECT_GE(rows.front(), 400);
      EXPECT_LE(rows.back(), 406);
    } else {
      EXPECT_GE(rows.front(), 390);
      EXPECT_LE(rows.back(), 398);
    }
  }
}

TEST_F(PainterSurfaceTest, LocalFamiliesStandInForReportFonts) {
  EXPECT_EQ(LocalFamily("Arial", 0), "Liberation Sans");
  EXPECT_EQ(LocalFamily("TIMES NEW ROMAN", 0), "Liberation Serif");
  EXPECT_EQ(LocalFamily("Courier New", 0), "Liberation Mono");
  EXPECT_EQ(LocalFamily("Calibri", 0), "Carlito");
  EXPECT_EQ(LocalFamily("", 0x31), "Liberation Mono");
  EXPECT_EQ(LocalFamily("", 0x12), "Liberation Serif");
  EXPECT_EQ(LocalFamily("Verdana", 0), "Liberation Sans");  // not installed: by family bits
  EXPECT_EQ(LocalFamily("Georgia", 0x12), "Liberation Serif");
}

}  // namespace
}  // namespace pravel::qt
