#pragma once
// The commands of qrptool. Each takes the arguments after its name and
// returns the exit status.

#include <span>
#include <string>

namespace pravel::cli {

using Args = std::span<const std::string>;

inline constexpr int kExitOk = 0;
inline constexpr int kExitBadFile = 1;
inline constexpr int kExitUsage = 2;

int RunInfo(Args args);
int RunExtract(Args args);
int RunPack(Args args);
int RunRender(Args args);
int RunThumbnail(Args args);
int RunExport(Args args);
int RunText(Args args);
int RunPrint(Args args);
int RunPrinters(Args args);

}  // namespace pravel::cli
