// sim_source_fixture.h: system 9 on a pipeline set per test, with image files made by
// ImageMagick from known pixels.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sim_fixture.h"

constexpr uint32_t kSourceSystem = 9;
constexpr uint32_t kPixelFormatType = 0x400102, kWidthType = 0x400107, kHeightType = 0x400108;
constexpr uint32_t kFrameCounterInfo = 0x500002, kFramesDroppedInfo = 0x500004,
                   kSourceRateInfo = 0x500005, kStreamEndedInfo = 0x500006;

class SimSourceTest : public SimTest {
 protected:
  std::string dir;

  void SetUp() override {
    char templ[] = "/tmp/qorsim_source_XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    dir = templ;
    SimTest::SetUp();
  }
  void TearDown() override {
    SimTest::TearDown();
    unsetenv("QORSIM_SOURCE");
    std::system(("rm -rf '" + dir + "'").c_str());
  }

  static void Source(const std::string &description) {
    setenv("QORSIM_SOURCE", description.c_str(), 1);
  }

  // Writes pixels (rows back to back) as a PNG through ImageMagick: "gray" or "rgb".
  void WritePng(const std::string &name, const char *kind, uint32_t w, uint32_t h,
                const std::vector<uint8_t> &pixels) {
    std::string raw = dir + "/" + name + ".raw";
    std::FILE *f = std::fopen(raw.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fwrite(pixels.data(), 1, pixels.size(), f), pixels.size());
    std::fclose(f);
    std::string cmd = "convert -size " + std::to_string(w) + "x" + std::to_string(h) +
                      " -depth 8 " + kind + ":'" + raw + "' '" + dir + "/" + name + ".png'";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  }

  // A multifilesrc over dir/<prefix>0.png .. <prefix>(count-1).png at 100 frames/s.
  std::string Images(const std::string &prefix, int count) {
    return "multifilesrc location=" + dir + "/" + prefix + "%d.png index=0 stop-index=" +
           std::to_string(count - 1) + " caps=image/png,framerate=100/1 ! pngdec";
  }

  QorHandle Created(uint32_t *rc = nullptr) {
    QorHandle sys = 0;
    int got = QorVoz3SystemCreate(kSourceSystem, &sys, &err);
    if (rc) *rc = static_cast<uint32_t>(got);
    return sys;
  }

  int32_t Info(QorHandle sys, uint32_t type) {
    int32_t v = -1;
    uint32_t unit = 0;
    EXPECT_EQ(QorVoz3GetInfoScalarVal(Interface(sys, type), &v, &unit, &err), 0) << err.message;
    return v;
  }

  // Waits, bounded, for the next frame and reads it.
  std::vector<uint8_t> NextFrame(QorHandle in, uint64_t chunk = 0) {
    EXPECT_EQ(QorVoz3InDInterfaceWait(in, 10000, &err), 0) << err.message;
    return ReadFrame(in, chunk);
  }

  static int Threads() {
    int n = 0;
    DIR *d = opendir("/proc/self/task");
    while (dirent *e = readdir(d))
      if (e->d_name[0] != '.') ++n;
    closedir(d);
    return n;
  }
};
