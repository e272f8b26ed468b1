#include "platform/qt/text_metrics.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include "platform/qt/font_resolver.h"

namespace pravel::qt {

namespace {

// Measured at a large size, free of hinting, then scaled to the em.
constexpr int kMeasurePixels = 512;
constexpr long double kTenthMmPerPoint = 254.0L / 72.0L;

QFont MeasuringFont(const Font& font) {
  QFont measuring(LocalFamily(QString::fromStdString(font.Name), 0));
  measuring.setPixelSize(kMeasurePixels);
  measuring.setBold(font.Bold());
  measuring.setItalic(font.Italic());
  measuring.setKerning(false);
  measuring.setHintingPreference(QFont::PreferNoHinting);
  return measuring;
}

long double Scale(const Font& font) { return font.Size * kTenthMmPerPoint / kMeasurePixels; }

}  // namespace

std::vector<long double> TextAdvances(const Font& font, std::string_view text) {
  const QFontMetricsF metrics(MeasuringFont(font));
  const long double scale = Scale(font);
  std::vector<long double> advances;
  const QString string = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  for (const char32_t code_point : string.toUcs4()) {
    const QString piece = QString::fromUcs4(&code_point, 1);
    advances.push_back(static_cast<long double>(metrics.horizontalAdvance(piece)) * scale);
  }
  return advances;
}

long double LineHeight(const Font& font) {
  const QFontMetricsF metrics(MeasuringFont(font));
  return static_cast<long double>(metrics.ascent() + metrics.descent()) * Scale(font);
}

}  // namespace pravel::qt
