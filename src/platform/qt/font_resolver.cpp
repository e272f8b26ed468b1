#include "platform/qt/font_resolver.h"

#include <QCoreApplication>
#include <QDir>
#include <QVariant>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

namespace pravel::qt {

namespace {

constexpr const char* kLookAlikeFolder = "/usr/share/wine/fonts";
constexpr const char* kLoadedProperty = "pravelLookAlikeFonts";

// Faces the look-alike fonts provide, in lower case: loaded when asked for.
constexpr const char* kLookAlikeFaces[] = {"tahoma", "ms sans serif", "ms shell dlg", "ms shell dlg 2", "symbol",
                                           "wingdings", "wingdings 2", "wingdings 3", "marlett", "webdings",
                                           "small fonts", "fixedsys"};

struct Substitute {
  const char* face;
  const char* family;
};

// Face names in lower case.
constexpr Substitute kSubstitutes[] = {
    {"arial", "Liberation Sans"},
    {"helvetica", "Liberation Sans"},
    {"arial narrow", "Liberation Sans Narrow"},
    {"times new roman", "Liberation Serif"},
    {"times", "Liberation Serif"},
    {"calibri", "Carlito"},
    {"courier new", "Liberation Mono"},
    {"courier", "Liberation Mono"},
    {"system", "Liberation Sans"},
    {"ms shell dlg", "MS Sans Serif"},
    {"ms shell dlg 2", "Tahoma"},
    {"wingdings 2", "Wingdings"},
    {"wingdings 3", "Wingdings"},
};

bool HasFamily(const QString& family) {
  return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

}  // namespace

void LoadLookAlikeFonts() {
  // Once per application object: its end removes application fonts.
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || app->property(kLoadedProperty).toBool()) return;
  app->setProperty(kLoadedProperty, true);
  const QDir dir(QString::fromLatin1(kLookAlikeFolder));
  for (const QString& name : dir.entryList({QStringLiteral("*.ttf")}, QDir::Files))
    QFontDatabase::addApplicationFont(dir.filePath(name));
}

QString LocalFamily(const QString& face, std::uint8_t pitch_and_family) {
  const QString key = face.trimmed().toLower();
  for (const char* name : kLookAlikeFaces)
    if (key == QLatin1String(name)) LoadLookAlikeFonts();
  for (const auto& s : kSubstitutes)
    if (key == QLatin1String(s.face)) return QString::fromLatin1(s.family);
  if (!key.isEmpty() && HasFamily(face.trimmed())) return face.trimmed();
  // Other named faces go to fontconfig, which picks its own substitute.
  if (!key.isEmpty()) return face.trimmed();
  // By family bits: FF_ROMAN 0x10, FF_MODERN 0x30; fixed pitch 1.
  if ((pitch_and_family & 0xF0) == 0x10) return QStringLiteral("Liberation Serif");
  if ((pitch_and_family & 0xF0) == 0x30 || (pitch_and_family & 3) == 1) return QStringLiteral("Liberation Mono");
  return QStringLiteral("Liberation Sans");
}

bool GaspSmoothing(const QRawFont& font, int ppem) {
  const QByteArray table = font.fontTable("gasp");
  const auto u16 = [&table](qsizetype at) {
    return static_cast<unsigned>((static_cast<unsigned char>(table[at]) << 8) | static_cast<unsigned char>(table[at + 1]));
  };
  if (table.size() < 4) return false;
  const unsigned ranges = u16(2);
  for (unsigned k = 0; k < ranges && 4 + 4 * static_cast<qsizetype>(k) + 4 <= table.size(); ++k) {
    const auto at = 4 + 4 * static_cast<qsizetype>(k);
    if (static_cast<unsigned>(ppem) <= u16(at)) return (u16(at + 2) & 0x2) != 0;  // GASP_DOGRAY
  }
  return false;
}

ResolvedFont FontCache::Make(const QString& family, int pixel_size, int weight, bool italic) {
  ResolvedFont r = Make(family, pixel_size, weight, italic, antialias_);
  if (!antialias_ && GaspSmoothing(r.raw, pixel_size)) r = Make(family, pixel_size, weight, italic, true);
  return r;
}

ResolvedFont FontCache::Make(const QString& family, int pixel_size, int weight, bool italic, bool smooth) {
  QFont font(family);
  font.setPixelSize(std::max(1, pixel_size));
  font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
  font.setItalic(italic);
  font.setKerning(false);
  font.setHintingPreference(QFont::PreferFullHinting);
  font.setStyleStrategy(smooth ? QFont::PreferAntialias : QFont::NoAntialias);
  ResolvedFont r;
  r.smooth = smooth;
  r.raw = QRawFont::fromFont(font);
  const QFontMetricsF m(font);
  r.ascent = r.raw.isValid() ? r.raw.ascent() : m.ascent();
  r.descent = r.raw.isValid() ? r.raw.descent() : m.descent();
  r.average_width = r.raw.isValid() ? r.raw.averageCharWidth() : m.averageCharWidth();
  return r;
}

const ResolvedFont& FontCache::Get(const gdi::FontSpec& spec) {
  const QString family = LocalFamily(QString::fromStdU16String(spec.face), spec.pitch_and_family);
  // A face that is not installed is drawn by fontconfig's substitute at its
  // regular weight, as the reference renderings show.
  const int weight = family == QString::fromStdU16String(spec.face).trimmed() && !HasFamily(family) ? 400 : spec.weight;
  double em = spec.height;
  if (spec.cell_height) {
    // The cell is ascent + descent; find the em that gives it.
    auto key = std::make_tuple(family, spec.weight);
    auto it = em_per_cell_.find(key);
    if (it == em_per_cell_.end()) {
      const ResolvedFont probe = Make(family, 1000, spec.weight, false);
      const double cell = probe.ascent + probe.descent;
      it = em_per_cell_.emplace(key, cell > 0 ? 1000.0 / cell : 1.0).first;
    }
    em = spec.height * it->second;
  }
  const int pixels = static_cast<int>(std::lround(std::clamp(em, 1.0, 20000.0)));
  auto key = std::make_tuple(family, pixels, weight, spec.italic);
  auto it = fonts_.find(key);
  if (it == fonts_.end()) it = fonts_.emplace(key, Make(family, pixels, weight, spec.italic)).first;
  return it->second;
}

}  // namespace pravel::qt
