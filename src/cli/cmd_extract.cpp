#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "cli/cli_util.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "platform/errors.h"
#include "report/qr_page_list.h"

namespace pravel::cli {

namespace {

constexpr std::string_view kUsage =
    "usage: qrptool extract FILE.qrp DIR\n"
    "\n"
    "Writes every page as DIR/page-0001.emf, page-0002.emf, ... holding the\n"
    "exact EMF bytes of the page. DIR is created when it does not exist.\n"
    "\n"
    "Exit status: 0 on success, 1 for a bad file, 2 for wrong usage.\n";

constexpr CommandSpec kCommand{"extract", kUsage, {}};

std::string PageFileName(std::int32_t page) {
  char name[32];
  std::snprintf(name, sizeof name, "page-%04d.emf", page);
  return name;
}

void WriteWhole(const std::filesystem::path& path, ByteSpan bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (out) out.close();
  if (!out) throw EFileCreateError(path.string(), SystemErrorText(errno != 0 ? errno : EIO));
}

}  // namespace

int RunExtract(Args args) {
  const auto [line, status] = ParseCommand(kCommand, args, [](const CommandLine& parsed) {
    return parsed.positional.size() == 2 ? std::nullopt
                                         : std::optional<std::string>("extract takes a file and a folder");
  });
  if (status) return *status;
  const std::string& path = line.positional[0];
  const std::filesystem::path folder = line.positional[1];

  TQRPageList list;
  try {
    list.LoadFile(path);
    list.CheckRecords();
  } catch (const std::exception& error) {
    return ReportFailure(path, error);
  }
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return ReportFailure(folder.string(), EFileCreateError(folder.string(), error.message()));

  for (std::int32_t n = 1; n <= list.PageCount(); ++n) {
    const auto target = folder / PageFileName(n);
    try {
      const auto page = list.GetPage(n);
      WriteWhole(target, page->Data());
    } catch (const EFileCreateError& failure) {
      return ReportFailure(target.string(), failure);
    } catch (const std::exception& failure) {
      return ReportFailure(path, failure);
    }
  }
  std::cout << "wrote " << list.PageCount() << " page" << (list.PageCount() == 1 ? "" : "s") << " to "
            << folder.string() << '\n';
  return kExitOk;
}

}  // namespace pravel::cli
