#include "export/export_filter.h"

#include "export/strings.h"

namespace pravel {

std::string TQRExportFilter::Description() const { return std::string(texts::kAbstractFilterDescription); }

std::string TQRExportFilter::FileExtension() const { return {}; }

std::string TQRExportFilter::FilterName() const { return std::string(texts::kAbstractFilterName); }

std::string TQRExportFilter::Vendor() const { return std::string(texts::kFilterVendor); }

bool TQRExportFilter::Unpaged() const { return false; }

void TQRExportFilter::Start(std::int32_t /*paper_width*/, std::int32_t /*paper_height*/, const Font& /*font*/) {
  active_ = true;
}

void TQRExportFilter::EndPage() {}

void TQRExportFilter::Finish() { active_ = false; }

void TQRExportFilter::NewPage() {}

void TQRExportFilter::TextOut(long double /*x*/, long double /*y*/, const Font& /*font*/,
                              ColorValue /*background_color*/, TextAlignment /*alignment*/,
                              const std::string& /*text*/) {}

}  // namespace pravel
