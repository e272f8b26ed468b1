#include <iostream>
#include <sstream>

#include "cli/cli_util.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/page_pipeline.h"
#include "cli/progress_line.h"
#include "report/ole_date.h"
#include "report/qr_page_list.h"

namespace pravel::cli {

namespace {

constexpr std::string_view kUsage =
    "usage: qrptool info FILE.qrp [--json] [--verify [--jobs N] [--quiet]]\n"
    "\n"
    "Shows the page count, the compression flag, the creation time and, for\n"
    "each page, the offset of its record and the size of its EMF. Every\n"
    "record offset is checked; pages are not decoded.\n"
    "\n"
    "  --json     print one JSON object\n"
    "  --verify   also decode every page and check its EMF\n"
    "  --jobs N   decode on N threads (default: the available cores)\n"
    "  --quiet    no progress line while verifying\n"
    "\n"
    "Exit status: 0 for a sound file, 1 for a bad file, 2 for wrong usage.\n";

constexpr OptionSpec kOptions[] = {{"--json"}, {"--verify"}, kJobsOption, kQuietOption};
constexpr CommandSpec kCommand{"info", kUsage, kOptions};

struct Info {
  QrpHeader header;
  std::vector<PageRecordInfo> records;
};

std::string Text(const Info& info, bool verified) {
  std::ostringstream out;
  const auto created = FormatOleDate(info.header.CreatedAt);
  out << "pages:      " << info.header.PageCount << '\n'
      << "compressed: " << (info.header.CompressedFlag != 0 ? "yes" : "no") << '\n'
      << "created:    " << created.value_or("(not a date)") << '\n';
  if (verified) out << "verified:   every page decodes to a valid EMF\n";
  if (!info.records.empty()) {
    out << "\n  page      offset   emf_bytes\n";
    for (const auto& r : info.records) {
      out.width(6);
      out << r.Page << ' ';
      out.width(11);
      out << r.Offset << ' ';
      out.width(11);
      out << r.EmfBytes << '\n';
    }
  }
  return out.str();
}

std::string Json(const Info& info) {
  std::ostringstream out;
  const auto created = FormatOleDate(info.header.CreatedAt);
  out << "{\"pages\": " << info.header.PageCount
      << ", \"compressed\": " << (info.header.CompressedFlag != 0 ? "true" : "false")
      << ", \"created\": " << (created ? '"' + *created + '"' : std::string("null")) << ", \"records\": [";
  for (std::size_t i = 0; i < info.records.size(); ++i) {
    const auto& r = info.records[i];
    out << (i == 0 ? "" : ", ") << "{\"page\": " << r.Page << ", \"offset\": " << r.Offset
        << ", \"emf_bytes\": " << r.EmfBytes << '}';
  }
  out << "]}\n";
  return out.str();
}

}  // namespace

int RunInfo(Args args) {
  int jobs = 1;
  const auto [line, status] = ParseOneReportCommand(kCommand, args, jobs);
  if (status) return *status;
  const std::string& path = line.positional[0];
  const bool verify = line.Has("--verify");

  Info info;
  try {
    TQRPageList list;
    list.LoadFile(path);
    info.header = list.ReadHeader();
    info.records = list.CheckRecords();
    if (verify) {
      ProgressLine progress(list.PageCount(), line.Has("--quiet"));
      const auto decode = [&list](int page) {
        DecodeStoredPage(*list.ReadStoredPage(page));
        return true;
      };
      RunPagesInOrder<bool>(1, list.PageCount(), jobs, decode, [&progress](int page, bool&&) {
        progress.Update(page);
        return true;
      });
    }
  } catch (const std::exception& error) {
    return ReportFailure(path, error);
  }
  std::cout << (line.Has("--json") ? Json(info) : Text(info, verify));
  return kExitOk;
}

}  // namespace pravel::cli
