#pragma once
// File-type registration for the desktop: a shared-mime-info package that
// names the type, a .desktop entry for the program that opens it, and the
// type's default application in mimeapps.list.

#include <QString>
#include <QStringList>

namespace pravel::qt {

// The folders of the XDG base directories that registration uses.
struct XdgDirs {
  QString data_home;      // the data home, default ~/.local/share
  QString config_home;    // the config home, default ~/.config
  QStringList data_dirs;  // the data folders, searched for .desktop entries
};

// The folders as the environment gives them; relative paths are ignored.
XdgDirs CurrentXdgDirs();

// A file type and the application that opens it.
struct FileTypeRegistration {
  QString mime_type;   // "application/x-qrp"
  QString glob;        // "*.qrp"
  QString comment;     // what the type is, for file managers
  QString package;     // file name of the mime package, "pravel.xml"
  QString desktop_id;  // file name of the desktop entry, "pravel.desktop"
  QString name;        // the application's name
  QString exec;        // the command line, its arguments quoted as ExecArgument does
};

// One argument of an Exec command line: '%' doubled, and quoted with
// backslash escapes when it holds a character the format reserves.
QString ExecArgument(const QString& argument);

// The command stored for the type's default application: the Exec line of
// the first desktop entry named for the type in mimeapps.list, after the
// file format's own escapes are undone. Empty when the type's package does
// not declare the glob, or when no default, entry or Exec line is found.
QString ReadDefaultCommand(const XdgDirs& dirs, const FileTypeRegistration& type);

// Whether a registration installed in the system's data folders opens the
// type with the executable at `exe`: a mime package there declares the glob,
// the desktop entry that wins for the type's id lies there and starts `exe`
// (its program named by path or found on PATH), and the user's defaults do
// not name another installed entry first.
bool SystemRegistrationStarts(const XdgDirs& dirs, const FileTypeRegistration& type, const QString& exe);

// Writes the mime package, the desktop entry and the default-application
// line (keeping everything else in mimeapps.list), then refreshes the
// desktop's databases where their tools are installed. Throws
// EFileCreateError when a folder or file cannot be written.
void WriteFileTypeRegistration(const XdgDirs& dirs, const FileTypeRegistration& type);

}  // namespace pravel::qt
