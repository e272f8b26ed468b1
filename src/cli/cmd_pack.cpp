#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>

#include "cli/cli_util.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "platform/errors.h"
#include "platform/gdi/metafile.h"
#include "report/qr_page_list.h"

namespace pravel::cli {

namespace {

constexpr std::string_view kUsage =
    "usage: qrptool pack [--compress] OUT.qrp PAGE.emf...\n"
    "\n"
    "Builds a finished report with one page per EMF file, in the order given.\n"
    "\n"
    "  --compress   store the pages compressed\n"
    "\n"
    "Exit status: 0 on success, 1 for a bad or unreadable page or an output\n"
    "that cannot be written, 2 for wrong usage.\n";

constexpr OptionSpec kOptions[] = {{"--compress"}};
constexpr CommandSpec kCommand{"pack", kUsage, kOptions};

// Reports are limited to 32-bit offsets, and so is any one page.
constexpr std::uintmax_t kMaxPageFile = 0x7FFFFFFF;

gdi::Metafile ReadPage(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error) throw EFileOpenError(path, error.message());
  if (size > kMaxPageFile) throw EMetafileError("the file is larger than a report can hold");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFileOpenError(path, SystemErrorText(errno != 0 ? errno : EIO));
  Bytes bytes(static_cast<std::size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.gcount() != static_cast<std::streamsize>(bytes.size())) throw EStreamReadError();
  return gdi::Metafile::FromBytes(std::move(bytes));
}

}  // namespace

int RunPack(Args args) {
  const auto [line, status] = ParseCommand(kCommand, args, [](const CommandLine& parsed) {
    return parsed.positional.empty() ? std::optional<std::string>("pack needs an output file") : std::nullopt;
  });
  if (status) return *status;
  const std::string& out = line.positional[0];

  TQRPageList list;
  list.SetStream(std::make_shared<TQRStream>(100000));
  list.SetCompression(line.Has("--compress"));
  for (std::size_t i = 1; i < line.positional.size(); ++i) {
    const std::string& page_path = line.positional[i];
    try {
      list.AddPage(ReadPage(page_path));
    } catch (const std::exception& error) {
      return ReportFailure(page_path, error);
    }
  }
  try {
    list.Finish();
    list.SaveFile(out);
  } catch (const std::exception& error) {
    return ReportFailure(out, error);
  }
  return kExitOk;
}

}  // namespace pravel::cli
