if(PRAVEL_SANITIZE)
  # gcc leaves float-to-int conversions out of "undefined"; clang has them in.
  add_compile_options(-fsanitize=address,undefined,float-cast-overflow
                      -fno-sanitize-recover=undefined,float-cast-overflow -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()
if(PRAVEL_FUZZ)
  # Coverage for every library, so that the fuzzers see inside the parsers;
  # undefined behaviour stops the input, so that the fuzzer reports it.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
