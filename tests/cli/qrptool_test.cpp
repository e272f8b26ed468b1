#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "cli/command_outcome.h"
#include "cli/commands.h"
#include "report/test_files.h"

namespace pravel::cli {
namespace {

using test::TempDir;

// Three EMF files of 300, 500 and 400 bytes.
std::vector<std::string> WritePages(const TempDir& dir) {
  std::vector<std::string> paths;
  const std::size_t sizes[] = {300, 500, 400};
  for (int i = 0; i < 3; ++i) {
    const auto path = dir / ("in-" + std::to_string(i + 1) + ".emf");
    test::WriteFileBytes(path, test::MakeEmf(sizes[i], static_cast<std::uint8_t>(i + 1)));
    paths.push_back(path.string());
  }
  return paths;
}

std::string WithoutCreated(const std::string& json) {
  return std::regex_replace(json, std::regex("\"created\": \"\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\""),
                            "\"created\": X");
}

TEST(Qrptool, PackInfoExtractRoundTrip) {
  for (const bool compressed : {false, true}) {
    SCOPED_TRACE(compressed ? "compressed" : "plain");
    const TempDir dir;
    const auto pages = WritePages(dir);
    const std::string report = (dir / "r.qrp").string();
    std::vector<std::string> pack_args = {report};
    if (compressed) pack_args.insert(pack_args.begin(), "--compress");
    pack_args.insert(pack_args.end(), pages.begin(), pages.end());
    ASSERT_EQ(Call(RunPack, pack_args).status, kExitOk);

    const Outcome json = Call(RunInfo, {report, "--json", "--verify"});
    ASSERT_EQ(json.status, kExitOk) << json.err;
    if (!compressed) {
      EXPECT_EQ(WithoutCreated(json.out),
                "{\"pages\": 3, \"compressed\": false, \"created\": X, \"records\": ["
                "{\"page\": 1, \"offset\": 128, \"emf_bytes\": 300}, "
                "{\"page\": 2, \"offset\": 440, \"emf_bytes\": 500}, "
                "{\"page\": 3, \"offset\": 952, \"emf_bytes\": 400}]}\n");
    } else {
      EXPECT_NE(json.out.find("\"compressed\": true"), std::string::npos);
    }
    const Outcome text = Call(RunInfo, {report});
    EXPECT_NE(text.out.find("pages:      3\n"), std::string::npos) << text.out;

    const auto out_dir = dir / "out" / "pages";
    const Outcome extract = Call(RunExtract, {report, out_dir.string()});
    ASSERT_EQ(extract.status, kExitOk) << extract.err;
    for (int i = 0; i < 3; ++i) {
      const auto name = "page-000" + std::to_string(i + 1) + ".emf";
      EXPECT_EQ(test::ReadFileBytes(out_dir / name), test::ReadFileBytes(pages[static_cast<std::size_t>(i)]));
    }
  }
}

TEST(Qrptool, BadFilesExitWithOneLineNamingFileAndReason) {
  const TempDir dir;
  const auto pages = WritePages(dir);
  const std::string report = (dir / "r.qrp").string();
  ASSERT_EQ(Call(RunPack, {report, pages[0], pages[1], pages[2]}).status, kExitOk);
  Bytes image = test::ReadFileBytes(report);
  image[440 + 8] = 2;  // page 2 no longer starts with an EMF header
  test::WriteFileBytes(report, image);

  // The records are sound: only decoding finds the damage.
  EXPECT_EQ(Call(RunInfo, {report}).status, kExitOk);
  const Outcome verify = Call(RunInfo, {"--verify", report});
  EXPECT_EQ(verify.status, kExitBadFile);
  EXPECT_EQ(verify.out, "");
  EXPECT_EQ(verify.err, "qrptool: " + report + ": Metafile is not valid (page 2: first record is not an EMF header)\n");
  const Outcome extract = Call(RunExtract, {report, (dir / "x").string()});
  EXPECT_EQ(extract.status, kExitBadFile);
  EXPECT_TRUE(std::filesystem::exists(dir / "x" / "page-0001.emf"));

  const std::string missing = (dir / "none.qrp").string();
  const Outcome open = Call(RunInfo, {missing});
  EXPECT_EQ(open.status, kExitBadFile);
  EXPECT_EQ(open.err, "qrptool: " + missing + ": Cannot open file \"" + missing + "\". No such file or directory\n");

  const Outcome pack = Call(RunPack, {(dir / "new.qrp").string(), pages[0], report});
  EXPECT_EQ(pack.status, kExitBadFile);
  EXPECT_EQ(pack.err.rfind("qrptool: " + report + ": Metafile is not valid", 0), 0U) << pack.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "new.qrp"));
}

TEST(Qrptool, UsageAndHelp) {
  for (const auto command : {RunInfo, RunExtract, RunPack}) {
    const Outcome help = Call(command, {"--help"});
    EXPECT_EQ(help.status, kExitOk);
    EXPECT_EQ(help.out.rfind("usage: qrptool ", 0), 0U);
    EXPECT_EQ(Call(command, {}).status, kExitUsage);
    EXPECT_EQ(Call(command, {"--bogus", "a", "b"}).status, kExitUsage);
  }
  EXPECT_EQ(Call(RunInfo, {"a.qrp", "b.qrp"}).status, kExitUsage);
  EXPECT_EQ(Call(RunExtract, {"a.qrp"}).status, kExitUsage);
}

}  // namespace
}  // namespace pravel::cli
