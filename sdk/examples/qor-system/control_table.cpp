// control_table.cpp: (being written)
