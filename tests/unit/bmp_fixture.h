// bmp_fixture.h: Allegro without a display, a scratch folder and little-endian readers for the BMP tests.
#ifndef QOR_TESTS_BMP_FIXTURE_H
#define QOR_TESTS_BMP_FIXTURE_H

#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "scratch_folder.h"

// Memory bitmaps, the loader and packfiles need Allegro started, but no screen.
class BmpTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static bool started = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
    ASSERT_TRUE(started);
  }

  // A scratch file path in the running test's own folder, removed after the test.
  std::string Scratch(const std::string &name) const { return scratch_.Path(name); }

  static std::vector<uint8_t> Read(const std::string &path) {
    std::vector<uint8_t> bytes;
    if (FILE *f = std::fopen(path.c_str(), "rb")) {
      int c;
      while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
      std::fclose(f);
    }
    return bytes;
  }

  static void Write(const std::string &path, const std::vector<uint8_t> &bytes) {
    FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }

  ScratchFolder scratch_;

  static uint32_t U16(const std::vector<uint8_t> &b, size_t at) {
    return b.at(at) | (b.at(at + 1) << 8);
  }
  static uint32_t U32(const std::vector<uint8_t> &b, size_t at) {
    return b.at(at) | (b.at(at + 1) << 8) | (b.at(at + 2) << 16) |
           (static_cast<uint32_t>(b.at(at + 3)) << 24);
  }
};

#endif
