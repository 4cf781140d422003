# The viewer's acquisition cycle and keys, on the stand-in library.
qor_unit_test(acquisition_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/acquisition_cycle_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/keyboard_map_test.cpp
  LIBS qor_system_core)
# A frame too large for the transfer buffer, with the library's element count stood in front of.
qor_unit_test(acquisition_buffer_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/acquisition_buffer_test.cpp
  LIBS qor_system_core)
