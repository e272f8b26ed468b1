#include "platform/qt/font_resolver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace pravel::qt {

namespace {

constexpr const char* kLookAlikeFolder = "/usr/share/wine/fonts";
constexpr const char* kLoadedProperty = "pravelLookAlikeFonts";

// Faces the look-alike fonts provide, in lower case: loaded when asked for.
constexpr const char* kLookAlikeFaces[] = {"tahoma",  "ms sans serif", "ms shell dlg", "ms shell dlg 2",
                                           "symbol",  "wingdings",     "wingdings 2",  "wingdings 3",
                                           "marlett", "webdings",      "small fonts",  "fixedsys"};

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

std::uint32_t BigEndian(const QByteArray& table, qsizetype at, int bytes) {
  std::uint32_t v = 0;
  for (int k = 0; k < bytes; ++k) v = (v << 8) | static_cast<unsigned char>(table[at + k]);
  return v;
}

// Ascent and descent per em as GDI realises a TrueType font: from the OS/2
// table's Windows ascent and descent, whatever the font asks of other systems.
std::optional<std::pair<double, double>> WindowsMetricsPerEm(const QRawFont& font) {
  const QByteArray head = font.fontTable("head"), os2 = font.fontTable("OS/2");
  if (head.size() < 54 || os2.size() < 78) return std::nullopt;
  const auto units = static_cast<double>(BigEndian(head, 18, 2));
  const auto ascent = static_cast<double>(BigEndian(os2, 74, 2)), descent = static_cast<double>(BigEndian(os2, 76, 2));
  if (units < 16 || ascent + descent <= 0) return std::nullopt;
  return std::pair{ascent / units, descent / units};
}

// Underline from the 'post' table, strike-out from the OS/2 table, as GDI
// reports them for the realised font; Qt's figures where a table is missing.
void SetLineMetrics(ResolvedFont& r) {
  const double em = r.raw.isValid() ? r.raw.pixelSize() : 0;
  const QByteArray head = r.raw.fontTable("head"), post = r.raw.fontTable("post"), os2 = r.raw.fontTable("OS/2");
  const double units = head.size() >= 54 ? static_cast<double>(BigEndian(head, 18, 2)) : 0;
  const auto signed16 = [](const QByteArray& t, qsizetype at) {
    return static_cast<double>(static_cast<std::int16_t>(BigEndian(t, at, 2)));
  };
  r.underline_position = -std::max(1.0, r.raw.isValid() ? r.raw.underlinePosition() : 1.0);
  r.underline_size = r.raw.isValid() ? r.raw.lineThickness() : 1;
  r.strikeout_position = r.ascent / 3;
  r.strikeout_size = r.underline_size;
  if (units >= 16 && post.size() >= 12) {
    r.underline_position = signed16(post, 8) * em / units;
    r.underline_size = signed16(post, 10) * em / units;
  }
  if (units >= 16 && os2.size() >= 30) {
    r.strikeout_size = signed16(os2, 26) * em / units;
    r.strikeout_position = signed16(os2, 28) * em / units;
  }
  r.underline_size = std::max(1.0, std::round(r.underline_size));
  r.strikeout_size = std::max(1.0, std::round(r.strikeout_size));
}

// Whether a font has the letters of a character set, as GDI's font mapper
// asks of a face before it takes it: one letter each set has and
// Western fonts lack.
bool CoversCharset(const QRawFont& font, std::uint8_t charset) {
  char16_t letter = 0;
  switch (charset) {
    case 238: letter = u'\u0141'; break;  // EASTEUROPE: Ł
    case 204: letter = u'\u0416'; break;  // RUSSIAN: Ж
    case 161: letter = u'\u03A9'; break;  // GREEK: Ω
    case 162: letter = u'\u011E'; break;  // TURKISH: Ğ
    case 186: letter = u'\u0116'; break;  // BALTIC: Ė
    default: return true;
  }
  return !font.isValid() || font.supportsCharacter(QChar(letter));
}

bool HasFamily(const QString& family) { return QFontDatabase::families().contains(family, Qt::CaseInsensitive); }

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
  // A face that is not installed falls back by its family bits, as GDI's
  // font mapper does (the reference renderings draw Verdana, Georgia,
  // Century Gothic and Lucida Console of pitch and family 0 in the sans):
  // FF_ROMAN 0x10, FF_MODERN 0x30; fixed pitch 1.
  if ((pitch_and_family & 0xF0) == 0x10) return QStringLiteral("Liberation Serif");
  if ((pitch_and_family & 0xF0) == 0x30 || (pitch_and_family & 3) == 1) return QStringLiteral("Liberation Mono");
  return QStringLiteral("Liberation Sans");
}

bool GaspSmoothing(const QRawFont& font, int ppem) {
  const QByteArray table = font.fontTable("gasp");
  const auto u16 = [&table](qsizetype at) {
    return static_cast<unsigned>((static_cast<unsigned char>(table[at]) << 8) |
                                 static_cast<unsigned char>(table[at + 1]));
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
  if (const auto per_em = WindowsMetricsPerEm(r.raw)) {
    const double em = r.raw.pixelSize();
    r.ascent = std::round(per_em->first * em);
    r.descent = std::round(per_em->second * em);
  }
  SetLineMetrics(r);
  r.average_width = r.raw.isValid() ? r.raw.averageCharWidth() : m.averageCharWidth();
  return r;
}

int FontCache::PixelSize(const QString& family, const gdi::FontSpec& spec) {
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
  return static_cast<int>(std::lround(std::clamp(em, 1.0, 20000.0)));
}

const ResolvedFont& FontCache::Get(const gdi::FontSpec& spec) {
  if (last_ && last_->first == spec) return *last_->second;
  const ResolvedFont& font = Find(spec);
  last_.emplace(spec, &font);
  return font;
}

const ResolvedFont& FontCache::Find(const gdi::FontSpec& spec) {
  const QString family = LocalFamily(QString::fromStdU16String(spec.face), spec.pitch_and_family);
  const int weight = spec.weight;
  const int pixels = PixelSize(family, spec);
  auto key = std::make_tuple(family, pixels, weight, spec.italic, spec.charset);
  auto it = fonts_.find(key);
  if (it == fonts_.end()) {
    ResolvedFont font = Make(family, pixels, weight, spec.italic);
    if (!BitmapFaceFits(font.raw, pixels, weight, spec.italic) || !CoversCharset(font.raw, spec.charset)) {
      // The sans, serif or mono of the face's family, sized by its own cell.
      const QString fallback = LocalFamily(QString(), spec.pitch_and_family);
      font = Make(fallback, PixelSize(fallback, spec), weight, spec.italic);
    }
    it = fonts_.emplace(key, std::move(font)).first;
  }
  return it->second;
}

bool BitmapFaceFits(const QRawFont& font, int ppem, int weight, bool italic) {
  const QByteArray strikes = font.fontTable("EBLC");
  constexpr qsizetype kOutlineBytes = 1024;  // a few empty glyphs at most
  if (strikes.size() < 8 || font.fontTable("glyf").size() > kOutlineBytes || font.fontTable("CFF ").size() > 0)
    return true;
  if (weight >= 600 || italic) return false;
  const std::uint32_t count = BigEndian(strikes, 4, 4);
  for (std::uint32_t k = 0; k < count && 8 + 48 * static_cast<qsizetype>(k) + 48 <= strikes.size(); ++k)
    if (static_cast<int>(BigEndian(strikes, 8 + 48 * static_cast<qsizetype>(k) + 45, 1)) == ppem) return true;
  return false;
}

QString WidgetFamily(const QString& face, int pixel_size, bool bold) {
  const QString family = LocalFamily(face, 0);
  QFont font(family);
  font.setPixelSize(std::max(1, pixel_size));
  font.setBold(bold);
  const int weight = bold ? 700 : 400;
  return BitmapFaceFits(QRawFont::fromFont(font), pixel_size, weight, false) ? family : LocalFamily(QString(), 0);
}

}  // namespace pravel::qt
