#ifdef PRAVEL_HAVE_QT

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "cli/command_outcome.h"
#include "cli/commands.h"
#include "platform/gdi/emf_builder.h"
#include "report/ole_date.h"
#include "report/qr_page_list.h"
#include "support/cups_pdf.h"

namespace pravel::cli {
namespace {

class RenderCommand : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }

  // A 100 x 50 mm page with a black rectangle.
  std::string WriteEmf() const {
    gdi::test::EmfBuilder emf({0, 0, 10000, 5000});
    emf.Add(gdi::Emr::SelectObject, {static_cast<std::int32_t>(0x80000004u)});
    emf.Add(gdi::Emr::Rectangle, {100, 100, 900, 400});
    const Bytes bytes = emf.Build();
    std::string path = Path("page.emf");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  static int Run(std::vector<std::string> args) { return RunRender(Args(args)); }

  QTemporaryDir dir_;
};

TEST_F(RenderCommand, PngAtAWidthOrAResolution) {
  const std::string emf = WriteEmf();
  ASSERT_EQ(Run({emf, "-o", Path("w.png"), "--width", "201"}), kExitOk);
  const QImage w(QString::fromStdString(Path("w.png")));
  EXPECT_EQ(w.size(), QSize(201, 101));  // 100.5 rounds up
  EXPECT_EQ(w.pixel(100, 50) & 0xFFFFFFu, 0u);
  EXPECT_EQ(w.pixel(5, 5) & 0xFFFFFFu, 0xFFFFFFu);

  ASSERT_EQ(Run({emf, "-o", Path("d.png")}), kExitOk);  // 96 dpi by default
  EXPECT_EQ(QImage(QString::fromStdString(Path("d.png"))).size(), QSize(378, 189));
  ASSERT_EQ(Run({emf, "--dpi", "254", "-o", Path("d2.png")}), kExitOk);
  EXPECT_EQ(QImage(QString::fromStdString(Path("d2.png"))).size(), QSize(1000, 500));
}

TEST_F(RenderCommand, PdfAndSvg) {
  const std::string emf = WriteEmf();
  ASSERT_EQ(Run({emf, "-o", Path("p.pdf")}), kExitOk);
  QFile pdf(QString::fromStdString(Path("p.pdf")));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
  ASSERT_EQ(Run({emf, "-o", Path("p.svg"), "--page", "1"}), kExitOk);
  EXPECT_TRUE(QFile::exists(QString::fromStdString(Path("p.svg"))));
}

TEST_F(RenderCommand, PageAskingForTooMuchWorkIsWrittenAsFarAsDrawnAndFails) {
  gdi::test::EmfBuilder emf({0, 0, 10000, 5000});
  emf.Add(gdi::Emr::SelectObject, {static_cast<std::int32_t>(0x80000004u)});
  emf.Add(gdi::Emr::Rectangle, {100, 100, 900, 400});
  emf.AddRaw(gdi::Emr::ExtTextOutW, gdi::test::TextBody(0, 0, std::u16string(600000, u'x'), {}));
  const Bytes bytes = emf.Build();
  const std::string path = Path("work.emf");
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  const Outcome run = Call(RunRender, {path, "-o", Path("work.png")});
  EXPECT_EQ(run.status, kExitBadFile);
  EXPECT_NE(run.err.find(": page 1: drawing stopped, the page asks for too much work\n"), std::string::npos) << run.err;
  const QImage image(QString::fromStdString(Path("work.png")));
  EXPECT_EQ(image.pixel(189, 94) & 0xFFFFFFu, 0u);  // the rectangle before it
}

// Read back with pdfinfo: the title from the file name, the date from the
// report's header, the producer; --pdfa adds the PDF/A identification.
TEST_F(RenderCommand, PdfInformationFromTheReport) {
  TQRPageList pages;
  pages.SetStream(std::make_shared<TQRStream>(100000));
  gdi::test::EmfBuilder emf({0, 0, 10000, 5000});
  emf.Add(gdi::Emr::Rectangle, {0, 0, 100, 100});
  pages.AddPage(emf.Make());
  pages.Finish();
  const std::string report = Path("März (1).qrp");
  pages.SaveFile(report);
  const auto created = FormatOleDate(pages.ReadHeader().CreatedAt);
  ASSERT_TRUE(created);
  for (const bool pdfa : {false, true}) {
    const std::string pdf = Path(pdfa ? "a.pdf" : "p.pdf");
    std::vector<std::string> args = {report, "-o", pdf};
    if (pdfa) args.push_back("--pdfa");
    ASSERT_EQ(Run(args), kExitOk);
    const std::string info = test::Shell("pdfinfo -isodates " + test::Quoted(pdf)).output;
    EXPECT_NE(info.find("Title:           März (1)\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Producer:        Pravel 1."), std::string::npos) << info;
    EXPECT_NE(info.find("CreationDate:    " + *created), std::string::npos) << info;
    EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
    const std::string xmp = test::Shell("pdfinfo -meta " + test::Quoted(pdf)).output;
    EXPECT_EQ(xmp.find("<pdfaid:part>1</pdfaid:part>") != std::string::npos, pdfa) << xmp;
    if (pdfa) {
      EXPECT_NE(xmp.find("<xmp:CreateDate>" + *created + "</xmp:CreateDate>"), std::string::npos);
    }
  }
}

TEST_F(RenderCommand, ReportPagesOnePngEachUpToADamagedPage) {
  TQRPageList pages;
  pages.SetStream(std::make_shared<TQRStream>(100000));
  for (int k = 0; k < 3; ++k) {
    gdi::test::EmfBuilder emf({0, 0, 10000, 5000});
    emf.Add(gdi::Emr::Rectangle, {0, 0, 100 * (k + 1), 100});
    pages.AddPage(emf.Make());
  }
  pages.Finish();
  pages.SaveFile(Path("r.qrp"));
  ASSERT_EQ(Run({Path("r.qrp"), "-o", Path("r.png"), "--pages", "2-3", "--width", "100"}), kExitOk);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("r-0001.png"))));
  EXPECT_EQ(QImage(QString::fromStdString(Path("r-0003.png"))).size(), QSize(100, 50));
  ASSERT_EQ(Run({Path("r.qrp"), "-o", Path("one.png"), "--page", "2"}), kExitOk);
  EXPECT_TRUE(QFile::exists(QString::fromStdString(Path("one.png"))));

  // Cut inside the last record: the pages before it are still written.
  QFile whole(QString::fromStdString(Path("r.qrp")));
  ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
  QByteArray bytes = whole.readAll();
  bytes.chop(30);
  QFile cut(QString::fromStdString(Path("cut.qrp")));
  ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
  cut.write(bytes);
  cut.close();
  EXPECT_EQ(Run({Path("cut.qrp"), "-o", Path("c.png")}), kExitBadFile);
  EXPECT_TRUE(QFile::exists(QString::fromStdString(Path("c-0002.png"))));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("c-0003.png"))));
}

// The page widths (points) of a PDF in page-tree order, after checking that
// every xref entry points at its object.
std::vector<int> PdfPageWidths(const std::string& pdf) {
  const std::size_t xref = std::stoul(pdf.substr(pdf.rfind("startxref") + 10));
  std::size_t at = pdf.find('\n', pdf.find('\n', xref) + 1) + 1;
  const int size = std::stoi(pdf.substr(pdf.find(' ', xref) + 1));
  std::vector<std::size_t> offsets(static_cast<std::size_t>(size));
  for (int n = 0; n < size; ++n, at += 20) {
    offsets[static_cast<std::size_t>(n)] = std::stoul(pdf.substr(at, 10));
    const std::string header = std::to_string(n) + " 0 obj";
    if (pdf[at + 17] == 'n') {
      EXPECT_EQ(pdf.compare(offsets[static_cast<std::size_t>(n)], header.size(), header), 0) << n;
    }
  }
  const std::size_t root = offsets[static_cast<std::size_t>(std::stoi(pdf.substr(pdf.find("/Root", at) + 6)))];
  const std::size_t tree = offsets[static_cast<std::size_t>(std::stoi(pdf.substr(pdf.find("/Pages", root) + 7)))];
  std::vector<int> widths;
  std::size_t kid = pdf.find('[', tree) + 1;
  const std::size_t end = pdf.find(']', kid);
  while ((kid = pdf.find_first_of("0123456789", kid)) < end) {
    const std::size_t page = offsets[static_cast<std::size_t>(std::stoi(pdf.substr(kid)))];
    widths.push_back(std::stoi(pdf.substr(pdf.find("/MediaBox [0 0 ", page) + 15)));
    kid = pdf.find('R', kid) + 1;
  }
  return widths;
}

TEST_F(RenderCommand, PdfDrawnOnSeveralThreadsKeepsPageOrder) {
  TQRPageList pages;
  pages.SetStream(std::make_shared<TQRStream>(1 << 24));
  std::vector<int> widths;
  for (int k = 0; k < 7; ++k) {
    const int width_mm = 100 + 10 * k;
    gdi::test::EmfBuilder emf({0, 0, width_mm * 100, 5000});
    emf.Add(gdi::Emr::Rectangle, {0, 0, 100, 100});
    pages.AddPage(emf.Make());
    widths.push_back(static_cast<int>(std::lround(width_mm / 25.4 * 72)));
  }
  pages.Finish();
  pages.SaveFile(Path("r.qrp"));
  const auto read = [this](const char* name) {
    QFile file(QString::fromStdString(Path(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
  };
  ASSERT_EQ(Run({Path("r.qrp"), "-o", Path("three.pdf"), "--jobs", "3", "--quiet"}), kExitOk);
  EXPECT_EQ(PdfPageWidths(read("three.pdf")), widths);

  // A damaged page 6: pages 1 to 5 are written, whichever part held them.
  QByteArray bytes = QByteArray::fromStdString(read("r.qrp"));
  TQRPageList list;
  list.LoadFile(Path("r.qrp"));
  const auto records = list.CheckRecords();
  bytes[static_cast<qsizetype>(records[5].Offset + 8)] = 2;  // no EMF header
  QFile cut(QString::fromStdString(Path("bad.qrp")));
  ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
  cut.write(bytes);
  cut.close();
  EXPECT_EQ(Run({Path("bad.qrp"), "-o", Path("bad.pdf"), "--jobs", "3", "--quiet"}), kExitBadFile);
  widths.resize(5);
  EXPECT_EQ(PdfPageWidths(read("bad.pdf")), widths);
}

TEST_F(RenderCommand, UsageAndBadFiles) {
  const std::string emf = WriteEmf();
  EXPECT_EQ(Run({emf}), kExitUsage);                       // no output
  EXPECT_EQ(Run({emf, "-o", Path("x.bmp")}), kExitUsage);  // unknown format
  EXPECT_EQ(Run({emf, "-o", Path("x.png"), "--pages", "3-1"}), kExitUsage);
  EXPECT_EQ(Run({emf, "-o", Path("x.png"), "--page", "2"}), kExitUsage);  // past the last page
  EXPECT_EQ(Run({emf, "-o", Path("x.png"), "--dpi", "96", "--width", "10"}), kExitUsage);
  EXPECT_EQ(Run({Path("missing.emf"), "-o", Path("x.png")}), kExitBadFile);
  std::ofstream(Path("junk.emf")) << "not a metafile";
  EXPECT_EQ(Run({Path("junk.emf"), "-o", Path("x.png")}), kExitBadFile);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("x.png"))));
}

}  // namespace
}  // namespace pravel::cli

#endif  // PRAVEL_HAVE_QT
