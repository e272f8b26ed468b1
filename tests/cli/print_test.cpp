// qrptool print: its arguments and files, and printing through a CUPS-PDF
// queue, whose PDF is read back with poppler-utils.

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "cli/commands.h"
#include "platform/gdi/emf_recorder.h"
#include "report/qr_printer_test_util.h"
#include "report/test_files.h"

namespace pravel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kQueue = "PravelPDF";

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

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

bool InCi() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::string(ci) == "true";
}

// The folders CUPS-PDF writes into for this user, from its configuration.
std::vector<fs::path> OutputFolders() {
  const passwd* user = ::getpwuid(::getuid());
  const std::string home = user != nullptr ? user->pw_dir : "";
  const std::string name = user != nullptr ? user->pw_name : "";
  std::string out = "${HOME}/PDF";
  std::string anonymous = "/var/spool/cups-pdf/ANONYMOUS";
  std::ifstream conf("/etc/cups/cups-pdf.conf");
  for (std::string line; std::getline(conf, line);) {
    std::smatch m;
    if (std::regex_match(line, m, std::regex(R"(\s*Out\s+(\S+)\s*)"))) out = m[1];
    if (std::regex_match(line, m, std::regex(R"(\s*AnonDirName\s+(\S+)\s*)"))) anonymous = m[1];
  }
  out = std::regex_replace(out, std::regex(R"(\$\{HOME\})"), home);
  out = std::regex_replace(out, std::regex(R"(\$\{USER\})"), name);
  return {out, anonymous};
}

// The PDF whose name carries `tag`, once CUPS-PDF has finished writing it.
std::optional<fs::path> WaitForPdf(const std::string& tag, std::chrono::seconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::optional<fs::path> found;
  std::uintmax_t last_size = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    for (const fs::path& folder : OutputFolders()) {
      std::error_code error;
      for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.find(tag) != std::string::npos && entry.path().extension() == ".pdf") found = entry.path();
      }
    }
    if (found) {
      // Complete when its size holds still and poppler can read it.
      std::error_code error;
      const std::uintmax_t size = fs::file_size(*found, error);
      if (!error && size > 0 && size == last_size && Shell("pdfinfo " + Quoted(found->string())).status == 0)
        return found;
      last_size = error ? 0 : size;
    }
    std::this_thread::sleep_for(300ms);
  }
  return std::nullopt;
}

// A 3-page A4 report, each page with a black block and a line of text.
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

struct PdfPages {
  int count = 0;
  double width = 0, height = 0;  // points
  std::vector<int> dark_pixels;  // per page, at 20 dpi
};

PdfPages ReadPdf(const fs::path& pdf, const fs::path& work) {
  PdfPages out;
  const ShellRun info = Shell("pdfinfo " + Quoted(pdf.string()));
  std::smatch m;
  if (std::regex_search(info.output, m, std::regex(R"(Pages:\s+(\d+))"))) out.count = std::stoi(m[1]);
  if (std::regex_search(info.output, m, std::regex(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)"))) {
    out.width = std::stod(m[1]);
    out.height = std::stod(m[2]);
  }
  const std::string prefix = (work / "page").string();
  Shell("pdftoppm -r 20 -gray " + Quoted(pdf.string()) + " " + Quoted(prefix));
  for (int n = 1; n <= out.count; ++n) {
    std::ifstream pgm(prefix + "-" + std::to_string(n) + ".pgm", std::ios::binary);
    std::string magic;
    int w = 0, h = 0, max = 0;
    pgm >> magic >> w >> h >> max;
    pgm.get();
    int dark = 0;
    for (int i = 0; i < w * h; ++i) dark += pgm.get() < 128 ? 1 : 0;
    out.dark_pixels.push_back(dark);
  }
  return out;
}

std::string Qrptool() { return Quoted(PRAVEL_BINARY_DIR "/src/cli/qrptool"); }

TEST(QrptoolPrint, BadArgumentsAndFiles) {
  const test::TempDir dir;
  test::WriteFileBytes(dir / "short.qrp", Bytes(20, 0));
  for (const std::string args : {"", "--copies 0 r.qrp", "--last", "--first -1 r.qrp", "a.qrp b.qrp",
                                 "--duplex r.qrp"}) {
    EXPECT_EQ(Shell(Qrptool() + " print " + args).status, cli::kExitUsage) << args;
  }
  for (const std::string name : {"missing.qrp", "short.qrp"}) {
    const ShellRun run = Shell(Qrptool() + " print " + Quoted((dir / name).string()));
    EXPECT_EQ(run.status, cli::kExitBadFile);
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
    EXPECT_NE(run.output.find(name), std::string::npos) << run.output;
  }
  // No CUPS server to ask: no printers.
  WriteSampleReport(dir / "r.qrp");
  const ShellRun none = Shell("CUPS_SERVER=/nonexistent.sock " + Qrptool() + " print " + Quoted((dir / "r.qrp").string()));
  EXPECT_EQ(none.status, cli::kExitBadFile);
  EXPECT_NE(none.output.find("no printer is installed"), std::string::npos) << none.output;
}

class CupsPrintTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (Shell("lpstat -v " + std::string(kQueue)).status == 0) return;
    // Sets up cupsd and the queue as the test command does.
    const ShellRun setup = Shell("CI=false bash " + Quoted(PRAVEL_SOURCE_DIR "/scripts/test.d/05-cups.sh"));
    if (Shell("lpstat -v " + std::string(kQueue)).status != 0) unavailable_ = setup.output;
  }

  void SetUp() override {
    if (unavailable_.empty()) return;
    if (InCi()) FAIL() << "no CUPS-PDF queue: " << unavailable_;
    GTEST_SKIP() << "CUPS cannot be set up here, the CUPS printing tests are skipped: " << unavailable_;
  }

  // Prints the sample report and returns what the queue made of it.
  PdfPages PrintSample(const std::vector<std::string>& options) {
    const std::string tag = dir_.Path().filename().string();  // unique, and in the job title
    const fs::path report = dir_ / "sample.qrp";
    WriteSampleReport(report);
    std::string command = Qrptool() + " print " + Quoted(report.string()) + " --printer " + kQueue;
    for (const auto& option : options) command += " " + option;
    const ShellRun run = Shell(command);
    EXPECT_EQ(run.status, 0) << run.output;
    if (run.status != 0) return {};
    const auto pdf = WaitForPdf(tag, 90s);
    if (!pdf) {
      ADD_FAILURE() << "no PDF with " << tag << " in its name appeared; queue: " << Shell("lpstat -o").output;
      return {};
    }
    PdfPages pages = ReadPdf(*pdf, dir_.Path());
    fs::remove(*pdf);
    return pages;
  }

  static inline std::string unavailable_;
  test::TempDir dir_;
};

TEST_F(CupsPrintTest, PrintsEveryPageOnA4) {
  const PdfPages pdf = PrintSample({});
  EXPECT_EQ(pdf.count, 3);
  EXPECT_NEAR(pdf.width, 595.28, 1);
  EXPECT_NEAR(pdf.height, 841.89, 1);
  ASSERT_EQ(pdf.dark_pixels.size(), 3U);
  // The block is about 60 x 60 pixels.
  for (const int dark : pdf.dark_pixels) {
    EXPECT_GT(dark, 2500);
    EXPECT_LT(dark, 6000);
  }
}

TEST_F(CupsPrintTest, UnknownPrinterIsNamed) {
  WriteSampleReport(dir_ / "r.qrp");
  const ShellRun run = Shell(Qrptool() + " print " + Quoted((dir_ / "r.qrp").string()) + " --printer NoSuchQueue");
  EXPECT_EQ(run.status, cli::kExitBadFile);
  EXPECT_NE(run.output.find("\"NoSuchQueue\""), std::string::npos) << run.output;
}

TEST_F(CupsPrintTest, PrintsTheRange) {
  const PdfPages pdf = PrintSample({"--first 2", "--last 3"});
  EXPECT_EQ(pdf.count, 2);
  for (const int dark : pdf.dark_pixels) EXPECT_GT(dark, 2500);
}

}  // namespace
}  // namespace pravel
