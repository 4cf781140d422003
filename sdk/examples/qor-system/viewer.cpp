// viewer.cpp: (being written)
