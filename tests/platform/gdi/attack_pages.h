#pragma once
// Small pages that ask for enormous work, one per kind of attack: the
// player must stop them on its work budget or draw them cheaply.

#include <string>
#include <vector>

#include "platform/bytes.h"

namespace pravel::gdi::test {

struct AttackPage {
  std::string name;
  Bytes bytes;
  bool exhausts = true;  // false: cheap once its values are clamped or refused
};

std::vector<AttackPage> AttackPages();

}  // namespace pravel::gdi::test
