#pragma once
// Where qrptool finds a companion program of the same installation.

#include <string>
#include <string_view>

namespace pravel::cli {

// The path of the executable `name` for the program at `self`: beside it
// when an executable of that name is there (a build tree), else in the
// folder `libexec_from_bin` relative to self's folder (an installed tree).
// `self` without a folder gives `name` itself.
std::string CompanionPath(std::string_view self, std::string_view name, std::string_view libexec_from_bin);

}  // namespace pravel::cli
