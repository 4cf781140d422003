# Unit tests of the line viewer's parts: strip drawing, block transfer, cleanup.
set(QOR_LINE_DIR ${CMAKE_SOURCE_DIR}/sdk/examples/qor-line)

qor_unit_test(qor_line_display
  SOURCES qor_line_display_test.cpp ${QOR_LINE_DIR}/line_display.cpp
  LIBS ${ALLEGRO_LIBRARY} m)
target_include_directories(qor_line_display PRIVATE ${QOR_LINE_DIR} ${ALLEGRO_INCLUDE_DIR})

# The fake stands in for the library, so these two do not link qorlib3.
qor_unit_test(qor_line_transfer
  SOURCES qor_line_transfer_test.cpp qor_line_fake_lib.cpp ${QOR_LINE_DIR}/line_transfer.cpp
  LIBS qorlib3_binding ${ALLEGRO_LIBRARY} m)
target_include_directories(qor_line_transfer PRIVATE ${QOR_LINE_DIR} ${ALLEGRO_INCLUDE_DIR})

qor_unit_test(qor_line_cleanup
  SOURCES qor_line_cleanup_test.cpp qor_line_fake_lib.cpp ${QOR_LINE_DIR}/line_cleanup.cpp
  LIBS qorlib3_binding ${ALLEGRO_LIBRARY} m)
target_include_directories(qor_line_cleanup PRIVATE ${QOR_LINE_DIR} ${ALLEGRO_INCLUDE_DIR})
