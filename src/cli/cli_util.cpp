#include "cli/cli_util.h"

#include <iostream>

#include "platform/errors.h"

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

}  // namespace pravel::cli
