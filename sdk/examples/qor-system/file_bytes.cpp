// file_bytes.cpp: one open, one fstat and one read loop for a file the operator named.
#include "file_bytes.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Reads to the end of fd, which held expected bytes when it was looked at; the file may
// have grown or shrunk since, so the end is where read() says it is.
const char *Read_All(int fd, size_t expected, size_t limit, FileBytes *file) {
  // One byte more than expected (or than the limit), so a grown file is noticed.
  size_t capacity = (expected < limit ? expected : limit) + 1;
  uint8_t *data = static_cast<uint8_t *>(std::malloc(capacity));
  if (!data) return "no memory for the file";
  size_t size = 0;
  for (;;) {
    if (size == capacity) {
      if (capacity > limit) {
        std::free(data);
        return "file too large";
      }
      const size_t grown = capacity > limit - capacity ? limit + 1 : capacity * 2;
      uint8_t *bigger = static_cast<uint8_t *>(std::realloc(data, grown));
      if (!bigger) {
        std::free(data);
        return "no memory for the file";
      }
      data = bigger, capacity = grown;
    }
    const ssize_t n = read(fd, data + size, capacity - size);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      std::free(data);
      return "cannot read the file";
    }
    size += static_cast<size_t>(n);
  }
  file->data = data, file->size = size;
  return nullptr;
}

}  // namespace

const char *File_Bytes_Read(const char *path, size_t limit, FileBytes *file) {
  *file = FileBytes{nullptr, 0};
  // Without O_NONBLOCK, opening a pipe that has no writer would wait for one. What the name
  // turned out to be is then judged on the descriptor, never on a second lookup of the name.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return "cannot open the file";
  struct stat info;
  const char *refusal;
  if (fstat(fd, &info) != 0)
    refusal = "cannot read the file";
  else if (!S_ISREG(info.st_mode))
    refusal = "not a regular file";
  else if (static_cast<uint64_t>(info.st_size) > limit)
    refusal = "file too large";
  else
    refusal = Read_All(fd, static_cast<size_t>(info.st_size), limit, file);
  close(fd);
  return refusal;
}

void File_Bytes_Free(FileBytes *file) {
  std::free(file->data);
  *file = FileBytes{nullptr, 0};
}
