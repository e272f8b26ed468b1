// qrptool print: its arguments and files, and printing through a CUPS-PDF
// queue, whose PDF is read back with poppler-utils.

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <thread>

#include "cli/commands.h"
#include "report/qr_printer_test_util.h"
#include "report/test_files.h"

namespace pravel {
namespace {

namespace fs = std::filesystem;

struct ShellRun {
  int status = -1;
  std::string output;  // standard output and error
};

ShellRun Shell(const std::string& command) {
  ShellRun run;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

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

// Where CUPS-PDF puts this user's files.
std::vector<fs::path> PdfFolders() {
  const passwd* user = ::getpwuid(::getuid());
  std::string out = "${HOME}/PDF", anonymous = "/var/spool/cups-pdf/ANONYMOUS";
  std::ifstream conf("/etc/cups/cups-pdf.conf");
  for (std::string key, value; conf >> key && std::getline(conf >> std::ws, value);) {
    if (key == "Out") out = value;
    if (key == "AnonDirName") anonymous = value;
  }
  if (user != nullptr) out = std::regex_replace(out, std::regex(R"(\$\{HOME\})"), user->pw_dir);
  return {out, anonymous};
}

// The PDF with `tag` in its name, once CUPS-PDF has written all of it.
std::optional<fs::path> WaitForPdf(const std::string& tag) {
  std::uintmax_t last_size = 0;
  for (int attempt = 0; attempt < 300; ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (const fs::path& folder : PdfFolders()) {
      std::error_code error;
      for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().filename().string().find(tag) == std::string::npos) continue;
        const std::uintmax_t size = fs::file_size(entry.path(), error);
        if (!error && size > 0 && size == last_size && Shell("pdfinfo " + Quoted(entry.path())).status == 0)
          return entry.path();
        last_size = size;
      }
    }
  }
  return std::nullopt;
}

struct Printout {
  int pages = 0;
  double width = 0, height = 0;  // points
  std::vector<int> dark_pixels;  // of each page at 20 dpi
};

Printout ReadPdf(const fs::path& pdf, const fs::path& work) {
  Printout out;
  const std::string info = Shell("pdfinfo " + Quoted(pdf)).output;
  std::smatch m;
  if (std::regex_search(info, m, std::regex(R"(Pages:\s+(\d+))"))) out.pages = std::stoi(m[1]);
  if (std::regex_search(info, m, std::regex(R"(Page size:\s+([\d.]+) x ([\d.]+))"))) {
    out.width = std::stod(m[1]);
    out.height = std::stod(m[2]);
  }
  Shell("pdftoppm -r 20 -gray " + Quoted(pdf) + " " + Quoted(work / "page"));
  for (int n = 1; n <= out.pages; ++n) {
    std::ifstream pgm(work / ("page-" + std::to_string(n) + ".pgm"), std::ios::binary);
    std::string magic;
    int w = 0, h = 0, max = 0, dark = 0;
    pgm >> magic >> w >> h >> max;
    pgm.get();
    for (int i = 0; i < w * h; ++i) dark += pgm.get() < 128 ? 1 : 0;
    out.dark_pixels.push_back(dark);
  }
  return out;
}

class CupsPrintTest : public ::testing::Test {
 protected:
  static constexpr const char* kQueue = "PravelPDF";

  static void SetUpTestSuite() {
    const std::string has_queue = std::string("lpstat -v ") + kQueue;
    if (Shell(has_queue).status == 0) return;
    // Starts cupsd and adds the queue as the test command does.
    const ShellRun setup = Shell("CI=false bash " + Quoted(PRAVEL_SOURCE_DIR "/scripts/test.d/05-cups.sh"));
    if (Shell(has_queue).status != 0) unavailable_ = setup.output;
  }

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

TEST_F(CupsPrintTest, UnknownPrinterIsNamed) {
  WriteSampleReport(dir_ / "r.qrp");
  const ShellRun run = Shell(PrintCommand(dir_ / "r.qrp") + " --printer NoSuchQueue");
  EXPECT_EQ(run.status, cli::kExitBadFile);
  EXPECT_NE(run.output.find("\"NoSuchQueue\""), std::string::npos) << run.output;
}

}  // namespace
}  // namespace pravel
