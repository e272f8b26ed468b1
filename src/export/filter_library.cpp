#include "export/filter_library.h"

#include <algorithm>

#include "export/strings.h"
#include "platform/platform.h"

namespace pravel {

void TQRExportFilterLibrary::AddFilter(const TQRExportFilterClass& filter_class) {
  const auto probe = filter_class.Create({});
  filters_.push_back({filter_class, probe->FilterName(), probe->FileExtension()});
}

void TQRExportFilterLibrary::RemoveFilter(const TQRExportFilterClass& filter_class) {
  const std::string name = filter_class.Create({})->FilterName();
  const auto it =
      std::find_if(filters_.begin(), filters_.end(), [&](const auto& entry) { return entry.FilterName == name; });
  if (it != filters_.end()) filters_.erase(it);
}

std::string TQRExportFilterLibrary::SaveDialogFilter() const {
  std::string result = std::string(texts::kReportFile) + "(*.QRP)|*.QRP";
  for (const auto& entry : filters_) {
    result += "|" + entry.FilterName + " (*." + entry.Extension + ")|*." + entry.Extension;
  }
  return result;
}

std::unique_ptr<TQRExportFilter> TQRExportFilterLibrary::FilterForDialogIndex(std::size_t index,
                                                                              std::string file_name) const {
  if (index < 2 || index - 2 >= filters_.size()) return nullptr;
  return filters_[index - 2].FilterClass.Create(std::move(file_name));
}

TQRExportFilterLibrary& ExportFilterLibrary() {
  std::shared_ptr<TQRExportFilterLibrary>& library = Platform::Current().FilterLibrary;
  if (!library) library = std::make_shared<TQRExportFilterLibrary>();
  return *library;
}

}  // namespace pravel
