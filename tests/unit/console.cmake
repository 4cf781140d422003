# Unit tests of what the four programs share around their work.
qor_unit_test(stop_signals SOURCES stop_signals_test.cpp LIBS qor_console)
