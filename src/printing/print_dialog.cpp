#include "printing/print_dialog.h"

namespace pravel {

namespace {

constexpr std::size_t kNameBufferChars = 79;

std::uint16_t Low16(std::int32_t v) noexcept { return static_cast<std::uint16_t>(v & 0xFFFF); }

}  // namespace

DialogPoint CentredDialogPlace(DialogSize screen, DialogSize window) noexcept {
  return {(screen.Width - window.Width) / 2, (screen.Height - window.Height) / 3};
}

void TQRCommonDialog::DialogHook(DialogHookEvent event, DialogWindow& window) {
  switch (event) {
    case DialogHookEvent::InitDialog:
      window.Move(CentredDialogPlace(window.ScreenSize(), window.Size()));
      handle_ = &window;
      if (OnShow) OnShow(*this);
      break;
    case DialogHookEvent::Destroy:
      if (OnClose) OnClose(*this);
      handle_ = nullptr;
      break;
  }
}

void TQRBasePrintDialog::ReadPrinterNames(const SelectedPrinter& selected) {
  device_ = selected.Device.substr(0, kNameBufferChars);
  driver_ = selected.Driver.substr(0, kNameBufferChars);
  port_ = selected.Port.substr(0, kNameBufferChars);
}

void TQRPrintDialog::SetCopies(std::int32_t v) {
  copies_ = v;
  Printer().SetCopies(v);
}

PrintDlgRequest TQRPrintDialog::MakeRequest() {
  PrintDlgRequest request;
  const SelectedPrinter selected = Printer().GetPrinter();
  ReadPrinterNames(selected);
  if (selected.Mode) {
    request.hDevMode = selected.Mode;
    request.hDevNames = MakeDeviceNamesBlock({DriverBuffer(), DeviceBuffer(), PortBuffer(), false});
  }

  std::uint32_t flags = PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK;
  if (print_range_ == TPrintRange::prSelection) flags |= PD_SELECTION;
  if (print_range_ == TPrintRange::prPageNums) flags |= PD_PAGENUMS;
  if (collate_) flags |= PD_COLLATE;
  if (!options_.Contains(TPrintDialogOption::poPrintToFile)) flags |= PD_HIDEPRINTTOFILE;
  if (!options_.Contains(TPrintDialogOption::poPageNums)) flags |= PD_NOPAGENUMS;
  if (!options_.Contains(TPrintDialogOption::poSelection)) flags |= PD_NOSELECTION;
  if (options_.Contains(TPrintDialogOption::poDisablePrintToFile)) flags |= PD_DISABLEPRINTTOFILE;
  if (print_to_file_) flags |= PD_PRINTTOFILE;
  if (options_.Contains(TPrintDialogOption::poHelp)) flags |= PD_SHOWHELP;
  if (!options_.Contains(TPrintDialogOption::poWarning)) flags |= PD_NOWARNING;
  request.Flags = flags;

  request.nFromPage = Low16(from_page_);
  request.nToPage = Low16(to_page_);
  request.nMinPage = Low16(min_page_);
  request.nMaxPage = Low16(max_page_);
  const auto hook = [this](DialogHookEvent event, DialogWindow& window) { DialogHook(event, window); };
  request.lpfnPrintHook = hook;
  request.lpfnSetupHook = hook;
  return request;
}

void TQRPrintDialog::ReadReply(const PrintDlgRequest& reply) {
  // The printer the user chose, with the names this dialog started from.
  std::string device = DeviceBuffer();
  if (reply.hDevNames) {
    if (const std::optional<DeviceNames> names = ReadDeviceNamesBlock(*reply.hDevNames)) device = names->Device;
  }
  Printer().SetPrinter(device, DriverBuffer(), PortBuffer(), reply.hDevMode);

  collate_ = (reply.Flags & PD_COLLATE) != 0;
  print_to_file_ = (reply.Flags & PD_PRINTTOFILE) != 0;
  if ((reply.Flags & PD_SELECTION) != 0) {
    print_range_ = TPrintRange::prSelection;
  } else if ((reply.Flags & PD_PAGENUMS) != 0) {
    print_range_ = TPrintRange::prPageNums;
  } else {
    print_range_ = TPrintRange::prAllPages;
  }
  from_page_ = reply.nFromPage;
  to_page_ = reply.nToPage;
  // With one copy returned the driver keeps the count in the device mode.
  SetCopies(reply.nCopies == 1 ? Printer().Copies() : reply.nCopies);
}

bool TQRPrintDialog::Execute() {
  PrintDlgRequest request = MakeRequest();
  const bool accepted = PrintDlg(request);
  if (accepted) ReadReply(request);
  return accepted;
}

}  // namespace pravel
