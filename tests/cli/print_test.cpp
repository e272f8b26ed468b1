// qrptool print: its arguments and files, and printing through a CUPS-PDF
// queue, whose PDF is read back with poppler-utils.

#include <gtest/gtest.h>

#include <algorithm>

#include "cli/commands.h"
#include "report/qr_printer_test_util.h"
#include "report/test_files.h"
#include "support/cups_pdf.h"

namespace pravel {
namespace {

using test::Printout;
using test::Quoted;
using test::ReadPdf;
using test::Shell;
using test::ShellRun;
using test::WaitForPdf;
namespace fs = std::filesystem;

std::string PrintCommand(const std::string& args) {
  return Quoted(PRAVEL_BINARY_DIR "/src/cli/qrptool") + " print " + args;
}
std::string PrintCommand(const fs::path& report) { return PrintCommand(Quoted(report)); }

// Three A4 pages, each with a black block of about 8 x 8 cm.
void WriteSampleReport(const fs::path& path) {
  std::vector<gdi::Metafile> pages;
  for (int n = 1; n <= 3; ++n) {
    gdi::EmfRecorder canvas(794, 1123);
    canvas.SelectStockObject(gdi::EmfRecorder::Stock::BlackBrush);
    canvas.Rectangle({100 + 50 * n, 150, 400 + 50 * n, 450});
    test::DrawPage(canvas, n, 794, 1123);
    pages.push_back(canvas.Finish());
  }
  test::WriteReport(path, pages);
}

TEST(QrptoolPrint, BadArgumentsAndFiles) {
  const test::TempDir dir;
  for (const std::string args : {"", "--copies 0 r.qrp", "--last", "--first -1 r.qrp", "a.qrp b.qrp"}) {
    EXPECT_EQ(Shell(PrintCommand(args)).status, cli::kExitUsage) << args;
  }
  test::WriteFileBytes(dir / "short.qrp", Bytes(20, 0));
  for (const std::string name : {"missing.qrp", "short.qrp"}) {
    const ShellRun run = Shell(PrintCommand(dir / name));
    EXPECT_EQ(run.status, cli::kExitBadFile);
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
    EXPECT_NE(run.output.find(name), std::string::npos) << run.output;
  }
  WriteSampleReport(dir / "r.qrp");
  const ShellRun none = Shell("CUPS_SERVER=/nonexistent.sock " + PrintCommand(dir / "r.qrp"));
  EXPECT_EQ(none.status, cli::kExitBadFile);
  EXPECT_NE(none.output.find("no printer is installed"), std::string::npos) << none.output;
}

class CupsPrintTest : public ::testing::Test {
 protected:
  static constexpr const char* kQueue = "PravelPDF";

  // Starts cupsd and adds the queue as the test command does.
  static void SetUpTestSuite() { unavailable_ = test::CupsQueueUnavailable(); }

  void SetUp() override {
    if (unavailable_.empty()) return;
    const char* ci = std::getenv("CI");
    if (ci != nullptr && std::string(ci) == "true") FAIL() << "no CUPS-PDF queue: " << unavailable_;
    GTEST_SKIP() << "CUPS cannot be set up here, so nothing is printed: " << unavailable_;
  }

  // Prints the sample report; what the queue made of it.
  Printout PrintSample(const std::string& options) {
    const fs::path report = dir_ / "sample.qrp";
    WriteSampleReport(report);
    const ShellRun run = Shell(PrintCommand(report) + " --printer " + kQueue + " " + options);
    EXPECT_EQ(run.status, 0) << run.output;
    // The job title is the report's path, which holds the folder's unique name.
    const std::string tag = dir_.Path().filename().string();
    const auto pdf = run.status == 0 ? WaitForPdf(tag) : std::nullopt;
    if (!pdf) {
      ADD_FAILURE() << "no PDF named after " << tag << "; jobs: " << Shell("lpstat -o").output;
      return {};
    }
    Printout printout = ReadPdf(*pdf, dir_.Path());
    fs::remove(*pdf);
    return printout;
  }

  static inline std::string unavailable_;
  test::TempDir dir_;
};

TEST_F(CupsPrintTest, PrintsEveryPageOnA4) {
  const Printout pdf = PrintSample("");
  EXPECT_EQ(pdf.pages, 3);
  EXPECT_NEAR(pdf.width, 595.28, 1);
  EXPECT_NEAR(pdf.height, 841.89, 1);
  for (const int dark : pdf.dark_pixels) {
    EXPECT_GT(dark, 2500);  // the block is about 60 x 60 pixels
    EXPECT_LT(dark, 6000);
  }
}

TEST_F(CupsPrintTest, PrintsTheRange) {
  const Printout pdf = PrintSample("--first 2 --last 3");
  EXPECT_EQ(pdf.pages, 2);
  for (const int dark : pdf.dark_pixels) EXPECT_GT(dark, 2500);
}

TEST_F(CupsPrintTest, APageAskingForTooMuchWorkIsPrintedAsFarAsDrawnAndNamed) {
  const fs::path report = dir_ / "work.qrp";
  test::WriteReport(report, {test::DrawnPage(1), test::WorkExhaustingPage()});
  const ShellRun run = Shell(PrintCommand(report) + " --printer " + kQueue);
  EXPECT_EQ(run.status, cli::kExitBadFile);
  EXPECT_NE(run.output.find(": page 2: drawing stopped, the page asks for too much work\n"), std::string::npos)
      << run.output;
  const auto pdf = WaitForPdf(dir_.Path().filename().string());
  ASSERT_TRUE(pdf) << "jobs: " << Shell("lpstat -o").output;
  EXPECT_EQ(ReadPdf(*pdf, dir_.Path()).pages, 2);
  fs::remove(*pdf);
}

TEST_F(CupsPrintTest, UnknownPrinterIsNamed) {
  WriteSampleReport(dir_ / "r.qrp");
  const ShellRun run = Shell(PrintCommand(dir_ / "r.qrp") + " --printer NoSuchQueue");
  EXPECT_EQ(run.status, cli::kExitBadFile);
  EXPECT_NE(run.output.find("\"NoSuchQueue\""), std::string::npos) << run.output;
}

}  // namespace
}  // namespace pravel
