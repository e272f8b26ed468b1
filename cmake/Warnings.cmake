# Warnings are errors for everything the project compiles.
add_library(pravel_warnings INTERFACE)
target_compile_options(pravel_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Werror
  -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-align
  -Wimplicit-fallthrough -Wformat=2)
