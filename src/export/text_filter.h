#pragma once
// A component whose lifetime registers the plain-text filter.

#include "export/filter_library.h"

namespace pravel {

class TQRTextFilter {
 public:
  explicit TQRTextFilter(TQRExportFilterLibrary& library = ExportFilterLibrary());
  ~TQRTextFilter();
  TQRTextFilter(const TQRTextFilter&) = delete;
  TQRTextFilter& operator=(const TQRTextFilter&) = delete;

 private:
  TQRExportFilterLibrary& library_;
};

}  // namespace pravel
