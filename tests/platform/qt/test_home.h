#pragma once
// A throw-away home folder for one test: HOME, the XDG folders and the
// settings path all point into it, so nothing reaches the real home.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

#include "platform/qt/qstring_printer.h"
#include "platform/qt/xdg_registration.h"

namespace pravel::qt {

class TestHome {
 public:
  TestHome() {
    EXPECT_TRUE(dir_.isValid());
    qputenv("HOME", QFile::encodeName(Path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(DataHome()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(ConfigHome()));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(Path() + QStringLiteral("/system")));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, ConfigHome());
  }

  QString Path() const { return dir_.path(); }
  QString DataHome() const { return Path() + QStringLiteral("/.local/share"); }
  QString ConfigHome() const { return Path() + QStringLiteral("/.config"); }

  // The XDG folders of this home, without any system folder.
  XdgDirs Dirs() const { return {.data_home = DataHome(), .config_home = ConfigHome(), .data_dirs = {}}; }

 private:
  QTemporaryDir dir_;
};

}  // namespace pravel::qt
