#include "cli/cli_util.h"

#include <iostream>

#include "platform/errors.h"
#include "platform/gdi/work_budget.h"

namespace pravel::cli {

std::string ErrorText(const std::exception& error) {
  std::string text = error.what();
  if (const auto* metafile = dynamic_cast<const EMetafileError*>(&error); metafile && !metafile->Detail().empty())
    text += " (" + metafile->Detail() + ")";
  return text;
}

int ReportFailure(const std::string& subject, const std::exception& error) {
  std::cerr << "qrptool: " << subject << ": " << ErrorText(error) << '\n';
  return kExitBadFile;
}

int ReportStoppedPages(std::string_view command, const std::string& file, const std::vector<std::int32_t>& pages) {
  for (const std::int32_t page : pages)
    std::cerr << "qrptool " << command << ": " << file << ": page " << page << ": " << gdi::kWorkExhaustedText << '\n';
  return pages.empty() ? kExitOk : kExitBadFile;
}

}  // namespace pravel::cli
