#include "platform/qt/settings_store.h"

#include <QSettings>

#include "platform/errors.h"

namespace pravel::qt {

namespace {

QString GroupKey(const SettingsValue& where) { return where.group + QLatin1Char('/') + where.key; }

}  // namespace

std::optional<QString> ReadSetting(const SettingsValue& where) {
  const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, where.organisation, where.application);
  const QVariant value = settings.value(GroupKey(where));
  if (!value.isValid()) return std::nullopt;
  return value.toString();
}

void WriteSetting(const SettingsValue& where, const QString& value) {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, where.organisation, where.application);
  settings.setValue(GroupKey(where), value);
  settings.sync();
  if (settings.status() != QSettings::NoError) {
    throw EFileCreateError(settings.fileName().toStdString(), "The settings could not be written.");
  }
}

}  // namespace pravel::qt
