// file_bytes.h: a file the operator named, read whole into memory through one descriptor.
#ifndef QOR_SYSTEM_FILE_BYTES_H
#define QOR_SYSTEM_FILE_BYTES_H

#include <cstddef>
#include <cstdint>

struct FileBytes {
  uint8_t *data;  // malloc'ed; null when nothing was read
  size_t size;
};

// Reads the regular file at path, at most limit bytes. Null on success, otherwise why not
// (file then holds nothing). A pipe, device or folder is refused without waiting on it.
const char *File_Bytes_Read(const char *path, size_t limit, FileBytes *file);
void File_Bytes_Free(FileBytes *file);

#endif
