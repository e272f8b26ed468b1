#pragma once
// A printer device whose printers a test describes, and which records what
// was asked of it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/geometry.h"
#include "platform/printer_device.h"

namespace pravel {

// One printer as its driver describes it. The capabilities are those of
// portrait orientation; a device mode asking for landscape swaps them.
struct ScriptedPrinter {
  std::string Device;
  std::string Driver = "scripted";
  std::string Port = "script:";
  int LogPixelsX = 300;
  int LogPixelsY = 300;
  int PhysicalWidth = 0;  // whole sheet, pixels
  int PhysicalHeight = 0;
  int PhysicalOffsetX = 0;  // sheet edge to printable area
  int PhysicalOffsetY = 0;
  int HorzRes = 0;  // printable area
  int VertRes = 0;
  // The driver's default device mode; none when the driver offers none.
  std::optional<DeviceMode> DefaultMode;
  // DC_PAPERS
  std::vector<std::int16_t> Papers;
  // How many fetches of a freshly selected printer come back without a
  // device mode before the driver has built one.
  int EmptyModeFetches = 0;
};

// An A4 printer at `dpi` with 1/6 inch margins, taking A4, Letter and Legal.
ScriptedPrinter ScriptedA4Printer(std::string name, int dpi = 300);

enum class JobStep { BeginDoc, NewPage, EndDoc, Abort };

struct JobCall {
  JobStep Step = JobStep::BeginDoc;
  std::string Title;  // the job's title, for BeginDoc
  friend bool operator==(const JobCall&, const JobCall&) = default;
};

// What one sheet of a job received on its surface.
struct ScriptedSheet {
  int Shapes = 0;  // filled and stroked paths
  int Images = 0;
  std::vector<std::u16string> Texts;  // text runs in drawing order
  gdi::RectD Bounds;                  // of all points drawn, device pixels
  bool Blank() const noexcept { return Shapes == 0 && Images == 0 && Texts.empty(); }
};

// A printer selected by names, with the device mode it was given.
struct PrinterSelection {
  std::string Device;
  std::optional<DeviceMode> Mode;
  friend bool operator==(const PrinterSelection&, const PrinterSelection&) = default;
};

class ScriptedPrinterDevice final : public PrinterDevice {
 public:
  ScriptedPrinterDevice();
  explicit ScriptedPrinterDevice(std::vector<ScriptedPrinter> printers, int default_index = 0);
  ~ScriptedPrinterDevice() override;

  std::vector<std::string> Printers() const override;
  int DefaultPrinterIndex() const override;
  int PrinterIndex() const override;
  void SetPrinterIndex(int index) override;
  SelectedPrinter GetPrinter() override;
  void SetPrinter(const std::string& device, const std::string& driver, const std::string& port,
                  const std::optional<DeviceMode>& mode) override;
  std::vector<std::int16_t> DeviceCapabilities(const std::string& device, const std::string& port,
                                               DeviceCapability capability,
                                               const std::optional<DeviceMode>& mode) const override;
  int GetDeviceCaps(DeviceCap index) override;
  bool Printing() const override { return printing_; }
  void BeginDoc() override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;
  gdi::Surface* PageSurface() override;

  // The script, which a test may change between calls.
  std::vector<ScriptedPrinter>& Script() noexcept { return printers_; }
  void SetDefaultPrinterIndex(int index) noexcept { default_index_ = index; }

  // Every job call, in order.
  const std::vector<JobCall>& Calls() const noexcept { return calls_; }
  // Every selection by names (SetPrinter), in order.
  const std::vector<PrinterSelection>& Selections() const noexcept { return selections_; }
  // Sheets of the running or last job; those of ended (not aborted) jobs.
  int Sheets() const noexcept { return sheets_; }
  int SheetsPrinted() const noexcept { return sheets_printed_; }
  // What each sheet of the running or last job received.
  const std::vector<ScriptedSheet>& SheetsDrawn() const noexcept { return sheets_drawn_; }
  void ClearRecords();

 private:
  const ScriptedPrinter* Selected() const;
  void Select(int index);
  void CheckPrinting(bool printing) const;

  std::vector<ScriptedPrinter> printers_;
  int default_index_ = 0;
  int selected_ = -1;               // -1: the default
  std::optional<DeviceMode> mode_;  // of the selected printer, once built
  bool mode_built_ = false;
  int empty_fetches_ = 0;
  bool printing_ = false;
  int sheets_ = 0;
  int sheets_printed_ = 0;
  std::vector<JobCall> calls_;
  std::vector<PrinterSelection> selections_;
  std::vector<ScriptedSheet> sheets_drawn_;
  std::unique_ptr<gdi::Surface> surface_;  // draws onto sheets_drawn_.back()
};

}  // namespace pravel
