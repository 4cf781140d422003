# The viewer's overlay: histogram, attribute texts, frame display, frame rate, status lines.
qor_unit_test(overlay_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/overlay_histogram_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/overlay_text_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/overlay_draw_test.cpp
  LIBS qor_system_core)
# The screen after whole passes against the same drawing done straight on a bitmap; its own
# program, as it stands in for the library calls the overlay makes.
qor_unit_test(overlay_screen_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/overlay_screen_test.cpp
  LIBS qor_system_core)
