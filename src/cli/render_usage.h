#pragma once
// The usage of qrptool render, printed by qrptool itself for --help so that
// asking needs no toolkit.

#include <string_view>

namespace pravel::cli {

inline constexpr std::string_view kRenderUsage =
    "usage: qrptool render FILE.qrp|FILE.emf... -o OUT.png|OUT.pdf|OUT.svg|DIR/\n"
    "                      [--page N | --pages A-B] [--dpi D | --width PX] [--antialias] [--pdfa]\n"
    "                      [--format png|pdf|svg] [--force] [--jobs N] [--quiet]\n"
    "  .png and .svg write one file per page (OUT-0001.png, ... for several pages),\n"
    "  .pdf one document with a page per report page (--pdfa: PDF/A-1b), titled\n"
    "  with the file's name and dated with the report's creation time.\n"
    "  Default: all pages, 96 dpi.\n"
    "  Several files, or an output folder, write DIR/NAME.pdf (or --format),\n"
    "  skipping files whose output is newer unless --force, and end with a\n"
    "  summary. Pages are drawn on N threads (default: the available cores);\n"
    "  --quiet leaves out the progress line shown on a terminal.\n";

}  // namespace pravel::cli
