// qrptool text: every text run of a report with its place, for search indexes.

#include <cstdio>
#include <iostream>
#include <string>

#include "cli/cli_util.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/page_pipeline.h"
#include "cli/progress_line.h"
#include "export/text_lines.h"
#include "report/qr_page_list.h"

namespace pravel::cli {

namespace {

constexpr std::string_view kUsage =
    "usage: qrptool text FILE.qrp [--json] [--jobs N] [--quiet]\n"
    "\n"
    "Writes the text of every page in reading order, or with --json one JSON\n"
    "object per text run and line:\n"
    "  {\"page\":3,\"x\":1234,\"y\":567,\"w\":890,\"h\":40,\"font\":\"Arial\",\"size\":10,\n"
    "   \"bold\":false,\"italic\":false,\"color\":\"#000000\",\"text\":\"...\"}\n"
    "x and y are the run's top-left corner, w and h its size, all in 0.1 mm\n"
    "from the page's top-left corner; size is in points. Text is UTF-8.\n"
    "\n"
    "  --json     one JSON object per text run\n"
    "  --jobs N   pages decoded on N threads (default: the available cores)\n"
    "  --quiet    no progress line\n"
    "\n"
    "Exit status: 0 on success, 1 for a bad file, 2 for wrong usage.\n";

constexpr OptionSpec kOptions[] = {{"--json"}, kJobsOption, kQuietOption};
constexpr CommandSpec kCommand{"text", kUsage, kOptions};

int WriteReportText(const std::string& path, bool json, int jobs, bool quiet, std::ostream& out) {
  TQRPageList list;
  try {
    list.LoadFile(path);
  } catch (const std::exception& error) {
    return ReportFailure(path, error);
  }
  ProgressLine progress(list.PageCount(), quiet);
  const auto work = [&list, json](int page) {
    const gdi::Metafile metafile = DecodeStoredPage(*list.ReadStoredPage(page));
    std::vector<ExportText> texts = PageTexts(metafile);
    return json ? TextRunsJson(page, texts) : ReadingOrderText(std::move(texts));
  };
  const auto deliver = [&](int page, std::string&& text) {
    if (!json && page > 1) out << '\f';
    out << text;
    progress.Update(page);
    return out.good();
  };
  try {
    RunPagesInOrder<std::string>(1, list.PageCount(), jobs, work, deliver);
  } catch (const std::exception& error) {
    out.flush();
    return ReportFailure(path, error);
  }
  if (!out.flush()) {
    std::cerr << "qrptool: standard output cannot be written\n";
    return kExitBadFile;
  }
  return kExitOk;
}

}  // namespace

int RunText(Args args) {
  int jobs = 1;
  const auto [line, status] = ParseOneReportCommand(kCommand, args, jobs);
  if (status) return *status;
  return WriteReportText(line.positional[0], line.Has("--json"), jobs, line.Has("--quiet"), std::cout);
}

}  // namespace pravel::cli
