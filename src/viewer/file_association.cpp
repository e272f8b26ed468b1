#include "viewer/file_association.h"

#include <QCoreApplication>

namespace pravel {

qt::FileTypeRegistration QrpRegistration(const QString& exe) {
  return {
      .mime_type = QStringLiteral("application/x-qrp"),
      .glob = QStringLiteral("*.qrp"),
      .comment = QStringLiteral("saved report"),
      .package = QStringLiteral("pravel.xml"),
      .desktop_id = QStringLiteral("pravel.desktop"),
      .name = QStringLiteral("Pravel"),
      .exec = OwnOpenCommand(exe),
  };
}

QString OwnOpenCommand(const QString& exe) { return qt::ExecArgument(exe) + QStringLiteral(" %f"); }

QString ReadAssociation(const qt::XdgDirs& dirs) { return qt::ReadDefaultCommand(dirs, QrpRegistration(QString())); }

bool CheckAssociation(const qt::XdgDirs& dirs, const QString& exe) {
  // Case-sensitive and whole: a moved program, another spelling of the same
  // path or another program's command all count as different.
  if (ReadAssociation(dirs) == OwnOpenCommand(exe)) return false;
  // An installed package registers the type for everyone; leave it be.
  if (qt::SystemRegistrationStarts(dirs, QrpRegistration(exe), exe)) return false;
  qt::WriteFileTypeRegistration(dirs, QrpRegistration(exe));
  return true;
}

bool CheckAssociation() { return CheckAssociation(qt::CurrentXdgDirs(), QCoreApplication::applicationFilePath()); }

}  // namespace pravel
