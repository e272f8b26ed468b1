#pragma once
// Printing through the CUPS-PDF queue of the tests: running commands, finding
// the PDF a job made, and reading its pages back with poppler-utils.

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace pravel::test {

namespace fs = std::filesystem;

struct ShellRun {
  int status = -1;
  std::string output;  // standard output and error
};

inline ShellRun Shell(const std::string& command) {
  ShellRun run;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

inline std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// Where CUPS-PDF puts this user's files.
inline std::vector<fs::path> PdfFolders() {
  const passwd* user = ::getpwuid(::getuid());
  std::string out = "${HOME}/PDF", anonymous = "/var/spool/cups-pdf/ANONYMOUS";
  std::ifstream conf("/etc/cups/cups-pdf.conf");
  for (std::string key, value; conf >> key && std::getline(conf >> std::ws, value);) {
    if (key == "Out") out = value;
    if (key == "AnonDirName") anonymous = value;
  }
  if (user != nullptr) out = std::regex_replace(out, std::regex(R"(\$\{HOME\})"), user->pw_dir);
  return {out, anonymous};
}

// The PDF with `tag` in its name, once CUPS-PDF has written all of it.
inline std::optional<fs::path> WaitForPdf(const std::string& tag) {
  std::uintmax_t last_size = 0;
  for (int attempt = 0; attempt < 300; ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (const fs::path& folder : PdfFolders()) {
      std::error_code error;
      for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().filename().string().find(tag) == std::string::npos) continue;
        const std::uintmax_t size = fs::file_size(entry.path(), error);
        if (!error && size > 0 && size == last_size && Shell("pdfinfo " + Quoted(entry.path())).status == 0)
          return entry.path();
        last_size = size;
      }
    }
  }
  return std::nullopt;
}

struct Printout {
  int pages = 0;
  double width = 0, height = 0;  // points
  std::vector<int> dark_pixels;  // of each page at 20 dpi
};

inline Printout ReadPdf(const fs::path& pdf, const fs::path& work) {
  Printout out;
  const std::string info = Shell("pdfinfo " + Quoted(pdf)).output;
  std::smatch m;
  if (std::regex_search(info, m, std::regex(R"(Pages:\s+(\d+))"))) out.pages = std::stoi(m[1]);
  if (std::regex_search(info, m, std::regex(R"(Page size:\s+([\d.]+) x ([\d.]+))"))) {
    out.width = std::stod(m[1]);
    out.height = std::stod(m[2]);
  }
  Shell("pdftoppm -r 20 -gray " + Quoted(pdf) + " " + Quoted(work / "page"));
  for (int n = 1; n <= out.pages; ++n) {
    std::ifstream pgm(work / ("page-" + std::to_string(n) + ".pgm"), std::ios::binary);
    std::string magic;
    int w = 0, h = 0, max = 0, dark = 0;
    pgm >> magic >> w >> h >> max;
    pgm.get();
    for (int i = 0; i < w * h; ++i) dark += pgm.get() < 128 ? 1 : 0;
    out.dark_pixels.push_back(dark);
  }
  return out;
}

inline constexpr const char* kCupsQueue = "PravelPDF";

// Why the queue cannot be had, or "" when it is there; sets it up when
// it is missing.
inline std::string CupsQueueUnavailable() {
  const std::string has_queue = std::string("lpstat -v ") + kCupsQueue;
  if (Shell(has_queue).status == 0) return {};
  const ShellRun setup = Shell("CI=false bash " + Quoted(PRAVEL_SOURCE_DIR "/scripts/test.d/05-cups.sh"));
  return Shell(has_queue).status == 0 ? std::string() : setup.output + " ";
}

}  // namespace pravel::test
