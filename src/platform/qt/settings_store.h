#pragma once
// The user's stored settings of one program, kept by QSettings in the
// user's configuration folder.

#include <QString>
#include <optional>

namespace pravel::qt {

// Where one value lives: the program's settings, then a group and a key.
struct SettingsValue {
  QString organisation;
  QString application;
  QString group;
  QString key;
};

// The stored text, or nothing when the value is missing.
std::optional<QString> ReadSetting(const SettingsValue& where);

// Stores the text and writes it through to the settings file; throws
// EFileCreateError when the file cannot be written.
void WriteSetting(const SettingsValue& where, const QString& value);

}  // namespace pravel::qt
