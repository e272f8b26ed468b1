#include "viewer/start_page_form.h"

#include "export/report_export.h"
#include "platform/qt/text_metrics.h"
#include "preview/error_handler.h"
#include "preview/progress_form.h"
#include "preview/qr_preview.h"
#include "viewer/konsola.h"
#include "viewer/start_page_picture.h"
#include "viewer/web_page.h"

namespace pravel {

namespace {

TQRLabel StartLabel(const char* name, long double top, long double height, std::string caption, int size,
                    unsigned style, ColorValue color) {
  return {.Name = name,
          .Left = 0,
          .Top = top,
          .Width = 2121.1L,
          .Height = height,
          .Caption = std::move(caption),
          .Font = {.Name = "Arial", .Size = size, .Style = style, .Color = color},
          .Color = kColorWhite,
          .Transparent = false,
          .Alignment = TQRAlignment::Center,
          .AlignToBand = true,
          .WordWrap = true};
}

}  // namespace

void LayOutStartPage(TQRReport& report) {
  report.Page() = TQRPage{};
  report.SetFont({.Name = "Arial", .Size = 8, .Color = kColorWindowText});
  TQRReportPrinterSettings& settings = report.PrinterSettings();
  settings.SetCopies(1);
  settings.SetDuplex(false);
  settings.SetFirstPage(0);
  settings.SetLastPage(0);
  settings.SetOutputBin(TQRBin::First);

  std::vector<TQRPrintable>& items = report.Items();
  items.clear();
  items.emplace_back(StartLabel("QRLabel1", 679.1L, 110.2L, "Pravel", 26, kFontBold | kFontItalic, kColorRed));
  items.emplace_back(StartLabel("QRLabel2", 820.2L, 61.7L, "v.1.2", 14, kFontItalic, kColorWindowText));
  items.emplace_back(StartLabel("QRLabel4", 890.8L, 61.7L, "view and print saved report *.qrp files", 14, kFontItalic,
                                kColorWindowText));
  items.emplace_back(TQRImage{.Name = "QRImage2",
                              .Left = 802.6L,
                              .Top = 1023.1L,
                              .Width = 502.7L,
                              .Height = 652.6L,
                              .Picture = StartPagePicture()});
  items.emplace_back(StartLabel("QRLabel3", 1737.4L, 110.2L, kMakerWebAddressText, 20, kFontItalic, kColorWindowText));
}

TForm1::TForm1(TFKonsolaPravel* main_window, QWidget* parent) : QWidget(parent), main_window_(main_window) {
  setObjectName(QStringLiteral("Form1"));
  LayOutStartPage(QRReport1_);
  QRReport1_.SetWindow(&target_);
  QRReport1_.Measure = {.Advances = qt::TextAdvances, .LineHeight = qt::LineHeight};
  QRReport1_.WaitMessages = [] { return qt::WaitForMessages(); };
  QRReport1_.ExportThroughFilter = ExportReport;
  QRReport1_.ProgressWindow = [](TQRPrinter& printer, bool show) -> std::shared_ptr<void> {
    auto form = std::make_shared<TQRProgressForm>(printer);
    if (show) form->show();
    return form;
  };
  QRReport1_.OnPreview = [this](TQRPrinter& printer) { QRReport1Preview(printer); };
}

TForm1::~TForm1() = default;

void TForm1::QRReport1Preview(TQRPrinter& printer) {
  if (main_window_ != nullptr) main_window_->QRPreview1().SetQRPrinter(&printer);
}

bool TForm1::event(QEvent* event) {
  if (const Message* message = qt::MessageOf(event)) {
    const Message copy = *message;
    Guarded([this, copy] { QRReport1_.WndProc(copy); });
    return true;
  }
  return QWidget::event(event);
}

}  // namespace pravel
