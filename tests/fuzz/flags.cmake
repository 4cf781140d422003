# The fuzz build: everything compiled with coverage for libFuzzer and with the sanitizers,
# so a fault deep in the library or Allegro's callers is reported where it happens.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "QOR_FUZZ needs clang (scripts/fuzz configures clang-14)")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
                    -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
