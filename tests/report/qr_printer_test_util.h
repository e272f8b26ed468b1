#pragma once
// Helpers of the report printer tests: drawn pages, reports on disk and a
// message queue.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/emf_recorder.h"
#include "platform/messages.h"
#include "report/qr_page_list.h"
#include "report/qr_printer.h"

namespace pravel::test {

inline std::u16string PageText(int n) {
  const std::string text = "Page " + std::to_string(n);
  return {text.begin(), text.end()};
}

// A frame and the text "Page n" on a canvas of width x height.
inline void DrawPage(gdi::EmfRecorder& canvas, int n, int width, int height) {
  canvas.SelectStockObject(gdi::EmfRecorder::Stock::NullBrush);
  canvas.Rectangle({10, 10, width - 10, height - 10});
  const std::u16string text = PageText(n);
  const std::vector<std::int32_t> dx(text.size(), 8);
  canvas.ExtTextOut({20, 20}, std::u16string_view(text), dx);
}

// Page n, A4 portrait at 96 dpi unless another size is given.
inline gdi::Metafile DrawnPage(int n, int width = 794, int height = 1123) {
  gdi::EmfRecorder canvas(width, height);
  DrawPage(canvas, n, width, height);
  return canvas.Finish();
}

// An A4 page that asks for too much work to draw: a frame, then 600 000 glyphs.
inline gdi::Metafile WorkExhaustingPage() {
  gdi::EmfRecorder canvas(794, 1123);
  DrawPage(canvas, 0, 794, 1123);
  const std::u16string text(600000, u'x');
  const std::vector<std::int32_t> dx(text.size(), 1);
  canvas.ExtTextOut({20, 60}, std::u16string_view(text), dx);
  return canvas.Finish();
}

inline std::vector<gdi::Metafile> DrawnPages(int count) {
  std::vector<gdi::Metafile> pages;
  for (int n = 1; n <= count; ++n) pages.push_back(DrawnPage(n));
  return pages;
}

inline void WriteReport(const std::filesystem::path& path, const std::vector<gdi::Metafile>& pages) {
  TQRPageList list;
  list.SetStream(std::make_shared<TQRStream>(kProductionSpillLimit));
  for (const auto& page : pages) list.AddPage(page);
  list.Finish();
  list.SaveFile(path.string());
}

struct MessageLog final : MessageTarget {
  void Post(const Message& message) override { posted.push_back(message); }
  void Send(const Message& message) override { sent.push_back(message); }
  std::vector<Message> posted;
  std::vector<Message> sent;
};

}  // namespace pravel::test
