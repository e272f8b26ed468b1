#pragma once
// The font configuration of the drawing companions.

namespace pravel::cli {

// Makes a compact fontconfig configuration current, unless the environment
// names one (FONTCONFIG_FILE, FONTCONFIG_PATH, FONTCONFIG_SYSROOT). It finds
// the fonts the system configuration finds (the same folders and caches,
// bitmap fonts left out, the user's own configuration included) and keeps the
// metric-compatible aliases and generic families, but not the long lists of
// preferences per language: reading those costs a one-page render more than
// drawing it, and the renderer names the fonts it wants itself.
// Call before the application object is made.
void UseCompactFontConfig();

}  // namespace pravel::cli
