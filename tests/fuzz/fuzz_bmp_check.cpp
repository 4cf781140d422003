// fuzz_bmp_check.cpp: the upload's BMP check on arbitrary file contents.
#include "bmp_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  Bmp_Check(data, size);
  Bmp_Check_Header(data, size < BMP_CHECK_HEAD_SIZE ? size : BMP_CHECK_HEAD_SIZE, size);
  return 0;
}
