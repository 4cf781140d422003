// overlay.cpp: (being written)
