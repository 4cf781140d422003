// acquisition.cpp: (being written)
