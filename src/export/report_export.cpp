#include "export/report_export.h"

namespace pravel {

namespace {

TextAlignment FilterAlignment(TQRAlignment alignment) noexcept {
  switch (alignment) {
    case TQRAlignment::RightJustify: return TextAlignment::RightJustify;
    case TQRAlignment::Center: return TextAlignment::Center;
    case TQRAlignment::LeftJustify: break;
  }
  return TextAlignment::LeftJustify;
}

// Hands a report's export calls to a filter.
class FilterSink final : public TQRExportSink {
 public:
  explicit FilterSink(TQRExportFilter& filter) : filter_(filter) {}

  bool Active() const override { return filter_.Active(); }
  bool Unpaged() const override { return filter_.Unpaged(); }
  void Start(std::int32_t paper_width, std::int32_t paper_height, const Font& font) override {
    filter_.Start(paper_width, paper_height, font);
  }
  void EndPage() override { filter_.EndPage(); }
  void NewPage() override { filter_.NewPage(); }
  void TextOut(long double x, long double y, const Font& font, ColorValue background_color, TQRAlignment alignment,
               const std::string& text) override {
    filter_.TextOut(x, y, font, background_color, FilterAlignment(alignment), text);
  }
  void Finish() override { filter_.Finish(); }

 private:
  TQRExportFilter& filter_;
};

}  // namespace

void ExportReport(TQRReport& report, TQRExportFilter& filter) {
  FilterSink sink(filter);
  report.RunExport(sink);
}

}  // namespace pravel
