#pragma once
// Chooses local fonts for the fonts that metafiles name: metric-compatible
// stand-ins through fontconfig, and look-alikes added from the wine fonts.

#include <QFont>
#include <QRawFont>
#include <QString>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

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
  double ascent = 0, descent = 0;  // pixels
  double average_width = 0;        // pixels
  // Underline and strike-out: distance above the baseline (negative below)
  // of the line's middle, and its thickness, in pixels.
  double underline_position = 0, underline_size = 1;
  double strikeout_position = 0, strikeout_size = 1;
  bool smooth = false;  // draw with antialiasing
};

// Whether the font's grid-fitting table asks for greyscale smoothing at
// `ppem` pixels per em, as the platform's standard font smoothing does.
bool GaspSmoothing(const QRawFont& font, int ppem);

// Whether a font draws `ppem` pixels per em at that weight and slant as it
// was made: false for a face of bitmaps only (the look-alike MS Sans Serif)
// at another size, bold or italic, which would come out scaled or regular.
bool BitmapFaceFits(const QRawFont& font, int ppem, int weight, bool italic);

// The family for a widget's font: LocalFamily, or the sans where that is a
// face of bitmaps that has no such size or weight.
QString WidgetFamily(const QString& face, int pixel_size, bool bold);

// Caches resolved fonts by face, size and style for one surface.
class FontCache {
 public:
  // With `antialias` all text is smoothed; else as the fonts' tables say.
  explicit FontCache(bool antialias) : antialias_(antialias) {}
  const ResolvedFont& Get(const gdi::FontSpec& spec);

 private:
  const ResolvedFont& Find(const gdi::FontSpec& spec);
  // The em in whole pixels of `family` for the requested em or cell height.
  int PixelSize(const QString& family, const gdi::FontSpec& spec);
  ResolvedFont Make(const QString& family, int pixel_size, int weight, bool italic);
  ResolvedFont Make(const QString& family, int pixel_size, int weight, bool italic, bool smooth);

  bool antialias_;
  std::map<std::tuple<QString, int, int, bool, std::uint8_t>, ResolvedFont> fonts_;
  std::map<std::tuple<QString, int>, double> em_per_cell_;
  // The font asked for last, and what it resolved to: runs in a row mostly share one.
  std::optional<std::pair<gdi::FontSpec, const ResolvedFont*>> last_;
};

}  // namespace pravel::qt
