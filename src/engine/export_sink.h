#pragma once
// What a report's export run hands its text to: the calls an export filter
// receives, Start, then EndPage and NewPage around each page with the
// page's TextOut calls, then EndPage and Finish.

#include <cstdint>
#include <string>

#include "engine/report_items.h"
#include "platform/font.h"

namespace pravel {

class TQRExportSink {
 public:
  TQRExportSink() = default;
  virtual ~TQRExportSink() = default;
  TQRExportSink(const TQRExportSink&) = delete;
  TQRExportSink& operator=(const TQRExportSink&) = delete;

  virtual bool Active() const = 0;
  virtual bool Unpaged() const = 0;
  virtual void Start(std::int32_t paper_width, std::int32_t paper_height, const Font& font) = 0;
  virtual void EndPage() = 0;
  virtual void NewPage() = 0;
  virtual void TextOut(long double x, long double y, const Font& font, ColorValue background_color,
                       TQRAlignment alignment, const std::string& text) = 0;
  virtual void Finish() = 0;
};

}  // namespace pravel
