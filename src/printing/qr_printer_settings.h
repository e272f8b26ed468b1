#pragma once
// The report side's record of the user's printing choices. A report
// component keeps one and stores its published properties with the report.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "printing/paper.h"

namespace pravel {

class TQRPrinterSettings {
 public:
  std::int32_t Copies() const noexcept { return copies_; }
  void SetCopies(std::int32_t v) noexcept { copies_ = v; }
  bool Duplex() const noexcept { return duplex_; }
  void SetDuplex(bool v) noexcept { duplex_ = v; }
  TPrinterOrientation Orientation() const noexcept { return orientation_; }
  void SetOrientation(TPrinterOrientation v) noexcept { orientation_ = v; }
  TQRBin OutputBin() const noexcept { return output_bin_; }
  void SetOutputBin(TQRBin v) noexcept { output_bin_ = v; }
  TQRPaperSize PaperSize() const noexcept { return paper_size_; }
  void SetPaperSize(TQRPaperSize v) noexcept { paper_size_ = v; }
  // -1: the system default printer.
  std::int32_t PrinterIndex() const noexcept { return printer_index_; }
  void SetPrinterIndex(std::int32_t v) noexcept { printer_index_ = v; }
  const std::string& Title() const noexcept { return title_; }
  void SetTitle(std::string v) { title_ = std::move(v); }
  // 0: from the first page.
  std::int32_t FirstPage() const noexcept { return first_page_; }
  void SetFirstPage(std::int32_t v) noexcept { first_page_ = v; }
  // 0: to the last page.
  std::int32_t LastPage() const noexcept { return last_page_; }
  void SetLastPage(std::int32_t v) noexcept { last_page_ = v; }

 private:
  std::int32_t copies_ = 1;
  bool duplex_ = false;
  TPrinterOrientation orientation_ = TPrinterOrientation::poPortrait;
  TQRBin output_bin_ = TQRBin::Auto;
  TQRPaperSize paper_size_ = TQRPaperSize::Letter;
  std::int32_t printer_index_ = -1;
  std::string title_;
  std::int32_t first_page_ = 0;
  std::int32_t last_page_ = 0;
};

// The settings of a single report, which takes its paper size and
// orientation from its page setup.
class TQRReportPrinterSettings : public TQRPrinterSettings {
 public:
  // The properties stored with the report, in storing order.
  static constexpr std::array<std::string_view, 5> kPublished{"Copies", "Duplex", "FirstPage", "LastPage", "OutputBin"};
};

// The settings of a composite report, which also stores paper and orientation.
class TQRCompositePrinterSettings : public TQRReportPrinterSettings {
 public:
  static constexpr std::array<std::string_view, 7> kPublished{"Copies",    "Duplex",      "FirstPage", "LastPage",
                                                              "OutputBin", "Orientation", "PaperSize"};
};

}  // namespace pravel
