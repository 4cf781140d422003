# Control table: scroll arithmetic, table limits on a scripted library, and the real stand-in.
qor_unit_test(control_table_scroll SOURCES control_table_scroll_test.cpp LIBS qor_system_core)
qor_unit_test(control_table_limits SOURCES control_table_limits_test.cpp LIBS qor_system_core)
qor_unit_test(control_table_sim SOURCES control_table_sim_test.cpp LIBS qor_system_core)
qor_unit_test(control_table_draw SOURCES control_table_draw_test.cpp LIBS qor_system_core)
qor_unit_test(control_table_faults SOURCES control_table_faults_test.cpp LIBS qor_system_core)
