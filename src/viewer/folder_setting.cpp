#include "viewer/folder_setting.h"

#include <QCoreApplication>

#include "platform/qt/settings_store.h"

namespace pravel {

namespace {

qt::SettingsValue FolderValue() {
  return {.organisation = QStringLiteral("Brask"),
          .application = QStringLiteral("Pravel"),
          .group = QStringLiteral("Directory"),
          .key = QStringLiteral("Path")};
}

}  // namespace

QString ExecutableFolder() {
  QString folder = QCoreApplication::applicationDirPath();
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder;
}

QString ReadFolder() {
  const std::optional<QString> stored = qt::ReadSetting(FolderValue());
  return stored && !stored->isEmpty() ? *stored : ExecutableFolder();
}

void WriteFolder(const QString& folder) {
  QString value = folder;
  while (value.size() > 1 && value.endsWith(QLatin1Char('/'))) value.chop(1);
  qt::WriteSetting(FolderValue(), value);
}

}  // namespace pravel
