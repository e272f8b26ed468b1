#include "export/text_filter.h"

#include "export/ascii_filter.h"

namespace pravel {

TQRTextFilter::TQRTextFilter(TQRExportFilterLibrary& library) : library_(library) {
  library_.AddFilter(TQRExportFilterClass::Of<TQRAsciiExportFilter>());
}

TQRTextFilter::~TQRTextFilter() { library_.RemoveFilter(TQRExportFilterClass::Of<TQRAsciiExportFilter>()); }

}  // namespace pravel
