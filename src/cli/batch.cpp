#include "cli/batch.h"

#include <filesystem>
#include <iostream>

#include "cli/commands.h"

namespace pravel::cli {

namespace fs = std::filesystem;

bool IsFolderOutput(const std::string& output) {
  std::error_code error;
  return !output.empty() && (output.back() == '/' || fs::is_directory(output, error));
}

std::optional<std::vector<BatchFile>> PlanBatch(const std::vector<std::string>& inputs, const std::string& output,
                                                const std::string& extension) {
  std::vector<BatchFile> files;
  if (!IsFolderOutput(output)) {
    if (inputs.size() != 1) return std::nullopt;
    files.push_back({inputs[0], output});
    return files;
  }
  for (const std::string& input : inputs)
    files.push_back({input, (fs::path(output) / fs::path(input).stem()).string() + "." + extension});
  return files;
}

namespace {

// The file written first for `output`: itself, or that of the first of several pages.
fs::path FirstWritten(const std::string& output) {
  std::error_code error;
  if (fs::exists(output, error)) return output;
  const fs::path path(output);
  return path.parent_path() / (path.stem().string() + "-0001" + path.extension().string());
}

}  // namespace

bool OutputIsNewer(const std::string& input, const std::string& output) {
  std::error_code error;
  const auto input_time = fs::last_write_time(input, error);
  if (error) return false;
  const auto output_time = fs::last_write_time(FirstWritten(output), error);
  return !error && output_time > input_time;
}

int RunBatch(const std::string& command, const std::vector<BatchFile>& files, bool force,
             const std::function<int(const BatchFile&)>& convert) {
  int converted = 0, up_to_date = 0;
  std::vector<std::string> failed;
  for (const BatchFile& file : files) {
    if (!force && OutputIsNewer(file.input, file.output)) {
      ++up_to_date;
      continue;
    }
    if (convert(file) == kExitOk) {
      ++converted;
    } else {
      // What a bad file left behind must not pass for up to date next time.
      std::error_code error;
      fs::remove(FirstWritten(file.output), error);
      failed.push_back(file.input);
    }
  }
  std::cerr << "qrptool " << command << ": " << converted << " converted, " << up_to_date << " up to date, "
            << failed.size() << " failed";
  for (std::size_t k = 0; k < failed.size(); ++k) std::cerr << (k == 0 ? ": " : ", ") << failed[k];
  std::cerr << '\n';
  return failed.empty() ? kExitOk : kExitBadFile;
}

int ConvertFiles(const std::string& command, const std::vector<std::string>& inputs, const std::string& output,
                 const std::string& extension, bool force, const std::function<int(const BatchFile&)>& convert) {
  if (inputs.size() == 1 && !IsFolderOutput(output)) return convert({inputs[0], output});
  const auto files = PlanBatch(inputs, output, extension);
  if (!files) return kExitUsage;
  std::error_code error;
  fs::create_directories(output, error);
  return RunBatch(command, *files, force, convert);
}

}  // namespace pravel::cli
