// qrptool export: formats, arguments and files.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_outcome.h"
#include "cli/commands.h"
#include "export/text_pages.h"
#include "report/test_files.h"

namespace pravel::cli {
namespace {

using test::TempDir;

Outcome Export(const std::vector<std::string>& args) { return Call(RunExport, args); }

std::string Contents(const std::filesystem::path& path) {
  const Bytes bytes = test::ReadFileBytes(path);
  return {bytes.begin(), bytes.end()};
}

constexpr const char* kCsv =
    "\"Item\",\"Qty\",\"Note\"\r\n"
    "\"Zażółć\",\"12\",\"say \"\"hi\"\", <b> & co\"\r\n"
    "\"Total\",\"12\"\r\n";

TEST(QrptoolExport, FormatFromTheExtensionOrTheOption) {
  const TempDir dir;
  const std::string report = (dir / "r.qrp").string();
  test::WriteTableReport(report);

  const Outcome csv = Export({report, "-o", (dir / "out.csv").string()});
  ASSERT_EQ(csv.status, kExitOk) << csv.err;
  EXPECT_EQ(csv.out, report + ": 2 pages exported to " + (dir / "out.csv").string() + "\n");
  EXPECT_EQ(Contents(dir / "out.csv"), kCsv);

  ASSERT_EQ(Export({"-o", (dir / "OUT.HTML").string(), report}).status, kExitOk);
  const std::string html = Contents(dir / "OUT.HTML");
  EXPECT_EQ(std::count(html.begin(), html.end(), '\n'), 3) << html;  // one table of three rows
  EXPECT_NE(html.find("<TR><TD>Total</TD><TD>12</TD></TR>\r\n</TABLE>"), std::string::npos) << html;

  ASSERT_EQ(Export({report, "--format", "csv", "-o", (dir / "out.txt").string()}).status, kExitOk);
  EXPECT_EQ(Contents(dir / "out.txt"), kCsv);

  ASSERT_EQ(Export({report, "--format", "TXT", "-o", (dir / "plain.out").string()}).status, kExitOk);
  const std::string text = Contents(dir / "plain.out");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3) << text;
  EXPECT_LT(text.find("Item"), text.find("Note"));
  EXPECT_LT(text.find("Note\r\n"), text.find("Zażółć"));
  EXPECT_LT(text.find("Zażółć"), text.find("Total"));
}

TEST(QrptoolExport, UsageErrors) {
  const TempDir dir;
  const std::string report = (dir / "r.qrp").string();
  test::WriteTableReport(report);
  const std::string out = (dir / "out.csv").string();
  const std::vector<std::vector<std::string>> bad = {
      {},
      {report},
      {"-o", out},
      {report, "-o", (dir / "out.pdf").string()},
      {report, "-o", (dir / "out").string()},
      {report, "-o", out, "--format", "pdf"},
      {report, "-o", out, "--pages", "1"},
      {report, report, "-o", out},
  };
  for (const auto& args : bad) {
    const Outcome run = Export(args);
    EXPECT_EQ(run.status, kExitUsage) << testing::PrintToString(args);
    EXPECT_NE(run.err.find("usage: qrptool export"), std::string::npos);
  }
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"r.qrp"});
  EXPECT_EQ(Export({"--help"}).status, kExitOk);
}

TEST(QrptoolExport, BadFilesAreNamedOnOneLine) {
  const TempDir dir;
  test::WriteFileBytes(dir / "short.qrp", Bytes(20, 0));
  test::WriteTableReport(dir / "r.qrp");
  const std::string out = (dir / "out.csv").string();
  const auto expect_named = [](const Outcome& run, const std::string& name) {
    EXPECT_EQ(run.status, kExitBadFile);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(name), std::string::npos) << run.err;
  };
  expect_named(Export({(dir / "missing.qrp").string(), "-o", out}), "missing.qrp");
  expect_named(Export({(dir / "short.qrp").string(), "-o", out}), "short.qrp");
  for (const char* name : {"out.csv", "out.txt"}) {
    expect_named(Export({(dir / "r.qrp").string(), "-o", (dir / "no" / name).string()}), name);
  }
}

TEST(QrptoolExport, RunsWithoutDisplayOrPrinters) {
  const TempDir dir;
  test::WriteTableReport(dir / "r.qrp");
  const std::string command =
      "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM CUPS_SERVER=/nonexistent.sock '" PRAVEL_BINARY_DIR
      "/src/cli/qrptool' export '" +
      (dir / "r.qrp").string() + "' -o '" + (dir / "out.csv").string() + "' >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), kExitOk);
  EXPECT_EQ(Contents(dir / "out.csv"), kCsv);
}

}  // namespace
}  // namespace pravel::cli

namespace pravel::cli {
namespace {

TEST(QrptoolBatch, SeveralReportsToAFolderSkipNewerOutputsAndListBadFiles) {
  const TempDir dir;
  const std::string a = (dir / "a.qrp").string(), b = (dir / "b.qrp").string(), bad = (dir / "bad.qrp").string();
  test::WriteTableReport(a);
  test::WriteTableReport(b);
  test::WriteFileBytes(bad, Bytes(40, 0));
  const std::string out = (dir / "out").string() + "/";

  const Outcome first = Call(RunExport, {a, bad, b, "-o", out, "--format", "csv"});
  EXPECT_EQ(first.status, kExitBadFile);
  EXPECT_EQ(Contents(dir / "out" / "a.csv"), kCsv);
  EXPECT_EQ(Contents(dir / "out" / "b.csv"), kCsv);
  EXPECT_FALSE(std::filesystem::exists(dir / "out" / "bad.csv"));  // tried again next time
  EXPECT_NE(first.err.find("qrptool export: 2 converted, 0 up to date, 1 failed: " + bad + "\n"), std::string::npos)
      << first.err;

  // a changed after its output, b did not: b is skipped, unless --force.
  std::filesystem::last_write_time(a,
                                   std::filesystem::last_write_time(dir / "out" / "a.csv") + std::chrono::seconds(5));
  const Outcome again = Call(RunExport, {a, b, "-o", out, "--format", "csv"});
  EXPECT_EQ(again.status, kExitOk);
  EXPECT_NE(again.err.find("1 converted, 1 up to date, 0 failed\n"), std::string::npos) << again.err;
  const Outcome forced = Call(RunExport, {a, b, "-o", out, "--format", "csv", "--force"});
  EXPECT_NE(forced.err.find("2 converted, 0 up to date"), std::string::npos) << forced.err;

  // Several reports need a folder.
  EXPECT_EQ(Call(RunExport, {a, b, "-o", (dir / "one.csv").string()}).status, kExitUsage);
}

TEST(QrptoolText, ReadingOrderAndJsonLinesOnSeveralThreads) {
  const TempDir dir;
  const std::string report = (dir / "r.qrp").string();
  test::WriteTableReport(report);
  const Outcome text = Call(RunText, {report, "--jobs", "2"});
  ASSERT_EQ(text.status, kExitOk) << text.err;
  EXPECT_EQ(text.out, "Item Qty Note\nZażółć 12 say \"hi\", <b> & co\n\fTotal 12\n");
  const Outcome json = Call(RunText, {report, "--json", "-j", "3"});
  ASSERT_EQ(json.status, kExitOk) << json.err;
  EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 8);
  // In page order: the page 2 runs come last, "Total" at the top left.
  EXPECT_NE(json.out.find(R"({"page":2,"x":127,"y":127,)"), std::string::npos);
  EXPECT_GT(json.out.find(R"({"page":2)"), json.out.rfind(R"({"page":1)"));
  EXPECT_EQ(Call(RunText, {report, "--jobs", "0"}).status, kExitUsage);
  EXPECT_EQ(Call(RunText, {(dir / "missing.qrp").string()}).status, kExitBadFile);
}

}  // namespace
}  // namespace pravel::cli
