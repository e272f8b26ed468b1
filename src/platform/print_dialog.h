#pragma once
// The system print dialog as a replaceable function: a request in the shape
// of the platform's print-dialog record goes in, the user's choices come back
// in the same record.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/bytes.h"
#include "platform/printer_device.h"

namespace pravel {

// Flags of a print-dialog request.
inline constexpr std::uint32_t PD_ALLPAGES = 0x0;
inline constexpr std::uint32_t PD_SELECTION = 0x1;
inline constexpr std::uint32_t PD_PAGENUMS = 0x2;
inline constexpr std::uint32_t PD_NOSELECTION = 0x4;
inline constexpr std::uint32_t PD_NOPAGENUMS = 0x8;
inline constexpr std::uint32_t PD_COLLATE = 0x10;
inline constexpr std::uint32_t PD_PRINTTOFILE = 0x20;
inline constexpr std::uint32_t PD_NOWARNING = 0x80;
inline constexpr std::uint32_t PD_SHOWHELP = 0x800;
inline constexpr std::uint32_t PD_ENABLEPRINTHOOK = 0x1000;
inline constexpr std::uint32_t PD_ENABLESETUPHOOK = 0x2000;
inline constexpr std::uint32_t PD_DISABLEPRINTTOFILE = 0x80000;
inline constexpr std::uint32_t PD_HIDEPRINTTOFILE = 0x100000;

// Size of the request record the dialog is given.
inline constexpr std::uint32_t kPrintDlgStructSize = 66;

// The driver, device and port names of a printer.
struct DeviceNames {
  std::string Driver;
  std::string Device;
  std::string Output;
  bool Default = false;
  friend bool operator==(const DeviceNames&, const DeviceNames&) = default;
};

// The names as a device-names block: three 16-bit offsets (driver, device,
// output port), a 16-bit default flag, then the three zero-terminated names.
Bytes MakeDeviceNamesBlock(const DeviceNames& names);
// Reads a device-names block; none when an offset points outside the block
// or a name is not terminated within it.
std::optional<DeviceNames> ReadDeviceNamesBlock(ByteSpan block);

// Screen and window extents and a window's place, in pixels.
struct DialogSize {
  int Width = 0;
  int Height = 0;
};
struct DialogPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const DialogPoint&, const DialogPoint&) = default;
};

// The open dialog window as its hook sees it.
class DialogWindow {
 public:
  DialogWindow() = default;
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;
  virtual ~DialogWindow() = default;
  virtual DialogSize Size() const = 0;
  virtual DialogSize ScreenSize() const = 0;
  // Moves the window without resizing or activating it.
  virtual void Move(DialogPoint to) = 0;
};

enum class DialogHookEvent : std::uint8_t { InitDialog, Destroy };

// Called by the dialog when its window is initialised and when it goes.
using DialogHook = std::function<void(DialogHookEvent event, DialogWindow& window)>;

struct PrintDlgRequest {
  std::uint32_t lStructSize = kPrintDlgStructSize;
  std::uint32_t Flags = 0;
  std::uint16_t nFromPage = 0;
  std::uint16_t nToPage = 0;
  std::uint16_t nMinPage = 0;
  std::uint16_t nMaxPage = 0;
  std::uint16_t nCopies = 0;
  // The printer's settings to start from and, on return, the chosen ones.
  std::optional<DeviceMode> hDevMode;
  // A device-names block; on return, the chosen printer's.
  std::optional<Bytes> hDevNames;
  // Both hook procedures.
  DialogHook lpfnPrintHook;
  DialogHook lpfnSetupHook;
};

// Runs the dialog modally to the whole application; true when the user
// accepted. A platform failure is raised as EPlatformError.
using PrintDialogFunction = std::function<bool(PrintDlgRequest& request)>;

// Runs the current Platform's print dialog; raises "This program has no
// print dialog" without one.
bool PrintDlg(PrintDlgRequest& request);

}  // namespace pravel
