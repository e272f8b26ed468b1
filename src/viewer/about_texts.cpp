#include "viewer/about_texts.h"

#include <sys/sysinfo.h>
#include <sys/utsname.h>

#include <cmath>

namespace pravel {

namespace {

// The length of the run of ASCII digits at the start of the text.
qsizetype DigitRun(QStringView text) {
  qsizetype digits = 0;
  while (digits < text.size() && text[digits] >= QLatin1Char('0') && text[digits] <= QLatin1Char('9')) {
    ++digits;
  }
  return digits;
}

}  // namespace

SystemVersion ParseSystemVersion(const QString& sysname, const QString& release) {
  SystemVersion version{.name = sysname};
  int* const fields[] = {&version.major, &version.minor, &version.build};
  QStringView rest = release;
  for (int* field : fields) {
    const qsizetype digits = DigitRun(rest);
    bool ok = false;
    const int value = rest.left(digits).toInt(&ok);
    *field = ok ? value : 0;
    // The numbers end at the first part that is not a plain number.
    if (digits == 0 || digits == rest.size() || rest[digits] != QLatin1Char('.')) break;
    rest = rest.mid(digits + 1);
  }
  return version;
}

QString OperatingSystemLine(const SystemVersion& version) {
  return QStringLiteral("%1 %2.%3 (Build %4)")
      .arg(version.name)
      .arg(version.major)
      .arg(version.minor)
      .arg(version.build & 0xFFFF);
}

QString FormatKilobytes(std::uint64_t bytes, const QString& separator) {
  const auto kilobytes = static_cast<std::uint64_t>(std::llround(static_cast<double>(bytes) / 1024.0));
  const QString digits = QString::number(kilobytes);
  QString grouped;
  for (qsizetype i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += separator;
    grouped += digits[i];
  }
  return grouped.rightJustified(8, QLatin1Char(' '));
}

QString MemoryLine(std::uint64_t total_bytes, const QString& separator) {
  return QStringLiteral("Pamięć dostępna dla systemu: ") + FormatKilobytes(total_bytes, separator) +
         QStringLiteral(" KB");
}

SystemVersion CurrentSystemVersion() {
  utsname names{};
  if (uname(&names) != 0) return {};
  return ParseSystemVersion(QString::fromLocal8Bit(names.sysname), QString::fromLocal8Bit(names.release));
}

std::uint64_t TotalPhysicalMemory() {
  struct sysinfo info {};
  if (sysinfo(&info) != 0) return 0;
  return static_cast<std::uint64_t>(info.totalram) * info.mem_unit;
}

}  // namespace pravel
