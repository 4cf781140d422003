// bmp_write_bench.cpp: Bmp_Write against Allegro's save_bmp on the same bitmaps, same run.
#include "bmp_export.h"

#include <allegro.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Scratch(const char *name) {
  const char *dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/bmp_write_bench_" + name;
}

BITMAP *Frame(int depth, int w, int h) {
  BITMAP *b = create_bitmap_ex(depth, w, h);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++)
      putpixel(b, x, y, depth == 8 ? (x + 3 * y) & 255
                                   : makecol_depth(depth, x & 255, y & 255, (x ^ y) & 255));
  return b;
}

std::vector<unsigned char> Read(const std::string &path) {
  std::vector<unsigned char> bytes;
  if (FILE *f = std::fopen(path.c_str(), "rb")) {
    std::fseek(f, 0, SEEK_END);
    bytes.resize(static_cast<size_t>(std::ftell(f)));
    std::fseek(f, 0, SEEK_SET);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
  }
  return bytes;
}

struct Shape {
  int depth, w, h;
};

// save_bmp takes palettes as Allegro keeps them (6-bit components); Bmp_Write takes the
// export palette's 8-bit ones.
struct Palettes {
  RGB grey8[256], grey6[256];
  Palettes() {
    Bmp_Fill_Export_Palette(grey8);
    for (int i = 0; i < 256; i++) grey6[i] = RGB{uint8_t(i / 4), uint8_t(i / 4), uint8_t(i / 4), 0};
  }
};

void Run(benchmark::State &state, Shape s, bool ours) {
  BITMAP *b = Frame(s.depth, s.w, s.h);
  const Palettes p;
  const std::string path = Scratch(ours ? "ours.bmp" : "allegro.bmp");
  for (auto _ : state) {
    const int result = ours ? Bmp_Write(path.c_str(), b, p.grey8)
                            : save_bmp(path.c_str(), b, p.grey6);
    if (result != 0) state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Read(path).size()));
  destroy_bitmap(b);
}

// One file from each writer, compared in three parts: the two headers, the colour table
// (8-bit files) and the pixel rows; 1 means byte-identical. first_diff is the first differing
// offset of the whole file (-1: none).
void Compare(benchmark::State &state, Shape s) {
  BITMAP *b = Frame(s.depth, s.w, s.h);
  const Palettes p;
  const std::string tag = std::to_string(s.depth) + ".bmp";
  const std::string ours = Scratch(("cmp_ours" + tag).c_str());
  const std::string theirs = Scratch(("cmp_allegro" + tag).c_str());
  for (auto _ : state) {
    Bmp_Write(ours.c_str(), b, p.grey8);
    save_bmp(theirs.c_str(), b, p.grey6);
  }
  const std::vector<unsigned char> a = Read(ours), c = Read(theirs);
  const size_t pixels = s.depth == 8 ? 1078 : 54;
  auto same = [&](size_t from, size_t to) {
    return a.size() >= to && c.size() >= to &&
           std::equal(a.begin() + from, a.begin() + to, c.begin() + from);
  };
  size_t first = 0;
  while (first < a.size() && first < c.size() && a[first] == c[first]) first++;
  state.counters["same_headers"] = same(0, 54);
  state.counters["same_table"] = same(54, pixels);
  state.counters["same_pixels"] = a.size() == c.size() && same(pixels, a.size());
  state.counters["first_diff"] = a == c ? -1 : static_cast<double>(first);
  destroy_bitmap(b);
}

constexpr Shape SMALL_8{8, 640, 480};
constexpr Shape LARGE_24{24, 4096, 4096};

void BM_BmpWrite_8bit_640x480(benchmark::State &s) { Run(s, SMALL_8, true); }
void BM_SaveBmp_8bit_640x480(benchmark::State &s) { Run(s, SMALL_8, false); }
void BM_BmpWrite_24bit_4096x4096(benchmark::State &s) { Run(s, LARGE_24, true); }
void BM_SaveBmp_24bit_4096x4096(benchmark::State &s) { Run(s, LARGE_24, false); }
void BM_Compare_8bit_640x480(benchmark::State &s) { Compare(s, SMALL_8); }
void BM_Compare_24bit_4096x4096(benchmark::State &s) { Compare(s, LARGE_24); }

BENCHMARK(BM_BmpWrite_8bit_640x480)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveBmp_8bit_640x480)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BmpWrite_24bit_4096x4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveBmp_24bit_4096x4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compare_8bit_640x480)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compare_24bit_4096x4096)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) {
  if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
