#include "engine/qr_report.h"

#include <optional>
#include <type_traits>
#include <utility>

#include "engine/report_canvas.h"
#include "platform/rounding.h"
#include "printing/print_setup.h"

namespace pravel {

namespace {

// Clears a pointer when the scope ends, also by an exception.
template <class T>
class ResetOnExit {
 public:
  explicit ResetOnExit(T*& target) : target_(target) {}
  ~ResetOnExit() { target_ = nullptr; }
  ResetOnExit(const ResetOnExit&) = delete;
  ResetOnExit& operator=(const ResetOnExit&) = delete;

 private:
  T*& target_;
};

}  // namespace

TQRReport::TQRReport() : Measure(ApproximateMeasure()) {}

TQRReport::~TQRReport() = default;

void TQRReport::CarrySettings(TQRPrinter& printer, bool all) const {
  if (all) printer.SetPrinterIndex(printer_settings_.PrinterIndex());
  printer.SetPaperSize(page_.PaperSize);
  if (page_.PaperSize == TQRPaperSize::Custom) {
    printer.SetCustomPaperWidth(RoundHalfEven(page_.Width));
    printer.SetCustomPaperLength(RoundHalfEven(page_.Length));
  }
  printer.SetOrientation(page_.Orientation);
  if (!all) return;
  printer.SetCopies(printer_settings_.Copies());
  printer.SetOutputBin(printer_settings_.OutputBin());
  printer.SetFirstPage(printer_settings_.FirstPage());
  printer.SetLastPage(printer_settings_.LastPage());
}

void TQRReport::DrawPage(TQRPrinter& printer) {
  for (const TQRPrintable& item : items_) {
    std::visit(
        [&](const auto& printable) {
          if constexpr (std::is_same_v<std::decay_t<decltype(printable)>, TQRLabel>) {
            DrawLabel(printer, printable, page_, Measure);
          } else {
            DrawImage(printer, printable);
          }
        },
        item);
  }
}

void TQRReport::ExportPage() {
  for (const TQRPrintable& item : items_) {
    const auto* label = std::get_if<TQRLabel>(&item);
    if (label == nullptr) continue;
    for (const TQRPrintedLine& line : LabelLines(*label, page_, Measure)) {
      export_sink_->TextOut(line.X, line.Y, label->Font, label->Color, label->Alignment, line.Text);
    }
  }
}

void TQRReport::Generate(TQRPrinter& printer) {
  printer.BeginDoc();
  TQRExportSink* sink = export_sink_;
  if (sink != nullptr) {
    if (!sink->Active()) {
      sink->Start(RoundHalfEven(page_.PaperWidth()), RoundHalfEven(page_.PaperLength()), font_);
    }
    sink->EndPage();
    sink->NewPage();
  }
  // The report has no data: its one page carries the items placed on it.
  printer.NewPage();
  if (sink != nullptr) {
    ExportPage();
    sink->EndPage();
    sink->Finish();
  } else {
    DrawPage(printer);
  }
  // A cancelled run on a printer that never started its job has nothing to
  // abort.
  const bool job = printer.Destination() == TQRPrinterDestination::Metafile || printer.PrinterDevice().Printing();
  if (printer.Cancelled() && job) {
    printer.Abort();
  } else {
    printer.EndDoc();
  }
}

void TQRReport::Preview() {
  auto fresh = std::make_unique<TQRPrinter>();
  if (printer_ != nullptr) {
    if (TQRPreviewClient* preview = printer_->PreviewClient()) {
      fresh->SetPreviewClient(preview);
    } else {
      fresh->SetClient(printer_->Client());
    }
  }
  CarrySettings(*fresh, false);
  fresh->SetMaster(this);
  fresh->OnPrintSetup = [this](void* /*argument*/) { PrinterSetup(); };
  fresh->OnExportToFilter = [this](TQRExportFilter& filter) {
    if (ExportThroughFilter) ExportThroughFilter(*this, filter);
  };
  fresh->OnPreview = OnPreview;

  std::unique_ptr<TQRPrinter> previous = std::exchange(printer_, std::move(fresh));
  const std::uint64_t run = ++preview_run_;
  TQRPrinter& printer = *printer_;
  printer.Preview();
  previous.reset();
  Generate(printer);
  // A later Preview or a close request changes the run; the printer may be
  // gone then.
  while (preview_run_ == run && printer.ShowingPreview()) {
    if (!WaitMessages || !WaitMessages()) break;
  }
}

void TQRReport::Print() {
  auto printer = std::make_unique<TQRPrinter>();
  if (!printer->PrinterOK()) return;
  printer->SetDestination(TQRPrinterDestination::Printer);
  CarrySettings(*printer, true);
  printer->SetTitle(report_title_);
  // Released before the printer it follows.
  const std::shared_ptr<void> progress = ProgressWindow ? ProgressWindow(*printer, show_progress_) : nullptr;
  Generate(*printer);
}

void TQRReport::RunExport(TQRExportSink& sink) {
  if (export_sink_ != nullptr) return;  // one run at a time
  export_sink_ = &sink;
  const ResetOnExit<TQRExportSink> clear(export_sink_);
  auto printer = std::make_unique<TQRPrinter>();
  CarrySettings(*printer, false);
  const std::shared_ptr<void> progress = ProgressWindow ? ProgressWindow(*printer, show_progress_) : nullptr;
  Generate(*printer);
}

void TQRReport::PrinterSetup(const TQRPrinter* shown) {
  const bool loaded = shown != nullptr && shown->LoadedFromFile();
  const TQRPrinter* pages = loaded ? shown : printer_.get();
  std::optional<std::int32_t> finished;
  if (pages != nullptr && pages->Status() == TQRPrinterStatus::Finished) finished = pages->PageCount();
  TPrinterOrientation orientation = loaded ? shown->Orientation() : page_.Orientation;
  if (!RunPrinterSetup({printer_settings_, orientation, finished})) {
    tag_ = 1;
    return;
  }
  page_.Orientation = orientation;
  tag_ = 0;
}

void TQRReport::Post(const Message& message) {
  if (window_ != nullptr) {
    window_->Post(message);
  } else {
    WndProc(message);
  }
}

void TQRReport::Send(const Message& message) { WndProc(message); }

void TQRReport::WndProc(const Message& message) {
  if (message.msg == QRM_PRINT) {
    Print();
  } else if (message.msg == QRM_CLOSEPREVIEW) {
    if (printer_ != nullptr && message.lparam == reinterpret_cast<std::intptr_t>(printer_.get())) ++preview_run_;
  }
}

}  // namespace pravel
