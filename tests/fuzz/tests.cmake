# The fuzz targets as tests of the main test build: each replays its corpus, then fuzzes a
# few seconds. QOR_FUZZ_BIN names the clang build's bin folder (scripts/test builds it).
set(QOR_FUZZ_BIN "" CACHE PATH "bin folder of the fuzz build; empty: no fuzz tests")
set(QOR_FUZZ_SECONDS 5 CACHE STRING "seconds each fuzz target runs in the tests")
if(QOR_FUZZ_BIN)
  foreach(t devinfo_options system_startup bmp_check bmp_load)
    add_test(NAME fuzz.${t}
             COMMAND ${CMAKE_SOURCE_DIR}/tests/fuzz/run_target ${QOR_FUZZ_BIN}/fuzz_${t}
                     ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${t} ${QOR_FUZZ_SECONDS}
                     ${CMAKE_BINARY_DIR}/test-out/fuzz/${t})
    set_tests_properties(fuzz.${t} PROPERTIES TIMEOUT 300 LABELS fuzz)
  endforeach()
endif()
