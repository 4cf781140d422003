# The viewer's acquisition cycle and keys, on the stand-in library.
qor_unit_test(acquisition_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/acquisition_cycle_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/keyboard_map_test.cpp
  LIBS qor_system_core)
