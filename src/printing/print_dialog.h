#pragma once
// The print setup dialog component: it shows the system print dialog for
// the application-wide shared printer and reads the user's choices back.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "platform/print_dialog.h"
#include "platform/printer_device.h"

namespace pravel {

class TQRCommonDialog {
 public:
  using TNotifyEvent = std::function<void(TQRCommonDialog& sender)>;

  TQRCommonDialog() = default;
  TQRCommonDialog(const TQRCommonDialog&) = delete;
  TQRCommonDialog& operator=(const TQRCommonDialog&) = delete;
  virtual ~TQRCommonDialog() = default;

  bool Ctl3D() const noexcept { return ctl3d_; }
  void SetCtl3D(bool v) noexcept { ctl3d_ = v; }
  // Help topic of the dialog; 0 for none.
  std::int32_t HelpContext() const noexcept { return help_context_; }
  void SetHelpContext(std::int32_t v) noexcept { help_context_ = v; }
  // The dialog window while it is open, else null.
  DialogWindow* Handle() const noexcept { return handle_; }

  // Called when the dialog window is initialised and when it is destroyed.
  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

  // The hook of the system dialog: places the window and tells OnShow and
  // OnClose.
  void DialogHook(DialogHookEvent event, DialogWindow& window);

 private:
  bool ctl3d_ = true;
  std::int32_t help_context_ = 0;
  DialogWindow* handle_ = nullptr;
};

// Centred across the screen, at a third of the spare height down.
DialogPoint CentredDialogPlace(DialogSize screen, DialogSize window) noexcept;

class TQRBasePrintDialog : public TQRCommonDialog {
 public:
  // `printer`: the application-wide shared printer (not owned).
  explicit TQRBasePrintDialog(PrinterDevice& printer) : printer_(printer) {}

  PrinterDevice& Printer() const noexcept { return printer_; }

 protected:
  // Fills the name buffers from the printer's selection.
  void ReadPrinterNames(const SelectedPrinter& selected);
  const std::string& DeviceBuffer() const noexcept { return device_; }
  const std::string& DriverBuffer() const noexcept { return driver_; }
  const std::string& PortBuffer() const noexcept { return port_; }

 private:
  PrinterDevice& printer_;
  // Each holds at most 79 characters.
  std::string device_;
  std::string driver_;
  std::string port_;
};

enum class TPrintDialogOption : std::uint8_t {
  poPrintToFile = 1,
  poPageNums = 2,
  poSelection = 4,
  poWarning = 8,
  poHelp = 16,
  poDisablePrintToFile = 32
};

class TPrintDialogOptions {
 public:
  constexpr TPrintDialogOptions() noexcept = default;
  constexpr TPrintDialogOptions(std::initializer_list<TPrintDialogOption> options) noexcept {
    for (const TPrintDialogOption o : options) bits_ |= static_cast<std::uint8_t>(o);
  }
  constexpr bool Contains(TPrintDialogOption o) const noexcept { return (bits_ & static_cast<std::uint8_t>(o)) != 0; }
  friend constexpr bool operator==(TPrintDialogOptions, TPrintDialogOptions) noexcept = default;

 private:
  std::uint8_t bits_ = 0;
};

enum class TPrintRange : std::uint8_t { prAllPages, prSelection, prPageNums };

class TQRPrintDialog : public TQRBasePrintDialog {
 public:
  using TQRBasePrintDialog::TQRBasePrintDialog;

  bool Collate() const noexcept { return collate_; }
  void SetCollate(bool v) noexcept { collate_ = v; }
  std::int32_t Copies() const noexcept { return copies_; }
  // Also sets the shared printer's copy count.
  void SetCopies(std::int32_t v);
  std::int32_t FromPage() const noexcept { return from_page_; }
  void SetFromPage(std::int32_t v) noexcept { from_page_ = v; }
  std::int32_t MinPage() const noexcept { return min_page_; }
  void SetMinPage(std::int32_t v) noexcept { min_page_ = v; }
  std::int32_t MaxPage() const noexcept { return max_page_; }
  void SetMaxPage(std::int32_t v) noexcept { max_page_ = v; }
  TPrintDialogOptions Options() const noexcept { return options_; }
  void SetOptions(TPrintDialogOptions v) noexcept { options_ = v; }
  bool PrintToFile() const noexcept { return print_to_file_; }
  void SetPrintToFile(bool v) noexcept { print_to_file_ = v; }
  TPrintRange PrintRange() const noexcept { return print_range_; }
  void SetPrintRange(TPrintRange v) noexcept { print_range_ = v; }
  std::int32_t ToPage() const noexcept { return to_page_; }
  void SetToPage(std::int32_t v) noexcept { to_page_ = v; }

  // Shows the system dialog; true when the user accepted, and the choices
  // are then in the properties and on the shared printer.
  bool Execute();

  // The request Execute hands to the system dialog.
  PrintDlgRequest MakeRequest();

 private:
  void ReadReply(const PrintDlgRequest& reply);

  bool collate_ = false;
  std::int32_t copies_ = 0;
  std::int32_t from_page_ = 0;
  std::int32_t min_page_ = 0;
  std::int32_t max_page_ = 0;
  TPrintDialogOptions options_;
  bool print_to_file_ = false;
  TPrintRange print_range_ = TPrintRange::prAllPages;
  std::int32_t to_page_ = 0;
};

}  // namespace pravel
