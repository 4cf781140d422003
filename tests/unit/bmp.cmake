# BMP export and image upload: file bytes, round trips, the header check, grey conversion,
# and the upload's library calls on the stand-in.
qor_unit_test(bmp_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bmp_write_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/bmp_check_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/upload_grey_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/upload_library_test.cpp
  LIBS qor_system_core)
# The upload's read-check-load with a name that changes at every open (it replaces open and
# fopen, so it runs alone).
qor_unit_test(upload_read_once_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/upload_read_once_test.cpp
  LIBS qor_system_core dl)
