#pragma once
// The output of an export filter: a file it creates, or a block of memory
// that the caller reads once the export has finished.

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace pravel {

class OutputStream {
 public:
  // A memory stream, empty.
  OutputStream() = default;

  // Creates the file (emptying an existing one) as the stream's target.
  // Returns 0, or the system's error number when the file cannot be created.
  int CreateFile(const std::string& path);

  bool IsFile() const noexcept { return file_ != nullptr; }

  // Appends bytes. Returns 0, or the system's error number of a failed write.
  int Write(std::string_view bytes);

  // Flushes and closes a file; a memory stream stays as it is.
  // Returns 0, or the system's error number of a failed flush or close.
  int Close();

  // What was written to a memory stream.
  const std::string& Data() const noexcept { return data_; }

 private:
  struct FileCloser {
    void operator()(std::FILE* f) const noexcept { (void)std::fclose(f); }
  };
  std::unique_ptr<std::FILE, FileCloser> file_;
  std::string data_;
};

}  // namespace pravel
