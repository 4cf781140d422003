# Unit tests of the viewer's start-up: command line, video modes, display buffer.
qor_unit_test(qor_system_command_line_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/qor_system_command_line_test.cpp
  LIBS qor_system_core)
qor_unit_test(qor_system_video_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/qor_system_video_test.cpp
  LIBS qor_system_core)
qor_unit_test(qor_system_display_buffer_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/qor_system_display_buffer_test.cpp
  LIBS qor_system_core)
qor_unit_test(qor_system_display_buffer_faults_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/qor_system_display_buffer_faults_test.cpp
  LIBS qor_system_core)
qor_unit_test(qor_system_dialogue_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/qor_system_dialogue_test.cpp
  LIBS qor_system_core)
