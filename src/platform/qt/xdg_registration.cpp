#include "platform/qt/xdg_registration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <algorithm>

#include "platform/errors.h"

namespace pravel::qt {

namespace {

QString DefaultApplications() { return QStringLiteral("[Default Applications]"); }

// The base-directory variable of `kind`, upper-cased after the XDG_ prefix.
QString XdgVariable(const char* kind) {
  return qEnvironmentVariable((QByteArray("XDG_") + QByteArray(kind).toUpper()).constData());
}

QString AbsoluteXdgPath(const char* kind) {
  const QString value = XdgVariable(kind);
  return QDir::isAbsolutePath(value) ? value : QString();
}

void MakeFolder(const QString& folder) {
  if (!QDir().mkpath(folder)) {
    throw EFileCreateError(folder.toStdString(), "The folder could not be created.");
  }
}

void WriteTextFile(const QString& path, const QString& text) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    throw EFileCreateError(path.toStdString(), file.errorString().toStdString());
  }
  const QByteArray bytes = text.toUtf8();
  if (file.write(bytes) != bytes.size() || !file.commit()) {
    throw EFileCreateError(path.toStdString(), file.errorString().toStdString());
  }
}

// The lines of a text file; none when it cannot be read.
QStringList ReadLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

// The lines of a file about to be rewritten: none when it does not exist
// yet, an error when it exists but cannot be read (it would be lost).
QStringList ReadLinesToUpdate(const QString& path) {
  QFile file(path);
  if (!file.exists()) return {};
  if (!file.open(QIODevice::ReadOnly)) {
    throw EFileOpenError(path.toStdString(), file.errorString().toStdString());
  }
  return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

bool IsGroupHeader(const QString& line) { return line.trimmed().startsWith(QLatin1Char('[')); }

// The key of a "key=value" line, or an empty string for other lines.
QString KeyOf(const QString& line) {
  const qsizetype equals = line.indexOf(QLatin1Char('='));
  if (equals < 0 || line.trimmed().startsWith(QLatin1Char('#'))) return {};
  return line.left(equals).trimmed();
}

QString ValueOf(const QString& line) { return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed(); }

// The value of one key inside one group of a desktop-style key file.
QString GroupValue(const QStringList& lines, const QString& group, const QString& key) {
  bool in_group = false;
  for (const QString& line : lines) {
    if (IsGroupHeader(line)) {
      in_group = line.trimmed() == group;
    } else if (in_group && KeyOf(line) == key) {
      return ValueOf(line);
    }
  }
  return {};
}

// Undoes the key-file escapes \s \n \t \r \\ of a value.
QString UnescapeValue(const QString& value) {
  QString out;
  out.reserve(value.size());
  for (qsizetype i = 0; i < value.size(); ++i) {
    const QChar c = value[i];
    if (c != QLatin1Char('\\') || i + 1 == value.size()) {
      out += c;
      continue;
    }
    switch (value[++i].unicode()) {
      case 's': out += QLatin1Char(' '); break;
      case 'n': out += QLatin1Char('\n'); break;
      case 't': out += QLatin1Char('\t'); break;
      case 'r': out += QLatin1Char('\r'); break;
      case '\\': out += QLatin1Char('\\'); break;
      default:
        out += c;
        out += value[i];
        break;
    }
  }
  return out;
}

QString EscapeValue(const QString& value) {
  QString out;
  out.reserve(value.size());
  for (const QChar c : value) {
    switch (c.unicode()) {
      case '\\': out += QLatin1String("\\\\"); break;
      case '\n': out += QLatin1String("\\n"); break;
      case '\t': out += QLatin1String("\\t"); break;
      case '\r': out += QLatin1String("\\r"); break;
      default: out += c; break;
    }
  }
  return out;
}

bool PackageDeclaresGlob(const QString& path, const QString& mime_type, const QString& glob) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  QXmlStreamReader xml(&file);
  QString current_type;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == QLatin1String("mime-type")) {
      current_type = xml.attributes().value(QLatin1String("type")).toString();
    } else if (xml.isStartElement() && xml.name() == QLatin1String("glob")) {
      if (current_type == mime_type && xml.attributes().value(QLatin1String("pattern")) == glob) {
        return true;
      }
    } else if (xml.isEndElement() && xml.name() == QLatin1String("mime-type")) {
      current_type.clear();
    }
  }
  return false;
}

QString FindDesktopEntry(const XdgDirs& dirs, const QString& desktop_id) {
  QStringList roots{dirs.data_home};
  roots += dirs.data_dirs;
  for (const QString& root : roots) {
    if (root.isEmpty()) continue;
    QString path = root + QStringLiteral("/applications/") + desktop_id;
    if (QFileInfo(path).isFile()) return path;
  }
  return {};
}

// The first entry named for the type in the user's defaults that is
// installed somewhere; empty when none is.
QString DefaultEntryPath(const XdgDirs& dirs, const QString& mime_type) {
  const QString defaults =
      GroupValue(ReadLines(dirs.config_home + QStringLiteral("/mimeapps.list")), DefaultApplications(), mime_type);
  for (const QString& id : defaults.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    QString entry = FindDesktopEntry(dirs, id.trimmed());
    if (!entry.isEmpty()) return entry;
  }
  return {};
}

QString ExecOf(const QString& entry) {
  return UnescapeValue(GroupValue(ReadLines(entry), QStringLiteral("[Desktop Entry]"), QStringLiteral("Exec")));
}

// The program of an Exec command line: its first argument, quotes undone.
QString ExecProgram(const QString& exec) {
  const QString line = exec.trimmed();
  if (!line.startsWith(QLatin1Char('"'))) return line.section(QLatin1Char(' '), 0, 0);
  QString program;
  for (qsizetype i = 1; i < line.size(); ++i) {
    if (line[i] == QLatin1Char('"')) return program;
    if (line[i] == QLatin1Char('\\') && i + 1 < line.size()) ++i;
    program += line[i];
  }
  return {};  // no closing quote
}

// Whether the program an Exec line names is the file at `exe`.
bool StartsExecutable(const QString& exec, const QString& exe) {
  QString program = ExecProgram(exec).replace(QLatin1String("%%"), QLatin1String("%"));
  if (program.isEmpty()) return false;
  if (!program.contains(QLatin1Char('/'))) program = QStandardPaths::findExecutable(program);
  if (program.isEmpty() || !QDir::isAbsolutePath(program)) return false;
  const QString target = QFileInfo(program).canonicalFilePath();
  return !target.isEmpty() && target == QFileInfo(exe).canonicalFilePath();
}

bool IsUnder(const QString& path, const QString& folder) {
  return !folder.isEmpty() && path.startsWith(folder + QLatin1Char('/'));
}

QString MimePackage(const FileTypeRegistration& type) {
  return QStringLiteral(
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
             "  <mime-type type=\"%1\">\n"
             "    <comment>%2</comment>\n"
             "    <glob pattern=\"%3\"/>\n"
             "  </mime-type>\n"
             "</mime-info>\n")
      .arg(type.mime_type.toHtmlEscaped(), type.comment.toHtmlEscaped(), type.glob.toHtmlEscaped());
}

QString DesktopEntry(const FileTypeRegistration& type) {
  return QStringLiteral(
             "[Desktop Entry]\n"
             "Type=Application\n"
             "Name=%1\n"
             "Comment=%2\n"
             "Exec=%3\n"
             "MimeType=%4;\n"
             "Terminal=false\n"
             "Categories=Office;Viewer;\n")
      .arg(EscapeValue(type.name), EscapeValue(type.comment), EscapeValue(type.exec), EscapeValue(type.mime_type));
}

// mimeapps.list with the type's default set to the entry, other lines kept.
QStringList WithDefaultApplication(QStringList lines, const QString& mime_type, const QString& desktop_id) {
  const QString entry = mime_type + QLatin1Char('=') + desktop_id + QLatin1Char(';');
  if (lines.size() == 1 && lines.front().isEmpty()) lines.clear();
  qsizetype insert_at = -1;
  bool in_group = false;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (IsGroupHeader(lines[i])) {
      in_group = lines[i].trimmed() == DefaultApplications();
      if (in_group) insert_at = i + 1;
    } else if (in_group && KeyOf(lines[i]) == mime_type) {
      lines[i] = entry;
      return lines;
    } else if (in_group && !lines[i].trimmed().isEmpty()) {
      insert_at = i + 1;
    }
  }
  if (insert_at >= 0) {
    lines.insert(insert_at, entry);
    return lines;
  }
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  if (!lines.isEmpty()) lines += QString();
  lines += DefaultApplications();
  lines += entry;
  lines += QString();
  return lines;
}

void RunIfInstalled(const QString& program, const QString& argument) {
  const QString path = QStandardPaths::findExecutable(program);
  if (path.isEmpty()) return;
  QProcess process;
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardInputFile(QProcess::nullDevice());
  process.start(path, {argument});
  if (!process.waitForFinished(30000)) {
    process.kill();
    process.waitForFinished(1000);
  }
}

}  // namespace

XdgDirs CurrentXdgDirs() {
  XdgDirs dirs;
  dirs.data_home = AbsoluteXdgPath("data_home");
  if (dirs.data_home.isEmpty()) dirs.data_home = QDir::homePath() + QStringLiteral("/.local/share");
  dirs.config_home = AbsoluteXdgPath("config_home");
  if (dirs.config_home.isEmpty()) dirs.config_home = QDir::homePath() + QStringLiteral("/.config");
  QString data_dirs = XdgVariable("data_dirs");
  if (data_dirs.isEmpty()) data_dirs = QStringLiteral("/usr/local/share:/usr/share");
  for (const QString& dir : data_dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
    if (QDir::isAbsolutePath(dir)) dirs.data_dirs += dir;
  }
  return dirs;
}

QString ExecArgument(const QString& argument) {
  static const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
  QString arg = argument;
  arg.replace(QLatin1Char('%'), QLatin1String("%%"));
  const bool needs_quotes =
      arg.isEmpty() || std::any_of(arg.begin(), arg.end(), [](QChar c) { return kReserved.contains(c); });
  if (!needs_quotes) return arg;
  QString quoted = QStringLiteral("\"");
  for (const QChar c : arg) {
    if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\')) {
      quoted += QLatin1Char('\\');
    }
    quoted += c;
  }
  return quoted + QLatin1Char('"');
}

QString ReadDefaultCommand(const XdgDirs& dirs, const FileTypeRegistration& type) {
  const QString package = dirs.data_home + QStringLiteral("/mime/packages/") + type.package;
  if (!PackageDeclaresGlob(package, type.mime_type, type.glob)) return {};
  const QString entry = DefaultEntryPath(dirs, type.mime_type);
  return entry.isEmpty() ? QString() : ExecOf(entry);
}

bool SystemRegistrationStarts(const XdgDirs& dirs, const FileTypeRegistration& type, const QString& exe) {
  const bool declared = std::any_of(dirs.data_dirs.begin(), dirs.data_dirs.end(), [&](const QString& root) {
    return PackageDeclaresGlob(root + QStringLiteral("/mime/packages/") + type.package, type.mime_type, type.glob);
  });
  if (!declared) return false;
  const QString entry = FindDesktopEntry(dirs, type.desktop_id);
  if (entry.isEmpty() || IsUnder(entry, dirs.data_home) || !StartsExecutable(ExecOf(entry), exe)) {
    return false;
  }
  const QString chosen = DefaultEntryPath(dirs, type.mime_type);
  return chosen.isEmpty() || chosen == entry;
}

void WriteFileTypeRegistration(const XdgDirs& dirs, const FileTypeRegistration& type) {
  const QString packages = dirs.data_home + QStringLiteral("/mime/packages");
  MakeFolder(packages);
  WriteTextFile(packages + QLatin1Char('/') + type.package, MimePackage(type));

  const QString applications = dirs.data_home + QStringLiteral("/applications");
  MakeFolder(applications);
  WriteTextFile(applications + QLatin1Char('/') + type.desktop_id, DesktopEntry(type));

  MakeFolder(dirs.config_home);
  const QString mimeapps = dirs.config_home + QStringLiteral("/mimeapps.list");
  WriteTextFile(
      mimeapps,
      WithDefaultApplication(ReadLinesToUpdate(mimeapps), type.mime_type, type.desktop_id).join(QLatin1Char('\n')));

  RunIfInstalled(QStringLiteral("update-mime-database"), dirs.data_home + QStringLiteral("/mime"));
  RunIfInstalled(QStringLiteral("update-desktop-database"), applications);
}

}  // namespace pravel::qt
