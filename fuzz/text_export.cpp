// Plays arbitrary bytes as a report page into the text collector and hands
// the texts to the HTML filter, as the export of a loaded report does.
// fuzz-seeds: corpus/emf/valid
// fuzz-seeds: corpus/emf/corrupted

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "export/html_filter.h"
#include "export/text_collector.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pravel;
  std::optional<gdi::Metafile> page;
  try {
    page = gdi::Metafile::FromBytes(ByteSpan(data, size));
  } catch (const EMetafileError&) {
    return 0;
  }
  const std::vector<ExportText> texts = CollectTexts(*page, {0, 0, 2100, 2970});
  TQRHTMLDocumentFilter filter("");
  filter.Start(2100, 2970, Font{});
  filter.EndPage();
  filter.NewPage();
  for (const ExportText& t : texts) {
    if (t.Font.Size < 1) __builtin_trap();
    filter.TextOut(t.X, t.Y, t.Font, t.BackgroundColor, t.Alignment, t.Text);
  }
  filter.EndPage();
  filter.Finish();
  return 0;
}
