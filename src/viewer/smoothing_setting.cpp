#include "viewer/smoothing_setting.h"

#include "platform/qt/settings_store.h"

namespace pravel {

namespace {

qt::SettingsValue SmoothingValue() {
  return {.organisation = QStringLiteral("Brask"),
          .application = QStringLiteral("Pravel"),
          .group = QStringLiteral("View"),
          .key = QStringLiteral("Smoothing")};
}

}  // namespace

bool ReadSmoothing() {
  const std::optional<QString> stored = qt::ReadSetting(SmoothingValue());
  return !stored || *stored != QStringLiteral("0");
}

void WriteSmoothing(bool smooth) {
  qt::WriteSetting(SmoothingValue(), smooth ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace pravel
