#pragma once
// An A4 sample page as EMF bytes, written record by record: a frame, a
// header band, ruled lines and a line of text.

#include "platform/bytes.h"

namespace pravel::tools {

Bytes SamplePageEmf(int page, int page_count);

}  // namespace pravel::tools
