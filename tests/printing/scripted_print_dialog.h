#pragma once
// A print dialog that a test scripts: it records each request, runs the
// hooks as the real dialog does, and answers with the test's choices.

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/print_dialog.h"

namespace pravel::test {

class ScriptedPrintDialog {
 public:
  // The user's choices, made on the request as the dialog returns it.
  using Choice = std::function<void(PrintDlgRequest& reply)>;

  // The current Platform's print dialog while it lives.
  ScriptedPrintDialog() {
    Platform::Current().PrintDialog = [this](PrintDlgRequest& request) { return Run(request); };
  }
  ~ScriptedPrintDialog() { Platform::Current().PrintDialog = {}; }
  ScriptedPrintDialog(const ScriptedPrintDialog&) = delete;
  ScriptedPrintDialog& operator=(const ScriptedPrintDialog&) = delete;

  // Accepts with `choice` applied, or cancels.
  void Accept(Choice choice = {}) {
    accept_ = true;
    choice_ = std::move(choice);
  }
  void Cancel() { accept_ = false; }

  const std::vector<PrintDlgRequest>& Requests() const noexcept { return requests_; }
  std::optional<DialogPoint> Placed() const noexcept { return placed_; }
  DialogSize screen{1024, 768};
  DialogSize window{400, 300};

 private:
  struct Window final : DialogWindow {
    ScriptedPrintDialog& owner;
    explicit Window(ScriptedPrintDialog& o) : owner(o) {}
    DialogSize Size() const override { return owner.window; }
    DialogSize ScreenSize() const override { return owner.screen; }
    void Move(DialogPoint to) override { owner.placed_ = to; }
  };

  bool Run(PrintDlgRequest& request) {
    requests_.push_back(request);
    Window open(*this);
    if (request.lpfnPrintHook) request.lpfnPrintHook(DialogHookEvent::InitDialog, open);
    if (accept_) {
      // The dialog answers the copies it shows, one unless chosen.
      request.nCopies = 1;
      if (choice_) choice_(request);
    }
    if (request.lpfnPrintHook) request.lpfnPrintHook(DialogHookEvent::Destroy, open);
    return accept_;
  }

  bool accept_ = false;
  Choice choice_;
  std::vector<PrintDlgRequest> requests_;
  std::optional<DialogPoint> placed_;
};

// Choices: a page range, every page, another printer.
inline ScriptedPrintDialog::Choice PagesChoice(std::uint16_t from, std::uint16_t to) {
  return [from, to](PrintDlgRequest& reply) {
    reply.Flags = (reply.Flags & ~(PD_SELECTION | PD_PAGENUMS)) | PD_PAGENUMS;
    reply.nFromPage = from;
    reply.nToPage = to;
  };
}

}  // namespace pravel::test
