// Writes a sample report whose pages are generated EMF files:
//   make_sample_qrp [--pages N] [--compress] OUT.qrp

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "platform/gdi/metafile.h"
#include "report/qr_page_list.h"
#include "sample_page.h"

int main(int argc, char** argv) {
  int pages = 3;
  bool compress = false;
  std::string out;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--compress") {
      compress = true;
    } else if (arg == "--pages" && i + 1 < argc) {
      pages = std::atoi(argv[++i]);
    } else if (out.empty() && arg[0] != '-') {
      out = arg;
    } else {
      out.clear();
      break;
    }
  }
  if (out.empty() || pages < 0) {
    std::cerr << "usage: make_sample_qrp [--pages N] [--compress] OUT.qrp\n";
    return 2;
  }
  try {
    pravel::TQRPageList list;
    list.SetStream(std::make_shared<pravel::TQRStream>(100000));
    list.SetCompression(compress);
    for (int page = 1; page <= pages; ++page)
      list.AddPage(pravel::gdi::Metafile::FromBytes(pravel::tools::SamplePageEmf(page, pages)));
    list.Finish();
    list.SaveFile(out);
  } catch (const std::exception& error) {
    std::cerr << "make_sample_qrp: " << out << ": " << error.what() << '\n';
    return 1;
  }
  return 0;
}
