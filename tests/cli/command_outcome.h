#pragma once
// Runs one qrptool command in-process and keeps its exit status and what it
// wrote to standard output and standard error.

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace pravel::cli {

struct Outcome {
  int status = 0;
  std::string out;
  std::string err;
};

inline Outcome Call(int (*command)(Args), std::vector<std::string> args) {
  std::ostringstream out, err;
  auto* old_out = std::cout.rdbuf(out.rdbuf());
  auto* old_err = std::cerr.rdbuf(err.rdbuf());
  Outcome run;
  run.status = command(args);
  std::cout.rdbuf(old_out);
  std::cerr.rdbuf(old_err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

}  // namespace pravel::cli
