// upload_read_once_test.cpp: the upload loads the very bytes it checked. Every open of the
// watched name (by this program or by Allegro) finds another file there, as when a file is
// replaced, a link swapped or a share changes between two lookups of the name.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdarg>
#include <memory>

#include "bmp_fixture.h"
#include "image_upload.h"

namespace {

std::string watched;                        // the name whose opens are counted
std::vector<std::vector<uint8_t>> versions;  // what the n-th open of it finds
int opens = 0;

// Puts the next version under the watched name just before it is opened.
void Before_Open(const char *path) {
  if (watched.empty() || watched != path) return;
  const size_t n = static_cast<size_t>(opens++);
  const std::vector<uint8_t> &bytes = versions[n < versions.size() ? n : versions.size() - 1];
  const std::string next = watched + ".next";
  const int fd = static_cast<int>(syscall(SYS_openat, AT_FDCWD, next.c_str(),
                                          O_WRONLY | O_CREAT | O_TRUNC, 0600));
  if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
    std::abort();
  close(fd);
  if (rename(next.c_str(), watched.c_str()) != 0) std::abort();
}

template <typename F>
F Next(const char *name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

// Every way the name may be opened, from this program or from Allegro's file routines.
extern "C" int open(const char *path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = (flags & O_CREAT) ? va_arg(args, mode_t) : 0;
  va_end(args);
  Before_Open(path);
  return Next<int (*)(const char *, int, ...)>("open")(path, flags, mode);
}
extern "C" int open64(const char *path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = (flags & O_CREAT) ? va_arg(args, mode_t) : 0;
  va_end(args);
  Before_Open(path);
  return Next<int (*)(const char *, int, ...)>("open64")(path, flags, mode);
}
extern "C" FILE *fopen(const char *path, const char *mode) {
  Before_Open(path);
  return Next<FILE *(*)(const char *, const char *)>("fopen")(path, mode);
}
extern "C" FILE *fopen64(const char *path, const char *mode) {
  Before_Open(path);
  return Next<FILE *(*)(const char *, const char *)>("fopen64")(path, mode);
}

namespace {

// A 24-bit file of 2 x 1 pixels with these two colours.
std::vector<uint8_t> Picture(uint32_t left, uint32_t right) {
  std::vector<uint8_t> b = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                            2,   0,   0,  0, 1, 0, 0, 0, 1, 0, 24, 0};
  b.resize(54, 0);
  for (uint32_t c : {left, right})
    for (int i = 0; i < 3; i++) b.push_back((c >> (8 * i)) & 255);
  b.resize(62, 0);
  return b;
}

TEST_F(BmpTest, TheLoadedImageIsTheOneThatWasChecked) {
  // A second lookup of the name would find a run-length stream that writes outside the
  // bitmap (the check refuses it), or a good picture of other colours.
  std::vector<uint8_t> hostile = Picture(0, 0);
  hostile[28] = 8, hostile[30] = 1;  // 8 bits, run-length
  hostile.resize(54);
  hostile.insert(hostile.end(), {0, 0, 0, 0, 255, 9, 255, 9, 0, 1});
  hostile[10] = 58, hostile[2] = static_cast<uint8_t>(hostile.size());
  const struct {
    const char *name;
    std::vector<uint8_t> later;
  } cases[] = {{"other colours", Picture(0x0000FF, 0x00FF00)}, {"hostile", hostile}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    watched = Scratch("swapped.bmp");
    versions = {Picture(0x102030, 0x405060), c.later};
    opens = 0;
    PALETTE palette;
    const char *refusal = nullptr;
    std::unique_ptr<BITMAP, void (*)(BITMAP *)> image(
        Image_Load(watched.c_str(), palette, &refusal), destroy_bitmap);
    watched.clear();
    EXPECT_EQ(opens, 1);
    ASSERT_NE(image, nullptr) << (refusal ? refusal : "loader failed");
    ASSERT_EQ(bitmap_color_depth(image.get()), 24);
    EXPECT_EQ(getpixel(image.get(), 0, 0), makecol24(0x10, 0x20, 0x30));
    EXPECT_EQ(getpixel(image.get(), 1, 0), makecol24(0x40, 0x50, 0x60));
  }
}

}  // namespace
