# Warnings are errors for everything the project compiles.
add_library(pravel_warnings INTERFACE)
target_compile_options(pravel_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Werror
  -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-align
  -Wimplicit-fallthrough -Wformat=2)
# GCC 12 reports impossible overlaps inside std::string concatenation at -O3
# (a false positive fixed in GCC 13). Only Release builds at -O3.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(pravel_warnings INTERFACE $<$<CONFIG:Release>:-Wno-restrict>)
endif()
