// display_buffer.cpp: (being written)
