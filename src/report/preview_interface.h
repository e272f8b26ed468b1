#pragma once
// How a report printer reaches the preview layer: the preview window it opens
// when it has no preview hook, and the control it tells when it goes away.

#include "platform/messages.h"

namespace pravel {

class TQRPrinter;

// A window of the preview layer, opaque to the report core; null for none.
using PreviewWindow = void*;

// Opens a preview window on a report printer.
class TQRPreviewInterface {
 public:
  TQRPreviewInterface() = default;
  TQRPreviewInterface(const TQRPreviewInterface&) = delete;
  TQRPreviewInterface& operator=(const TQRPreviewInterface&) = delete;
  virtual ~TQRPreviewInterface() = default;

  // Shows the pages without blocking; the window, or null.
  virtual PreviewWindow Show(TQRPrinter& printer) = 0;
  // Shows the pages modally and returns when the window is closed.
  virtual PreviewWindow ShowModal(TQRPrinter& printer) = 0;
};

// The preview interface class is the current Platform's PreviewClass; while
// it is empty, Preview shows nothing.

// A Client that shows a printer's pages (a preview control). A printer that
// is destroyed while such a control is its Client detaches it first.
class TQRPreviewClient : public MessageTarget {
 public:
  // Called from the printer's destructor: forget `printer` as the control
  // does when it is given no printer.
  virtual void DetachPrinter(TQRPrinter& printer) = 0;
};

}  // namespace pravel
