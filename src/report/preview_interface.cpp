#include "report/preview_interface.h"

#include <utility>

namespace pravel {

namespace {

PreviewInterfaceClass& InterfaceClass() {
  static PreviewInterfaceClass factory;
  return factory;
}

}  // namespace

const PreviewInterfaceClass& GetPreviewInterfaceClass() { return InterfaceClass(); }

void SetPreviewInterfaceClass(PreviewInterfaceClass factory) { InterfaceClass() = std::move(factory); }

}  // namespace pravel
