#include "support/scripted_printer_device.h"

#include <algorithm>
#include <array>
#include <span>
#include <utility>

#include "platform/errors.h"
#include "platform/gdi/surface.h"

namespace pravel {

namespace {

// Counts what is drawn onto the current sheet.
class SheetSurface final : public gdi::Surface {
 public:
  explicit SheetSurface(std::vector<ScriptedSheet>& sheets) : sheets_(sheets) {}

  void SetClip(const gdi::Region* /*clip*/) override {}
  void FillPath(const gdi::Path& path, gdi::FillRule /*rule*/, const gdi::Brush& /*brush*/,
                gdi::Rop2 /*rop*/) override {
    Sheet().Shapes++;
    Extend(path.points);
  }
  void StrokePath(const gdi::Path& path, const gdi::Pen& /*pen*/, gdi::Rop2 /*rop*/) override {
    Sheet().Shapes++;
    Extend(path.points);
  }
  void DrawText(const gdi::TextRun& run) override {
    Sheet().Texts.push_back(run.text);
    Extend(std::array{run.reference});
  }
  void DrawImage(const gdi::ImageDraw& draw) override {
    Sheet().Images++;
    const auto& d = draw.dest;
    // The fourth corner completes the parallelogram.
    Extend(std::array{d[0], d[1], d[2], gdi::PointD{d[1].x + d[2].x - d[0].x, d[1].y + d[2].y - d[0].y}});
  }

 private:
  ScriptedSheet& Sheet() { return sheets_.back(); }
  void Extend(std::span<const gdi::PointD> points) {
    ScriptedSheet& sheet = Sheet();
    for (const gdi::PointD& p : points) {
      if (!has_bounds_) {
        sheet.Bounds = {p.x, p.y, p.x, p.y};
        has_bounds_ = true;
        continue;
      }
      sheet.Bounds.left = std::min(sheet.Bounds.left, p.x);
      sheet.Bounds.top = std::min(sheet.Bounds.top, p.y);
      sheet.Bounds.right = std::max(sheet.Bounds.right, p.x);
      sheet.Bounds.bottom = std::max(sheet.Bounds.bottom, p.y);
    }
  }

  std::vector<ScriptedSheet>& sheets_;
  bool has_bounds_ = false;
};

}  // namespace

ScriptedPrinter ScriptedA4Printer(std::string name, int dpi) {
  ScriptedPrinter p;
  p.Device = std::move(name);
  p.LogPixelsX = p.LogPixelsY = dpi;
  // 210 x 297 mm; a margin of 1/6 inch all round.
  p.PhysicalWidth = dpi * 2100 / 254;
  p.PhysicalHeight = dpi * 2970 / 254;
  p.PhysicalOffsetX = p.PhysicalOffsetY = dpi / 6;
  p.HorzRes = p.PhysicalWidth - 2 * p.PhysicalOffsetX;
  p.VertRes = p.PhysicalHeight - 2 * p.PhysicalOffsetY;
  DeviceMode mode;
  mode.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_DEFAULTSOURCE | DM_DUPLEX;
  mode.dmOrientation = DMORIENT_PORTRAIT;
  mode.dmPaperSize = 9;
  mode.dmCopies = 1;
  mode.dmDefaultSource = 7;
  mode.dmDuplex = DMDUP_SIMPLEX;
  p.DefaultMode = mode;
  p.Papers = {1, 5, 9};
  return p;
}

ScriptedPrinterDevice::ScriptedPrinterDevice() = default;

ScriptedPrinterDevice::ScriptedPrinterDevice(std::vector<ScriptedPrinter> printers, int default_index)
    : printers_(std::move(printers)), default_index_(default_index) {}

ScriptedPrinterDevice::~ScriptedPrinterDevice() = default;

std::vector<std::string> ScriptedPrinterDevice::Printers() const {
  std::vector<std::string> names;
  names.reserve(printers_.size());
  for (const auto& p : printers_) names.push_back(p.Device);
  return names;
}

int ScriptedPrinterDevice::DefaultPrinterIndex() const {
  if (printers_.empty()) return -1;
  const auto count = static_cast<int>(printers_.size());
  return default_index_ >= 0 && default_index_ < count ? default_index_ : 0;
}

int ScriptedPrinterDevice::PrinterIndex() const {
  if (printers_.empty()) return -1;
  const auto count = static_cast<int>(printers_.size());
  return selected_ >= 0 && selected_ < count ? selected_ : DefaultPrinterIndex();
}

const ScriptedPrinter* ScriptedPrinterDevice::Selected() const {
  const int index = PrinterIndex();
  return index < 0 ? nullptr : &printers_[static_cast<std::size_t>(index)];
}

void ScriptedPrinterDevice::CheckPrinting(bool printing) const {
  if (printing_ == printing) return;
  throw EPrinterError(printing ? kNotPrinting : kPrintingInProgress);
}

void ScriptedPrinterDevice::Select(int index) {
  CheckPrinting(false);
  if (index < -1 || index >= static_cast<int>(printers_.size())) throw EPrinterError(kPrinterIndexOutOfRange);
  selected_ = index;
  mode_.reset();
  mode_built_ = false;
  empty_fetches_ = 0;
}

void ScriptedPrinterDevice::SetPrinterIndex(int index) { Select(index); }

SelectedPrinter ScriptedPrinterDevice::GetPrinter() {
  const ScriptedPrinter* printer = Selected();
  if (printer == nullptr) return {};
  if (!mode_built_) {
    if (empty_fetches_ < printer->EmptyModeFetches) {
      ++empty_fetches_;
      return {printer->Device, printer->Driver, printer->Port, std::nullopt};
    }
    mode_ = printer->DefaultMode;
    mode_built_ = true;
  }
  return {printer->Device, printer->Driver, printer->Port, mode_};
}

void ScriptedPrinterDevice::SetPrinter(const std::string& device, const std::string& /*driver*/,
                                       const std::string& /*port*/, const std::optional<DeviceMode>& mode) {
  CheckPrinting(false);
  const auto it =
      std::find_if(printers_.begin(), printers_.end(), [&](const ScriptedPrinter& p) { return p.Device == device; });
  if (it == printers_.end()) throw EPrinterError(kPrinterIndexOutOfRange);
  selections_.push_back({device, mode});
  Select(static_cast<int>(it - printers_.begin()));
  if (mode) {
    mode_ = mode;
    mode_built_ = true;
  }
}

std::vector<std::int16_t> ScriptedPrinterDevice::DeviceCapabilities(const std::string& device,
                                                                    const std::string& /*port*/,
                                                                    DeviceCapability capability,
                                                                    const std::optional<DeviceMode>& /*mode*/) const {
  const auto it =
      std::find_if(printers_.begin(), printers_.end(), [&](const ScriptedPrinter& p) { return p.Device == device; });
  if (it == printers_.end() || capability != DeviceCapability::DC_PAPERS) return {};
  return it->Papers;
}

int ScriptedPrinterDevice::GetDeviceCaps(DeviceCap index) {
  const ScriptedPrinter* p = Selected();
  if (p == nullptr) return 0;
  const std::optional<DeviceMode>& mode = mode_built_ ? mode_ : p->DefaultMode;
  const bool landscape = mode && (mode->dmFields & DM_ORIENTATION) != 0 && mode->dmOrientation == DMORIENT_LANDSCAPE;
  const auto pick = [landscape](int portrait, int turned) { return landscape ? turned : portrait; };
  switch (index) {
    case DeviceCap::HORZRES: return pick(p->HorzRes, p->VertRes);
    case DeviceCap::VERTRES: return pick(p->VertRes, p->HorzRes);
    case DeviceCap::LOGPIXELSX: return pick(p->LogPixelsX, p->LogPixelsY);
    case DeviceCap::LOGPIXELSY: return pick(p->LogPixelsY, p->LogPixelsX);
    case DeviceCap::PHYSICALWIDTH: return pick(p->PhysicalWidth, p->PhysicalHeight);
    case DeviceCap::PHYSICALHEIGHT: return pick(p->PhysicalHeight, p->PhysicalWidth);
    case DeviceCap::PHYSICALOFFSETX: return pick(p->PhysicalOffsetX, p->PhysicalOffsetY);
    case DeviceCap::PHYSICALOFFSETY: return pick(p->PhysicalOffsetY, p->PhysicalOffsetX);
  }
  return 0;
}

void ScriptedPrinterDevice::BeginDoc() {
  CheckPrinting(false);
  if (Selected() == nullptr) throw EPrinterError(kPrinterIndexOutOfRange);
  calls_.push_back({JobStep::BeginDoc, Title()});
  printing_ = true;
  sheets_ = 1;
  sheets_drawn_.assign(1, {});
}

void ScriptedPrinterDevice::NewPage() {
  CheckPrinting(true);
  calls_.push_back({JobStep::NewPage, {}});
  ++sheets_;
  surface_.reset();
  sheets_drawn_.emplace_back();
}

void ScriptedPrinterDevice::EndDoc() {
  CheckPrinting(true);
  calls_.push_back({JobStep::EndDoc, {}});
  printing_ = false;
  surface_.reset();
  sheets_printed_ += sheets_;
}

void ScriptedPrinterDevice::Abort() {
  CheckPrinting(true);
  calls_.push_back({JobStep::Abort, {}});
  printing_ = false;
  surface_.reset();
}

gdi::Surface* ScriptedPrinterDevice::PageSurface() {
  if (!printing_) return nullptr;
  if (sheets_drawn_.empty()) sheets_drawn_.emplace_back();
  if (!surface_) surface_ = std::make_unique<SheetSurface>(sheets_drawn_);
  return surface_.get();
}

void ScriptedPrinterDevice::ClearRecords() {
  calls_.clear();
  selections_.clear();
  sheets_ = 0;
  sheets_printed_ = 0;
  surface_.reset();
  sheets_drawn_.clear();
}

}  // namespace pravel
