#pragma once
// Several input files in one command: outputs named after the inputs in a
// folder, files whose output is newer skipped, bad files listed at the end.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pravel::cli {

struct BatchFile {
  std::string input, output;
};

// The output of each input: `output` itself for one input and a file
// output; DIR/NAME.EXTENSION for an output naming a folder (ending in '/'
// or an existing folder), NAME being the input's name without its
// extension. Several inputs need a folder output: nothing otherwise.
std::optional<std::vector<BatchFile>> PlanBatch(const std::vector<std::string>& inputs, const std::string& output,
                                                const std::string& extension);

// True when `output` names a folder.
bool IsFolderOutput(const std::string& output);

// True when `output` (or, for files written per page, its first page's
// file "NAME-0001.EXT") was changed later than `input`.
bool OutputIsNewer(const std::string& input, const std::string& output);

// Runs `convert` on every file, skipping those whose output is newer unless
// `force`, and goes on past failures (the first file written for a failed
// one is removed, so that a second run tries it again). Ends with a summary on standard error
// ("qrptool render: 3 converted, 1 up to date, 1 failed: bad.qrp"). Returns
// kExitBadFile when a file failed, else kExitOk.
int RunBatch(const std::string& command, const std::vector<BatchFile>& files, bool force,
             const std::function<int(const BatchFile&)>& convert);

// One input with a file output: `convert` for it alone. Otherwise the batch
// of PlanBatch, written into the output folder (made when missing) by
// RunBatch. The commands refuse several inputs without a folder first.
int ConvertFiles(const std::string& command, const std::vector<std::string>& inputs, const std::string& output,
                 const std::string& extension, bool force, const std::function<int(const BatchFile&)>& convert);

// ConvertFiles with a command's options: `convert` gets them with `input`
// and `output` set for each file.
template <class Options, class Convert>
int ConvertEachFile(const std::string& command, const Options& options, std::string_view extension,
                    const Convert& convert) {
  return ConvertFiles(command, options.inputs, options.output, std::string(extension), options.force,
                      [&options, &convert](const BatchFile& file) {
                        Options one = options;
                        one.input = file.input;
                        one.output = file.output;
                        return convert(one);
                      });
}

}  // namespace pravel::cli
