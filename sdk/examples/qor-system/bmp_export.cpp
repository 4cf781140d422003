// bmp_export.cpp: (being written)
