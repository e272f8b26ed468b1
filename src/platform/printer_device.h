#pragma once
// The system printer object: the installed printers, the selected one with
// its device mode and capabilities, and the print job on it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pravel {

namespace gdi {
class Surface;
}

// dmFields bits: which fields of a DeviceMode the driver uses.
inline constexpr std::uint32_t DM_ORIENTATION = 0x1;
inline constexpr std::uint32_t DM_PAPERSIZE = 0x2;
inline constexpr std::uint32_t DM_PAPERLENGTH = 0x4;
inline constexpr std::uint32_t DM_PAPERWIDTH = 0x8;
inline constexpr std::uint32_t DM_COPIES = 0x100;
inline constexpr std::uint32_t DM_DEFAULTSOURCE = 0x200;
inline constexpr std::uint32_t DM_DUPLEX = 0x1000;

inline constexpr std::int16_t DMORIENT_PORTRAIT = 1;
inline constexpr std::int16_t DMORIENT_LANDSCAPE = 2;
inline constexpr std::int16_t DMPAPER_USER = 256;
inline constexpr std::int16_t DMDUP_SIMPLEX = 1;
inline constexpr std::int16_t DMDUP_VERTICAL = 2;
inline constexpr std::int16_t DMDUP_HORIZONTAL = 3;

// The driver's settings of one printer.
struct DeviceMode {
  std::uint32_t dmFields = 0;
  std::int16_t dmOrientation = 0;  // DMORIENT_*
  std::int16_t dmPaperSize = 0;    // DMPAPER code
  std::int16_t dmPaperLength = 0;  // 0.1 mm
  std::int16_t dmPaperWidth = 0;   // 0.1 mm
  std::int16_t dmCopies = 0;
  std::int16_t dmDefaultSource = 0;  // DMBIN code
  std::int16_t dmDuplex = 0;         // DMDUP_*
  friend bool operator==(const DeviceMode&, const DeviceMode&) = default;
};

// What GetDeviceCaps answers, in device pixels or pixels per inch.
enum class DeviceCap : int {
  HORZRES = 8,   // printable width
  VERTRES = 10,  // printable height
  LOGPIXELSX = 88,
  LOGPIXELSY = 90,
  PHYSICALWIDTH = 110,  // whole sheet
  PHYSICALHEIGHT = 111,
  PHYSICALOFFSETX = 112,  // sheet edge to printable area
  PHYSICALOFFSETY = 113,
};

// What DeviceCapabilities answers.
enum class DeviceCapability : int {
  DC_PAPERS = 2,  // the 16-bit DMPAPER codes the printer offers
};

// The selected printer's names and device mode (none when the driver
// offers none).
struct SelectedPrinter {
  std::string Device;
  std::string Driver;
  std::string Port;
  std::optional<DeviceMode> Mode;
};

// Error texts of the printer layer (raised as EPrinterError).
inline constexpr const char* kPrintingInProgress = "Printing in progress";
inline constexpr const char* kNotPrinting = "Printer is not currently printing";
inline constexpr const char* kPrinterIndexOutOfRange = "Printer index out of range";
inline constexpr const char* kNotSupported = "Operation not supported on selected printer";

class PrinterDevice {
 public:
  PrinterDevice() = default;
  PrinterDevice(const PrinterDevice&) = delete;
  PrinterDevice& operator=(const PrinterDevice&) = delete;
  virtual ~PrinterDevice() = default;

  // The installed printers by name; the list an index refers to.
  virtual std::vector<std::string> Printers() const = 0;
  // The system default printer, or the first one when the system names
  // none; -1 when no printer is installed.
  virtual int DefaultPrinterIndex() const = 0;

  // The selected printer; while -1 (the default) is selected, the default's
  // index. -1 when no printer is installed.
  virtual int PrinterIndex() const = 0;
  // Selects a printer, -1 for the system default; its device mode is built
  // afresh from the driver's defaults. Raises "Printer index out of range"
  // and "Printing in progress".
  virtual void SetPrinterIndex(int index) = 0;

  // Names and device mode of the selected printer.
  virtual SelectedPrinter GetPrinter() = 0;
  // Selects the printer named `device` and gives it `mode`, from which it
  // recomputes its capabilities; with no mode it builds a fresh one from the
  // driver's defaults. Raises "Printer index out of range" for an unknown
  // name and "Printing in progress".
  virtual void SetPrinter(const std::string& device, const std::string& driver, const std::string& port,
                          const std::optional<DeviceMode>& mode) = 0;

  // DeviceCapabilities of the printer named `device`, under `mode` when
  // given; empty when the printer gives no answer.
  virtual std::vector<std::int16_t> DeviceCapabilities(const std::string& device, const std::string& port,
                                                       DeviceCapability capability,
                                                       const std::optional<DeviceMode>& mode) const = 0;
  // GetDeviceCaps of the selected printer under its current device mode;
  // 0 with no printer.
  virtual int GetDeviceCaps(DeviceCap index) = 0;

  // The print job. BeginDoc starts the document and its first sheet
  // ("Printing in progress" while one runs); NewPage ends the sheet and
  // starts the next; EndDoc ends the document; Abort discards it. The last
  // three raise "Printer is not currently printing" without a job.
  virtual bool Printing() const = 0;
  virtual void BeginDoc() = 0;
  virtual void NewPage() = 0;
  virtual void EndDoc() = 0;
  virtual void Abort() = 0;

  // The drawing surface of the running job's current sheet, in device
  // pixels with the origin at the printable area's corner; null without a
  // job. Valid until the next NewPage, EndDoc or Abort.
  virtual gdi::Surface* PageSurface() = 0;

  // The print job's name.
  const std::string& Title() const noexcept { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  // Selects the selected printer again with no device mode, so that a fresh
  // one is built from the driver's defaults.
  void ResetDeviceMode();

  // The copy count and orientation (DMORIENT_*) of the device mode. Raise
  // "Operation not supported on selected printer" without a device mode;
  // the setters raise "Printing in progress" while a job runs.
  int Copies();
  void SetCopies(int copies);
  int Orientation();
  void SetOrientation(int orientation);

 private:
  std::string title_;
};

}  // namespace pravel
