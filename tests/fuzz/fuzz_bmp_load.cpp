// fuzz_bmp_load.cpp: a file named by the operator, read, checked, loaded and made grey.
// Input: one byte n, n bytes of the name's extension, then the file's contents; the name
// must make no difference to what is loaded.
#include <allegro.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bmp_check.h"
#include "image_upload.h"

namespace {

std::string folder;

// Each input's file is removed after its run, so the folder is empty by then.
void Remove_Folder() { rmdir(folder.c_str()); }

uint32_t U32(const uint8_t *p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) std::abort();
  const char *temp = getenv("TMPDIR");
  std::string pattern = std::string(temp && *temp ? temp : "/tmp") + "/qor_fuzz_load_XXXXXX";
  if (!mkdtemp(&pattern[0])) std::abort();
  folder = pattern;
  std::atexit(Remove_Folder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1) return 0;
  const size_t length = data[0] % 8;
  if (size < 1 + length) return 0;
  std::string extension;
  for (size_t i = 0; i < length; i++) {
    const char c = static_cast<char>(data[1 + i]);
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    extension += plain ? c : '_';
  }
  const uint8_t *bytes = data + 1 + length;
  const size_t fileSize = size - 1 - length;

  const std::string path = folder + "/x" + (length ? "." + extension : "");
  FILE *file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (fileSize && std::fwrite(bytes, 1, fileSize, file) != fileSize) std::abort();
  std::fclose(file);

  PALETTE palette;
  const char *refusal = nullptr;
  BITMAP *image = Image_Load(path.c_str(), palette, &refusal);
  std::remove(path.c_str());
  // Loaded only what the check passed, at the size its header gives.
  if (image && (refusal || Bmp_Check(bytes, fileSize))) std::abort();
  if (image) {
    const bool os2 = U32(bytes + 14) == 12;
    const uint32_t w = os2 ? (bytes[18] | bytes[19] << 8) : U32(bytes + 18);
    const uint32_t h = os2 ? (bytes[20] | bytes[21] << 8) : U32(bytes + 22);
    if (static_cast<uint32_t>(image->w) != w || static_cast<uint32_t>(image->h) != h) std::abort();
    uint8_t grey[32 * 24];
    Image_To_Grey(image, palette, grey, 32, 24);
    destroy_bitmap(image);
  }
  return 0;
}
