// image_upload.cpp: (being written)
