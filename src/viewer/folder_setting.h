#pragma once
// The folder shown in the main window's file list, kept between runs.

#include <QString>

namespace pravel {

// The running executable's folder, with a trailing separator.
QString ExecutableFolder();

// The stored folder; the executable's folder when none is stored.
QString ReadFolder();

// Stores the folder, without a trailing separator.
// Throws EFileCreateError when the settings cannot be written.
void WriteFolder(const QString& folder);

}  // namespace pravel
