#pragma once
// The system lines of the About box, from the running system's version and
// memory size.

#include <QString>
#include <cstdint>

namespace pravel {

struct SystemVersion {
  QString name;
  int major = 0;
  int minor = 0;
  int build = 0;
};

// The system name and the release's first three numbers: "Linux" and
// "6.1.0-18-amd64" give Linux 6, 1, 0. Missing or malformed numbers are 0.
SystemVersion ParseSystemVersion(const QString& sysname, const QString& release);

// "%s %d.%d (Build %d)", the build number cut to its low 16 bits.
QString OperatingSystemLine(const SystemVersion& version);

// The size in kilobytes, rounded to whole ones, grouped in threes with the
// separator and padded on the left to 8 characters.
QString FormatKilobytes(std::uint64_t bytes, const QString& separator);

// "Pamięć dostępna dla systemu: " + FormatKilobytes + " KB".
QString MemoryLine(std::uint64_t total_bytes, const QString& separator);

// The running system's name and release (uname).
SystemVersion CurrentSystemVersion();

// The total physical memory in bytes (sysinfo); 0 when unknown.
std::uint64_t TotalPhysicalMemory();

}  // namespace pravel
