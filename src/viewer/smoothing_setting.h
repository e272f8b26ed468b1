#pragma once
// Whether the viewer smooths page text on screen; on unless turned off.

namespace pravel {

bool ReadSmoothing();
void WriteSmoothing(bool smooth);

}  // namespace pravel
