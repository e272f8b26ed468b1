#include "platform/qt/qt_printer_device.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintEngine>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <algorithm>
#include <limits>

#include "platform/errors.h"
#include "platform/qt/painter_surface.h"

namespace pravel::qt {

namespace {

std::int16_t ClampToInt16(qreal value) {
  constexpr qreal kMin = std::numeric_limits<std::int16_t>::min();
  constexpr qreal kMax = std::numeric_limits<std::int16_t>::max();
  return static_cast<std::int16_t>(qRound(std::clamp(value, kMin, kMax)));
}

constexpr std::uint32_t kAllFields =
    DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COPIES | DM_DEFAULTSOURCE;

bool CanDuplex(const QPrinterInfo& info) {
  const auto modes = info.supportedDuplexModes();
  return std::any_of(modes.begin(), modes.end(), [](QPrinter::DuplexMode m) { return m != QPrinter::DuplexNone; });
}

// The Windows paper codes of the sizes `sizes`, each once, in their order.
std::vector<std::int16_t> PaperCodes(const QList<QPageSize>& sizes) {
  std::vector<std::int16_t> codes;
  for (const QPageSize& size : sizes) {
    const int code = size.windowsId();
    if (code <= 0 || code > std::numeric_limits<std::int16_t>::max()) continue;
    const auto c = static_cast<std::int16_t>(code);
    if (std::find(codes.begin(), codes.end(), c) == codes.end()) codes.push_back(c);
  }
  return codes;
}

// Every standard size, for a device that takes any paper.
QList<QPageSize> AllStandardSizes() {
  QList<QPageSize> sizes;
  for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
    if (id != QPageSize::Custom) sizes.append(QPageSize(static_cast<QPageSize::PageSizeId>(id)));
  }
  return sizes;
}

// The printable area is all the device can print on: no margins beyond
// the printer's own.
void UseDevicePrintableArea(QPrinter& printer) {
  const QPageLayout layout = printer.pageLayout();
  printer.setPageMargins(layout.minimumMargins(), layout.units());
}

}  // namespace

std::int16_t BinCodeOf(QPrinter::PaperSource source) {
  switch (source) {
    case QPrinter::OnlyOne: return 1;
    case QPrinter::Lower: return 2;
    case QPrinter::Middle: return 3;
    case QPrinter::Manual: return 4;
    case QPrinter::Envelope: return 5;
    case QPrinter::EnvelopeManual: return 6;
    case QPrinter::Auto: return 7;
    case QPrinter::Tractor: return 8;
    case QPrinter::SmallFormat: return 9;
    case QPrinter::LargeFormat: return 10;
    case QPrinter::LargeCapacity: return 11;
    case QPrinter::Cassette: return 14;
    case QPrinter::FormSource: return 15;
    case QPrinter::MaxPageSource:
    case QPrinter::CustomSource: return 256;
  }
  return 7;
}

std::optional<QPrinter::PaperSource> PaperSourceOf(int bin_code) {
  switch (bin_code) {
    case 1: return QPrinter::OnlyOne;
    case 2: return QPrinter::Lower;
    case 3: return QPrinter::Middle;
    case 4: return QPrinter::Manual;
    case 5: return QPrinter::Envelope;
    case 6: return QPrinter::EnvelopeManual;
    case 7: return QPrinter::Auto;
    case 8: return QPrinter::Tractor;
    case 9: return QPrinter::SmallFormat;
    case 10: return QPrinter::LargeFormat;
    case 11: return QPrinter::LargeCapacity;
    case 14: return QPrinter::Cassette;
    case 15: return QPrinter::FormSource;
    default: return std::nullopt;
  }
}

DeviceMode DeviceModeOf(const QPrinter& printer, bool duplex_capable) {
  DeviceMode mode;
  mode.dmFields = kAllFields | (duplex_capable ? DM_DUPLEX : 0);
  const QPageLayout layout = printer.pageLayout();
  mode.dmOrientation = layout.orientation() == QPageLayout::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  const QPageSize size = layout.pageSize();
  const int code = size.windowsId();
  mode.dmPaperSize =
      code > 0 && code <= std::numeric_limits<std::int16_t>::max() ? static_cast<std::int16_t>(code) : DMPAPER_USER;
  const QSizeF mm = size.size(QPageSize::Millimeter);
  mode.dmPaperWidth = ClampToInt16(mm.width() * 10);
  mode.dmPaperLength = ClampToInt16(mm.height() * 10);
  mode.dmCopies = ClampToInt16(printer.copyCount());
  mode.dmDefaultSource = BinCodeOf(printer.paperSource());
  switch (printer.duplex()) {
    case QPrinter::DuplexNone: mode.dmDuplex = DMDUP_SIMPLEX; break;
    case QPrinter::DuplexShortSide: mode.dmDuplex = DMDUP_HORIZONTAL; break;
    case QPrinter::DuplexAuto:
    case QPrinter::DuplexLongSide: mode.dmDuplex = DMDUP_VERTICAL; break;
  }
  return mode;
}

void ApplyDeviceMode(const DeviceMode& mode, QPrinter& printer) {
  const auto has = [&mode](std::uint32_t bit) { return (mode.dmFields & bit) != 0; };
  const bool custom_extent =
      has(DM_PAPERWIDTH) && has(DM_PAPERLENGTH) && mode.dmPaperWidth > 0 && mode.dmPaperLength > 0;
  if (custom_extent && (!has(DM_PAPERSIZE) || mode.dmPaperSize == DMPAPER_USER)) {
    printer.setPageSize(QPageSize(QSizeF(mode.dmPaperWidth / 10.0, mode.dmPaperLength / 10.0), QPageSize::Millimeter,
                                  QString(), QPageSize::ExactMatch));
  } else if (has(DM_PAPERSIZE)) {
    const QPageSize::PageSizeId id = QPageSize::id(mode.dmPaperSize);
    if (id != QPageSize::Custom) printer.setPageSize(QPageSize(id));
  }
  if (has(DM_ORIENTATION)) {
    printer.setPageOrientation(mode.dmOrientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape
                                                                        : QPageLayout::Portrait);
  }
  if (has(DM_COPIES)) {
    printer.setCopyCount(std::max<int>(1, mode.dmCopies));
    printer.setCollateCopies(true);
  }
  if (has(DM_DEFAULTSOURCE)) {
    if (const auto source = PaperSourceOf(mode.dmDefaultSource)) printer.setPaperSource(*source);
  }
  if (has(DM_DUPLEX)) {
    switch (mode.dmDuplex) {
      case DMDUP_SIMPLEX: printer.setDuplex(QPrinter::DuplexNone); break;
      case DMDUP_VERTICAL: printer.setDuplex(QPrinter::DuplexLongSide); break;
      case DMDUP_HORIZONTAL: printer.setDuplex(QPrinter::DuplexShortSide); break;
      default: break;
    }
  }
}

QtPrinterDevice::QtPrinterDevice() {
  const QStringList names = QPrinterInfo::availablePrinterNames();
  names_.assign(names.begin(), names.end());
  const auto it = std::find(names_.begin(), names_.end(), QPrinterInfo::defaultPrinterName());
  if (it != names_.end()) {
    default_index_ = static_cast<int>(it - names_.begin());
  } else if (!names_.empty()) {
    default_index_ = 0;
  }
}

QtPrinterDevice::QtPrinterDevice(QString pdf_file) : pdf_file_(std::move(pdf_file)) {
  names_.push_back(QStringLiteral("PDF"));
  default_index_ = 0;
}

std::unique_ptr<QtPrinterDevice> QtPrinterDevice::ForPdfFile(const QString& pdf_file) {
  return std::unique_ptr<QtPrinterDevice>(new QtPrinterDevice(pdf_file));
}

QtPrinterDevice::~QtPrinterDevice() { DiscardJob(); }

std::vector<std::string> QtPrinterDevice::Printers() const {
  std::vector<std::string> out;
  out.reserve(names_.size());
  for (const QString& name : names_) out.push_back(name.toStdString());
  return out;
}

int QtPrinterDevice::DefaultPrinterIndex() const { return default_index_; }

int QtPrinterDevice::Resolve(int index) const { return index == -1 ? default_index_ : index; }

int QtPrinterDevice::PrinterIndex() const { return Resolve(selected_); }

void QtPrinterDevice::CheckPrinting(bool printing) const {
  if (Printing() == printing) return;
  throw EPrinterError(printing ? kNotPrinting : kPrintingInProgress);
}

void QtPrinterDevice::MakePrinter(int index) {
  const QString& name = names_[static_cast<std::size_t>(index)];
  bool duplex_capable = false;
  if (pdf_file_.isEmpty()) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    duplex_capable = CanDuplex(info);
  } else {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setOutputFormat(QPrinter::PdfFormat);
  }
  UseDevicePrintableArea(*printer_);
  printer_index_ = index;
  mode_ = DeviceModeOf(*printer_, duplex_capable);
}

QPrinter* QtPrinterDevice::EnsurePrinter() {
  const int index = PrinterIndex();
  if (index < 0) return nullptr;
  if (!printer_ || printer_index_ != index) MakePrinter(index);
  return printer_.get();
}

QPrinter* QtPrinterDevice::SelectedQPrinter() { return EnsurePrinter(); }

void QtPrinterDevice::Select(int index) {
  CheckPrinting(false);
  if (index < -1 || index >= static_cast<int>(names_.size())) throw EPrinterError(kPrinterIndexOutOfRange);
  selected_ = index;
  printer_.reset();
  printer_index_ = -1;
  mode_.reset();
}

void QtPrinterDevice::SetPrinterIndex(int index) { Select(index); }

SelectedPrinter QtPrinterDevice::GetPrinter() {
  QPrinter* printer = EnsurePrinter();
  if (printer == nullptr) return {};
  SelectedPrinter out;
  out.Device = names_[static_cast<std::size_t>(printer_index_)].toStdString();
  if (pdf_file_.isEmpty()) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(printer->printerName());
    out.Driver = info.makeAndModel().toStdString();
    out.Port = info.location().toStdString();
  } else {
    out.Driver = "PDF";
    out.Port = pdf_file_.toStdString();
  }
  out.Mode = mode_;
  return out;
}

void QtPrinterDevice::SetPrinter(const std::string& device, const std::string& /*driver*/, const std::string& /*port*/,
                                 const std::optional<DeviceMode>& mode) {
  CheckPrinting(false);
  const QString name = QString::fromStdString(device);
  const auto it = std::find(names_.begin(), names_.end(), name);
  if (it == names_.end()) throw EPrinterError(kPrinterIndexOutOfRange);
  Select(static_cast<int>(it - names_.begin()));
  if (!mode) return;  // built afresh from the driver's defaults on next use
  MakePrinter(selected_);
  ApplyDeviceMode(*mode, *printer_);
  UseDevicePrintableArea(*printer_);
  mode_ = mode;
}

std::vector<std::int16_t> QtPrinterDevice::DeviceCapabilities(const std::string& device, const std::string& /*port*/,
                                                              DeviceCapability capability,
                                                              const std::optional<DeviceMode>& /*mode*/) const {
  if (capability != DeviceCapability::DC_PAPERS) return {};
  const QString name = QString::fromStdString(device);
  if (std::find(names_.begin(), names_.end(), name) == names_.end()) return {};
  if (!pdf_file_.isEmpty()) return PaperCodes(AllStandardSizes());
  return PaperCodes(QPrinterInfo::printerInfo(name).supportedPageSizes());
}

int QtPrinterDevice::GetDeviceCaps(DeviceCap index) {
  QPrinter* printer = EnsurePrinter();
  if (printer == nullptr) return 0;
  const QRectF paper = printer->paperRect(QPrinter::DevicePixel);
  const QRectF page = printer->pageRect(QPrinter::DevicePixel);
  switch (index) {
    case DeviceCap::HORZRES: return qRound(page.width());
    case DeviceCap::VERTRES: return qRound(page.height());
    case DeviceCap::LOGPIXELSX:
    case DeviceCap::LOGPIXELSY: return printer->resolution();
    case DeviceCap::PHYSICALWIDTH: return qRound(paper.width());
    case DeviceCap::PHYSICALHEIGHT: return qRound(paper.height());
    case DeviceCap::PHYSICALOFFSETX: return qRound(page.left() - paper.left());
    case DeviceCap::PHYSICALOFFSETY: return qRound(page.top() - paper.top());
  }
  return 0;
}

void QtPrinterDevice::BeginDoc() {
  CheckPrinting(false);
  QPrinter* printer = EnsurePrinter();
  if (printer == nullptr) throw EPrinterError(kPrinterIndexOutOfRange);
  // The job is written to a spool file first, so that Abort can discard it.
  auto spool = std::make_unique<QTemporaryFile>(QDir::temp().filePath(QStringLiteral("pravel-XXXXXX.job")));
  if (!spool->open()) throw EPrinterError("Cannot create the print job's spool file");
  spool->close();
  printer->setDocName(QString::fromStdString(Title()));
  SetOutputFile(*printer, spool->fileName());
  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(printer)) {
    SetOutputFile(*printer, {});
    throw EPrinterError("Cannot start a print job on " + PrinterName());
  }
  spool_ = std::move(spool);
  painter_ = std::move(painter);
}

void QtPrinterDevice::NewPage() {
  CheckPrinting(true);
  surface_.reset();
  if (!printer_->newPage()) throw EPrinterError("Cannot start a new sheet on " + PrinterName());
}

void QtPrinterDevice::EndDoc() {
  CheckPrinting(true);
  surface_.reset();
  const bool written = painter_->end();
  painter_.reset();
  SetOutputFile(*printer_, {});
  const auto spool = std::move(spool_);
  if (!written) throw EPrinterError("Cannot write the print job for " + PrinterName());
  Deliver(spool->fileName());
}

void QtPrinterDevice::Abort() {
  CheckPrinting(true);
  DiscardJob();
}

gdi::Surface* QtPrinterDevice::PageSurface() {
  if (!painter_) return nullptr;
  if (!surface_) surface_ = std::make_unique<PainterSurface>(*painter_);
  return surface_.get();
}

void QtPrinterDevice::DiscardJob() noexcept {
  if (!painter_) return;
  surface_.reset();
  painter_->end();
  painter_.reset();
  SetOutputFile(*printer_, {});
  spool_.reset();  // removes the spool file
}

std::string QtPrinterDevice::PrinterName() const {
  return printer_index_ < 0 ? std::string() : names_[static_cast<std::size_t>(printer_index_)].toStdString();
}

void QtPrinterDevice::SetOutputFile(QPrinter& printer, const QString& path) noexcept {
  // On the engine, so that the printer keeps its output format.
  printer.printEngine()->setProperty(QPrintEngine::PPK_OutputFileName, path.isEmpty() ? pdf_file_ : path);
}

void QtPrinterDevice::Deliver(const QString& spool_file) {
  if (!pdf_file_.isEmpty()) {
    QFile::remove(pdf_file_);
    if (!QFile::copy(spool_file, pdf_file_)) {
      throw EPrinterError("Cannot write the file " + pdf_file_.toStdString());
    }
    return;
  }
  // Hand the job to CUPS with the settings of the printer.
  const QPrinter& p = *printer_;
  QStringList args{QStringLiteral("-d"), p.printerName(),
                   QStringLiteral("-t"), p.docName(),
                   QStringLiteral("-o"), QStringLiteral("media=") + p.pageLayout().pageSize().key()};
  if (p.copyCount() > 1) {
    args << QStringLiteral("-n") << QString::number(p.copyCount());
    if (p.collateCopies()) args << QStringLiteral("-o") << QStringLiteral("Collate=True");
  }
  switch (p.duplex()) {
    case QPrinter::DuplexNone: args << QStringLiteral("-o") << QStringLiteral("sides=one-sided"); break;
    case QPrinter::DuplexLongSide: args << QStringLiteral("-o") << QStringLiteral("sides=two-sided-long-edge"); break;
    case QPrinter::DuplexShortSide: args << QStringLiteral("-o") << QStringLiteral("sides=two-sided-short-edge"); break;
    case QPrinter::DuplexAuto: break;
  }
  if (p.pageLayout().orientation() == QPageLayout::Landscape)
    args << QStringLiteral("-o") << QStringLiteral("landscape");
  args << QStringLiteral("--") << spool_file;

  const QString lp = QStandardPaths::findExecutable(QStringLiteral("lp"));
  if (lp.isEmpty()) throw EPrinterError("Cannot hand the print job to " + PrinterName() + ": lp is not installed");
  QProcess process;
  process.start(lp, args);
  if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    const QString reason = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    throw EPrinterError("Cannot hand the print job to " + PrinterName() + ": " + reason.toStdString());
  }
}

}  // namespace pravel::qt
