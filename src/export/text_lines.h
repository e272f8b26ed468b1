#pragma once
// The text runs of a page written out for search indexes: one JSON object
// per run, or the page's text in reading order.

#include <cstdint>
#include <string>
#include <vector>

#include "export/text_collector.h"
#include "platform/gdi/metafile.h"

namespace pravel {

// The texts of `page` in 0.1 mm from its frame's top-left corner (A4 when
// the frame is empty), in drawing order.
std::vector<ExportText> PageTexts(const gdi::Metafile& page);

// One line per run, each ended by '\n':
// {"page":3,"x":1234,"y":567,"w":890,"h":40,"font":"Arial","size":10,
//  "bold":false,"italic":false,"color":"#000000","text":"..."}
// Positions and sizes are whole tenths of a millimetre, x and y the run's
// top-left corner.
std::string TextRunsJson(std::int32_t page, const std::vector<ExportText>& texts);

// The runs sorted into lines from top to bottom, each line's runs from left
// to right and joined by a space; every line ends with '\n'. Runs whose
// vertical middles lie within half a line of each other share a line.
std::string ReadingOrderText(std::vector<ExportText> texts);

// `text` as the body of a JSON string (UTF-8 kept, controls escaped).
std::string JsonEscaped(std::string_view text);

}  // namespace pravel
