// keyboard.cpp: (being written)
