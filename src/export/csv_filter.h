#pragma once
// Comma-separated text: one line per grid row, one quoted field per column.

#include "export/abstract_filter.h"

namespace pravel {

class TQRCommaSeparatedFilter : public TQRAbstractExportFilter {
 public:
  using TQRAbstractExportFilter::TQRAbstractExportFilter;

  std::string Description() const override;
  std::string FileExtension() const override;
  std::string FilterName() const override;

 protected:
  void StorePage() override;
};

// The text as one field: in double quotes, inner double quotes doubled.
std::string QuotedField(std::string_view text);

}  // namespace pravel
