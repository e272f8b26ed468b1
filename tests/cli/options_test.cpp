#include "cli/options.h"

#include <gtest/gtest.h>

#include "cli/command_outcome.h"

namespace pravel::cli {
namespace {

constexpr OptionSpec kOptions[] = {{"--output", "-o", "a file name"}, {"--json"}};
constexpr CommandSpec kCommand{"tool", "usage: qrptool tool\n", kOptions};

CommandLine Parse(std::vector<std::string> args) { return ParseCommandLine(args, kOptions); }

TEST(Options, ValuesFlagsAndPositionalArguments) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"in", "-o", "a", "--json"}, {"--output", "a", "in", "--json"}, {"--json", "--output=a", "in"}}) {
    const CommandLine line = Parse(args);
    EXPECT_EQ(line.problem, "");
    EXPECT_EQ(line.Value("--output"), "a");
    EXPECT_TRUE(line.Has("--json"));
    EXPECT_EQ(line.positional, std::vector<std::string>{"in"});
  }
  // The last value counts; a value may start with a dash; "--" ends the options.
  const CommandLine line = Parse({"-o", "a", "-o", "-b", "-", "--", "--json"});
  EXPECT_EQ(line.problem, "");
  EXPECT_EQ(line.Count("--output"), 2);
  EXPECT_EQ(line.Value("--output"), "-b");
  EXPECT_FALSE(line.Has("--json"));
  EXPECT_EQ(line.positional, (std::vector<std::string>{"-", "--json"}));
}

TEST(Options, ProblemsAndHelp) {
  EXPECT_EQ(Parse({"in", "-x", "--y"}).problem, "unknown option -x");
  EXPECT_EQ(Parse({"--bogus=1"}).problem, "unknown option --bogus");
  EXPECT_EQ(Parse({"in", "-o"}).problem, "-o needs a file name");
  EXPECT_EQ(Parse({"--json=yes"}).problem, "--json takes no value");
  EXPECT_TRUE(Parse({"-x", "-h"}).help);

  const auto run = [](std::vector<std::string> args) {
    return Call([](Args a) { return ParseCommand(kCommand, a).status.value_or(-1); }, std::move(args));
  };
  const Outcome help = run({"-x", "--help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_EQ(help.out, kCommand.usage);
  const Outcome bad = run({"-x"});
  EXPECT_EQ(bad.status, kExitUsage);
  EXPECT_EQ(bad.err, "qrptool tool: unknown option -x\nusage: qrptool tool\n");
  EXPECT_EQ(run({"in"}).status, -1);
}

TEST(Options, Numbers) {
  EXPECT_EQ(ParseNumber("12", 1, 12), 12);
  EXPECT_EQ(ParseNumber("0", 0, 5), 0);
  for (const char* bad : {"", "13", "0", "-1", "+1", " 1", "1x", "99999999999999999999"}) {
    EXPECT_EQ(ParseNumber(bad, 1, 12), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace pravel::cli
