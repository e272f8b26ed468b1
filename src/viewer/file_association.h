#pragma once
// The .qrp file type and this program as the application that opens it.

#include <QString>

#include "platform/qt/xdg_registration.h"

namespace pravel {

// The registration this program writes for the executable at `exe`.
qt::FileTypeRegistration QrpRegistration(const QString& exe);

// The command this program stores for opening .qrp files with `exe`.
QString OwnOpenCommand(const QString& exe);

// The open command stored for .qrp files, or an empty string.
QString ReadAssociation(const qt::XdgDirs& dirs);

// Rewrites the .qrp registration unless the stored command is exactly the
// one written for `exe` or the system's installed registration starts
// `exe`; returns whether it wrote. A registration that
// cannot be written raises EFileCreateError (or EFileOpenError).
bool CheckAssociation(const qt::XdgDirs& dirs, const QString& exe);

// The same for the running executable and the user's folders.
bool CheckAssociation();

}  // namespace pravel
