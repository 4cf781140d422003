// bmp_memory.cpp: a read-only PACKFILE over a byte buffer, handed to load_bmp_pf.
#include "bmp_memory.h"

#include <allegro.h>

#include <cstring>

namespace {

struct MemoryFile {
  const uint8_t *bytes;
  size_t size, at;
};

MemoryFile *Of(void *userdata) { return static_cast<MemoryFile *>(userdata); }

int Memory_Close(void *) { return 0; }

int Memory_Getc(void *userdata) {
  MemoryFile *f = Of(userdata);
  return f->at < f->size ? f->bytes[f->at++] : EOF;
}

int Memory_Ungetc(int c, void *userdata) {
  MemoryFile *f = Of(userdata);
  if (f->at == 0 || f->bytes[f->at - 1] != static_cast<uint8_t>(c)) return EOF;
  f->at--;
  return c;
}

long Memory_Read(void *p, long n, void *userdata) {
  MemoryFile *f = Of(userdata);
  const size_t left = f->size - f->at;
  const size_t count = n < 0 ? 0 : (static_cast<size_t>(n) < left ? static_cast<size_t>(n) : left);
  if (count > 0) std::memcpy(p, f->bytes + f->at, count);
  f->at += count;
  return static_cast<long>(count);
}

int Memory_Putc(int, void *) { return EOF; }
long Memory_Write(const void *, long, void *) { return 0; }

// Allegro's seeks only go forward from the current position.
int Memory_Seek(void *userdata, int offset) {
  MemoryFile *f = Of(userdata);
  const size_t left = f->size - f->at;
  if (offset < 0 || static_cast<size_t>(offset) > left) {
    f->at = f->size;
    return -1;
  }
  f->at += static_cast<size_t>(offset);
  return 0;
}

int Memory_Eof(void *userdata) { return Of(userdata)->at >= Of(userdata)->size; }
int Memory_Error(void *) { return 0; }

const PACKFILE_VTABLE MEMORY_VTABLE = {Memory_Close, Memory_Getc,  Memory_Ungetc,
                                       Memory_Read,  Memory_Putc,  Memory_Write,
                                       Memory_Seek,  Memory_Eof,   Memory_Error};

}  // namespace

BITMAP *Bmp_Load_Memory(const uint8_t *bytes, size_t size, RGB *palette) {
  MemoryFile file = {bytes, size, 0};
  PACKFILE *packfile = pack_fopen_vtable(&MEMORY_VTABLE, &file);
  if (!packfile) return nullptr;
  BITMAP *image = load_bmp_pf(packfile, palette);
  pack_fclose(packfile);
  return image;
}
