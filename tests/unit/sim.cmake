# Unit tests of the stand-in library.
qor_unit_test(sim_api
  SOURCES sim_lists_test.cpp sim_options_test.cpp sim_frames_test.cpp sim_misuse_test.cpp
          sim_errors_test.cpp sim_objects_test.cpp
  LIBS qorlib3)
# Each case runs in a child process: the switches are read once per process.
qor_unit_test(sim_switches SOURCES sim_switches_test.cpp LIBS qorlib3)
qor_unit_test(sim_ring SOURCES sim_ring_test.cpp LIBS qorlib3)
qor_unit_test(sim_faults_grammar SOURCES sim_faults_grammar_test.cpp LIBS qorsim_static)

# The binding as strict C99, warnings as errors.
add_executable(sim_header_c99 sim_header_c99.c)
set_target_properties(sim_header_c99 PROPERTIES C_STANDARD 99 C_STANDARD_REQUIRED ON
                                                C_EXTENSIONS OFF)
target_compile_options(sim_header_c99 PRIVATE -Werror -Wall -Wextra -pedantic)
target_link_libraries(sim_header_c99 PRIVATE qorlib3)
add_test(NAME unit.sim_header_c99 COMMAND sim_header_c99)
set_tests_properties(unit.sim_header_c99 PROPERTIES TIMEOUT 30
  ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")

# System 9 on GStreamer pipelines, once with every frame kept and once with the default ring,
# with leak checks: GStreamer's own one-time allocations are suppressed by library name.
qor_unit_test(sim_source SOURCES sim_source_test.cpp LIBS qorlib3)
set(sim_source_env
  "ASAN_OPTIONS=detect_leaks=1"
  "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan_gstreamer.supp:print_suppressions=0")
set_tests_properties(unit.sim_source PROPERTIES ENVIRONMENT "${sim_source_env};QORSIM_BUFFERS=0")
add_test(NAME unit.sim_source_ring COMMAND sim_source)
set_tests_properties(unit.sim_source_ring PROPERTIES TIMEOUT 120 ENVIRONMENT "${sim_source_env}")
