#pragma once
// The print dialog over QPrintDialog: the request's printer, settings, page
// numbers and flags go into the dialog, and the user's choices come back
// into the request.

#include <QPrinter>
#include <memory>

#include "platform/print_dialog.h"

class QPrintDialog;

namespace pravel::qt {

// The printer the request names (the default one when it names none or an
// unknown one), under the request's device mode.
std::unique_ptr<QPrinter> PrinterForRequest(const PrintDlgRequest& request);
// Offers what the request's flags allow and fills in its page numbers.
void PrepareDialog(QPrintDialog& dialog, QPrinter& printer, const PrintDlgRequest& request);
// The choices of an accepted dialog into `request`.
void ReadDialog(const QPrintDialog& dialog, const QPrinter& printer, PrintDlgRequest& request);

// Runs the dialog modally to the application; its hook sees it when it is
// shown and when it goes. The PrintDialog of a Qt program's Platform.
bool RunQtPrintDialog(PrintDlgRequest& request);

}  // namespace pravel::qt
