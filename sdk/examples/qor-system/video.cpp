// video.cpp: (being written)
