#pragma once
// Chooses local fonts for the fonts that metafiles name: metric-compatible
// stand-ins through fontconfig, and look-alikes added from the wine fonts.

#include <QFont>
#include <QRawFont>
#include <QString>
#include <map>
#include <tuple>

#include "platform/gdi/surface.h"

namespace pravel::qt {

// Adds the look-alike fonts (Tahoma, MS Sans Serif, Symbol, Wingdings) to the
// application's font database; later calls for the same application object
// do nothing. Needs a QGuiApplication.
void LoadLookAlikeFonts();

// The local family that stands in for a face name; loads the look-alike
// fonts when the face is one of theirs.
QString LocalFamily(const QString& face, std::uint8_t pitch_and_family);

// A resolved font at a whole pixel size, with the metrics text layout needs.
struct ResolvedFont {
  QRawFont raw;
  double ascent = 0, descent = 0;   // pixels
  double average_width = 0;         // pixels
  bool smooth = false;              // draw with antialiasing
};

// Whether the font's grid-fitting table asks for greyscale smoothing at
// `ppem` pixels per em, as the platform's standard font smoothing does.
bool GaspSmoothing(const QRawFont& font, int ppem);

// Caches resolved fonts by face, size and style for one surface.
class FontCache {
 public:
  // With `antialias` all text is smoothed; else as the fonts' tables say.
  explicit FontCache(bool antialias) : antialias_(antialias) {}
  const ResolvedFont& Get(const gdi::FontSpec& spec);

 private:
  ResolvedFont Make(const QString& family, int pixel_size, int weight, bool italic);
  ResolvedFont Make(const QString& family, int pixel_size, int weight, bool italic, bool smooth);

  bool antialias_;
  std::map<std::tuple<QString, int, int, bool>, ResolvedFont> fonts_;
  std::map<std::tuple<QString, int>, double> em_per_cell_;
};

}  // namespace pravel::qt
