#pragma once
// Helpers for the export tests: a scratch file and a page of texts driven
// through a filter in the order a report generator calls it.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "export/export_filter.h"

namespace pravel::test {

// A file name in the temporary folder, removed again at the end of the test.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& name)
      : path_(std::filesystem::temp_directory_path() / ("pravel-export-" + std::to_string(::getpid()) + "-" + name)) {
    std::filesystem::remove(path_);
  }
  ~ScratchFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  std::string Path() const { return path_.string(); }
  std::string Contents() const {
    std::ifstream in(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  std::filesystem::path path_;
};

struct Item {
  Item(long double x, long double y, std::string text, TextAlignment alignment = TextAlignment::LeftJustify,
       std::optional<pravel::Font> font = std::nullopt)
      : X(x), Y(y), Text(std::move(text)), Alignment(alignment), Font(std::move(font)) {}

  long double X;
  long double Y;
  std::string Text;
  TextAlignment Alignment;
  std::optional<pravel::Font> Font;  // the report font when empty
};

inline Font ReportFont(int size = 10, ColorValue color = kColorBlack) {
  Font f;
  f.Size = size;
  f.Color = color;
  return f;
}

using Page = std::vector<Item>;

// Start, the empty page before the first, each page's NewPage, texts and
// EndPage, then Finish.
inline void RunExport(TQRExportFilter& filter, const std::vector<Page>& pages, const Font& report_font = ReportFont(),
                      std::int32_t paper_height = 2970) {
  filter.Start(2100, paper_height, report_font);
  filter.EndPage();
  for (const auto& page : pages) {
    filter.NewPage();
    for (const auto& item : page) {
      filter.TextOut(item.X, item.Y, item.Font.value_or(report_font), kColorWhite, item.Alignment, item.Text);
    }
    filter.EndPage();
  }
  filter.Finish();
}

}  // namespace pravel::test
