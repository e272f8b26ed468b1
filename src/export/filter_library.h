#pragma once
// The registry of filter classes from which save dialogs build their list of
// file types and by whose position they pick a filter.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "export/export_filter.h"

namespace pravel {

struct TQRExportFilterLibraryEntry {
  TQRExportFilterClass FilterClass;
  std::string FilterName;  // read once at registration
  std::string Extension;   // read once at registration
};

class TQRExportFilterLibrary {
 public:
  // Appends an entry; a class registered twice is listed twice.
  void AddFilter(const TQRExportFilterClass& filter_class);
  // Removes the first entry with the class's filter name, if any.
  void RemoveFilter(const TQRExportFilterClass& filter_class);
  // "Report file(*.QRP)|*.QRP" and "|Name (*.EXT)|*.EXT" for every entry.
  std::string SaveDialogFilter() const;

  const std::vector<TQRExportFilterLibraryEntry>& Filters() const noexcept { return filters_; }

  // The filter for a save dialog's file-type index (counted from 1): index 1
  // is the report itself and gives none, index k >= 2 constructs entry k - 2.
  std::unique_ptr<TQRExportFilter> FilterForDialogIndex(std::size_t index, std::string file_name) const;

 private:
  std::vector<TQRExportFilterLibraryEntry> filters_;
};

// The program's one filter library: the current Platform's FilterLibrary,
// made on first use and alive as long as that Platform.
TQRExportFilterLibrary& ExportFilterLibrary();

}  // namespace pravel
