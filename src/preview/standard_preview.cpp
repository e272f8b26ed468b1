#include "preview/standard_preview.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <array>

#include "engine/qr_report.h"
#include "export/filter_library.h"
#include "export/strings.h"
#include "platform/messages.h"
#include "preview/button_pictures.h"
#include "preview/error_handler.h"
#include "preview/qr_preview.h"
#include "report/qr_printer.h"

namespace pravel {

namespace {

// The report library's texts of this window.
constexpr char kPage[] = "Page";
constexpr char kOf[] = "of";
constexpr char kSaveReport[] = "Save report";
constexpr char kLoadReport[] = "Load report";
constexpr char kFileDoesNotExist[] = "File does not exist";
constexpr char kReportExtension[] = "QRP";

// The tool bar's image list, by image index.
const std::array<const char*, 11> kImages{"QRZOOMTOFITBITMAP", "QRZOOMTO100BITMAP",  "QRZOOMTOWIDTHBITMAP",
                                          "QRFIRSTPAGEBITMAP", "QRPREVPAGEBITMAP",   "QRNEXTPAGEBITMAP",
                                          "QRLASTPAGEBITMAP",  "QRPRINTSETUPBITMAP", "QRPRINTBITMAP",
                                          kOpenPicture,        "QRSAVEBITMAP"};

QString Latin1(const char* text) { return QString::fromLatin1(text); }

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The report that made the printer's pages is producing its current report.
bool MasterIsProducing(const TQRPrinter& printer) {
  const auto* report = dynamic_cast<const TQRReport*>(printer.Master());
  return report != nullptr && report->QRPrinter() != nullptr && report->QRPrinter()->Status() == TQRPrinterStatus::Busy;
}

}  // namespace

PreviewDialogs ScreenPreviewDialogs() {
  return {.SaveFile = RunSaveFileDialog,
          .OpenFile = RunOpenFileDialog,
          .ShowMessage = [](QWidget* parent, const QString& text) {
            QMessageBox::information(parent, QCoreApplication::applicationName(), text);
          }};
}

TQRStandardPreview::TQRStandardPreview(TQRPrinter& printer, PreviewDialogs dialogs, QWidget* parent)
    : QMainWindow(parent), printer_(printer), dialogs_(std::move(dialogs)) {
  setObjectName(QStringLiteral("QRStandardPreview"));
  setWindowTitle(QStringLiteral("Podgląd wydruku"));
  resize(652, 579);
  addToolBar(BuildToolBar());

  auto* status = new QStatusBar(this);
  status->setObjectName(QStringLiteral("StatusBar"));
  ProgressPanel_ = new QLabel(QStringLiteral("0%"), status);
  ProgressPanel_->setObjectName(QStringLiteral("ProgressPanel"));
  ProgressPanel_->setFixedWidth(40);
  ProgressPanel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  PagePanel_ = new QLabel(QStringLiteral("Strona"), status);
  PagePanel_->setObjectName(QStringLiteral("PagePanel"));
  PagePanel_->setMinimumWidth(50);
  status->addWidget(ProgressPanel_);
  status->addWidget(PagePanel_, 1);
  setStatusBar(status);

  QRPreview_ = new TQRPreview(this);
  QRPreview_->setObjectName(QStringLiteral("QRPreview"));
  QRPreview_->SetPageNumber(1);
  QRPreview_->SetZoom(100);
  QRPreview_->OnPageAvailable = [this](TQRPreview&, std::int32_t page) { QRPreviewPageAvailable(page); };
  QRPreview_->OnProgressUpdate = [this](TQRPreview&, std::int32_t progress) { QRPreviewProgressUpdate(progress); };
  setCentralWidget(QRPreview_);
  // Keys reach the window before its controls.
  QRPreview_->installEventFilter(this);
  QRPreview_->viewport()->installEventFilter(this);

  setWindowState(Qt::WindowMaximized);
  QRPreview_->SetQRPrinter(&printer_);
  if (!printer_.Title().empty()) setWindowTitle(QString::fromStdString(printer_.Title()));
  LastProgress_ = 0;
  Button("ZoomToWidth")->click();
  if (printer_.Status() == TQRPrinterStatus::Finished) Button("Print")->setEnabled(true);
  // The page text follows the preview from here on; it is first written when
  // the window is shown.
  connect(QRPreview_, &TQRPreview::pageChanged, this, [this] { UpdatePageText(); });
  connect(QRPreview_, &TQRPreview::pageCountChanged, this, [this] { UpdatePageText(); });
}

TQRStandardPreview::~TQRStandardPreview() = default;

QToolBar* TQRStandardPreview::BuildToolBar() {
  auto* bar = new QToolBar(this);
  bar->setObjectName(QStringLiteral("ToolBar1"));
  bar->setMovable(false);
  bar->setIconSize(QSize(16, 16));
  bar->setContentsMargins(2, 2, 2, 2);
  bar->addSeparator()->setObjectName(QStringLiteral("ToolButton1"));
  auto* zoom_group = new QButtonGroup(bar);
  zoom_group->setExclusive(true);
  for (QToolButton* zoom :
       {AddButton(bar, "ZoomFit", 0, QStringLiteral("Cała strona"), &TQRStandardPreview::ZoomToFitClick),
        AddButton(bar, "Zoom100", 1, QStringLiteral("100%"), &TQRStandardPreview::ZoomTo100Click),
        AddButton(bar, "ZoomToWidth", 2, QStringLiteral("Szerokość strony"), &TQRStandardPreview::ZoomToWidthClick)}) {
    zoom->setCheckable(true);
    zoom_group->addButton(zoom);
  }
  bar->addSeparator()->setObjectName(QStringLiteral("Separator1"));
  AddButton(bar, "FirstPage", 3, QStringLiteral("Pierwsza strona"), &TQRStandardPreview::FirstPageClick);
  AddButton(bar, "PreviousPage", 4, QStringLiteral("Poprzednia strona"), &TQRStandardPreview::PrevPageClick);
  AddButton(bar, "ToolButton2", 5, QStringLiteral("Następna strona"), &TQRStandardPreview::NextPageClick);
  AddButton(bar, "LastPage", 6, QStringLiteral("Ostatnia strona"), &TQRStandardPreview::LastPageClick);
  bar->addSeparator()->setObjectName(QStringLiteral("Separator2"));
  AddButton(bar, "PrintSetup", 7, QStringLiteral("Ustawienia drukarki"), &TQRStandardPreview::PrintSetupClick)
      ->setEnabled(false);
  AddButton(bar, "Print", 8, QStringLiteral("Drukuj"), &TQRStandardPreview::PrintClick)->setEnabled(false);
  bar->addSeparator()->setObjectName(QStringLiteral("Separator3"));
  AddButton(bar, "SaveReport", 10, QStringLiteral("Zapisz raport"), &TQRStandardPreview::SaveClick);
  AddButton(bar, "LoadReport", 9, QStringLiteral("Otwórz raport"), &TQRStandardPreview::LoadClick);
  bar->addSeparator()->setObjectName(QStringLiteral("Separator4"));
  QToolButton* exit = AddButton(bar, "ExitButton", -1, QString(), &TQRStandardPreview::ExitClick);
  exit->setText(QStringLiteral("&Zamknij"));
  exit->setToolButtonStyle(Qt::ToolButtonTextOnly);
  // 40 x 22, wider where the caption needs it.
  exit->setMinimumWidth(40);
  exit->setFixedHeight(22);
  return bar;
}

QToolButton* TQRStandardPreview::AddButton(QToolBar* bar, const char* name, int image, const QString& hint,
                                           void (TQRStandardPreview::*handler)()) {
  auto* button = new QToolButton(bar);
  button->setObjectName(Latin1(name));
  button->setAutoRaise(true);
  button->setToolTip(hint);
  if (image >= 0) button->setIcon(ButtonPicture(Latin1(kImages.at(static_cast<std::size_t>(image)))));
  bar->addWidget(button);
  connect(button, &QToolButton::clicked, this, [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
  return button;
}

QToolButton* TQRStandardPreview::Button(const char* name) const { return findChild<QToolButton*>(Latin1(name)); }

QString TQRStandardPreview::ProgressText() const { return ProgressPanel_->text(); }

QString TQRStandardPreview::PageText() const { return PagePanel_->text(); }

void TQRStandardPreview::UpdatePageText() {
  PagePanel_->setText(Latin1(kPage) + QLatin1Char(' ') + QString::number(QRPreview_->PageNumber()) + QLatin1Char(' ') +
                      Latin1(kOf) + QLatin1Char(' ') + QString::number(printer_.PageCount()));
}

void TQRStandardPreview::ZoomToFitClick() {
  ProcessMessages();
  QRPreview_->ZoomToFit();
}

void TQRStandardPreview::ZoomTo100Click() {
  ProcessMessages();
  QRPreview_->SetZoom(100);
}

void TQRStandardPreview::ZoomToWidthClick() {
  ProcessMessages();
  QRPreview_->ZoomToWidth();
}

void TQRStandardPreview::FirstPageClick() { QRPreview_->FirstPage(); }

void TQRStandardPreview::PrevPageClick() { QRPreview_->PreviousPage(); }

void TQRStandardPreview::NextPageClick() { QRPreview_->NextPage(); }

void TQRStandardPreview::LastPageClick() { QRPreview_->LastPage(); }

void TQRStandardPreview::PrintSetupClick() { printer_.PrintSetup(); }

void TQRStandardPreview::PrintClick() {
  if (!MasterIsProducing(printer_)) printer_.Print();
}

void TQRStandardPreview::SaveClick() {
  if (!dialogs_.SaveFile) return;
  const TQRExportFilterLibrary& library = ExportFilterLibrary();
  const std::optional<FileDialogResult> chosen =
      dialogs_.SaveFile(this, {.title = Latin1(kSaveReport),
                               .filters = DialogFilters(QString::fromStdString(library.SaveDialogFilter())),
                               .default_suffix = Latin1(kReportExtension),
                               .directory = {}});
  if (!chosen) return;
  if (chosen->filter_index == 1) {
    printer_.Save(LocalPath(chosen->path));
    return;
  }
  if (chosen->filter_index < 1) return;
  const std::unique_ptr<TQRExportFilter> filter =
      library.FilterForDialogIndex(static_cast<std::size_t>(chosen->filter_index), LocalPath(chosen->path));
  if (filter) printer_.ExportToFilter(*filter);
}

void TQRStandardPreview::LoadClick() {
  if (!dialogs_.OpenFile) return;
  const QString ext = Latin1(kReportExtension);
  const QString filter =
      QString::fromUtf8(texts::kReportFile.data(), static_cast<qsizetype>(texts::kReportFile.size())) +
      QStringLiteral(" (*.") + ext + QStringLiteral(")|*.") + ext;
  const std::optional<FileDialogResult> chosen = dialogs_.OpenFile(
      this, {.title = Latin1(kLoadReport), .filters = DialogFilters(filter), .default_suffix = {}, .directory = {}});
  if (!chosen) return;
  if (!QFileInfo::exists(chosen->path)) {
    if (dialogs_.ShowMessage) dialogs_.ShowMessage(this, Latin1(kFileDoesNotExist));
    return;
  }
  printer_.Load(LocalPath(chosen->path));
  QRPreview_->ReportLoaded();
  Button("PrintSetup")->setEnabled(false);
  Button("Print")->setEnabled(true);
}

void TQRStandardPreview::ExitClick() { close(); }

void TQRStandardPreview::FormKeyDown(int key, Qt::KeyboardModifiers shift) {
  const bool only_ctrl = (shift & ~Qt::KeypadModifier) == Qt::ControlModifier;
  switch (key) {
    case Qt::Key_Escape: close(); break;
    case Qt::Key_PageUp: only_ctrl ? FirstPageClick() : PrevPageClick(); break;
    case Qt::Key_PageDown: only_ctrl ? LastPageClick() : NextPageClick(); break;
    case Qt::Key_Home: FirstPageClick(); break;
    case Qt::Key_End: LastPageClick(); break;
    default: break;
  }
}

void TQRStandardPreview::QRPreviewPageAvailable(std::int32_t /*page_num*/) {
  if (printer_.Status() == TQRPrinterStatus::Finished) {
    Button("PrintSetup")->setEnabled(true);
    Button("Print")->setEnabled(true);
  }
}

void TQRStandardPreview::QRPreviewProgressUpdate(std::int32_t progress) {
  if (progress >= LastProgress_ + 5) {
    ProgressPanel_->setText(QString::number(progress) + QLatin1Char('%'));
    LastProgress_ = progress;
  }
  if (progress == 0 || progress == 100) ProgressPanel_->clear();
}

bool TQRStandardPreview::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
      case Qt::Key_Escape:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
      case Qt::Key_Home:
      case Qt::Key_End: Guarded([&] { FormKeyDown(key->key(), key->modifiers()); }); return true;
      default: break;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TQRStandardPreview::keyPressEvent(QKeyEvent* event) {
  Guarded([&] { FormKeyDown(event->key(), event->modifiers()); });
  QMainWindow::keyPressEvent(event);
}

void TQRStandardPreview::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  UpdatePageText();
}

void TQRStandardPreview::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Guarded([this] { QRPreview_->LayoutImage(); });
}

void TQRStandardPreview::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TQRStandardPreview::FormClose() {
  if (closed_) return;
  closed_ = true;
  Guarded([this] { printer_.ClosePreview(); });
}

PreviewWindow TQRStandardPreviewInterface::Show(TQRPrinter& printer) {
  auto* window = new TQRStandardPreview(printer);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  return window;
}

PreviewWindow TQRStandardPreviewInterface::ShowModal(TQRPrinter& printer) {
  auto* window = new TQRStandardPreview(printer);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowModality(Qt::ApplicationModal);
  const QPointer<TQRStandardPreview> open(window);
  QEventLoop loop;
  QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
  window->show();
  if (open) loop.exec();
  return nullptr;
}

std::unique_ptr<TQRPreviewInterface> NewStandardPreviewInterface() {
  return std::make_unique<TQRStandardPreviewInterface>();
}

}  // namespace pravel
