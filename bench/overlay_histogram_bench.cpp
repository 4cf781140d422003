// overlay_histogram_bench.cpp: speed of the histogram count on a 640x480 8-bit frame.
#include <allegro.h>
#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "overlay.h"

namespace {

// A frame like the stand-in camera's: a noisy ramp, so every bin is hit and neighbouring
// pixels are often alike (the worst case for a single table of counters).
BITMAP *Frame(int w, int h, bool flat) {
  BITMAP *b = create_bitmap_ex(8, w, h);
  uint32_t seed = 12345;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      b->line[y][x] = flat ? 128 : static_cast<unsigned char>((x + y + (seed >> 29)) & 0xff);
    }
  return b;
}

void Count(benchmark::State &state, bool flat) {
  static bool started = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
  if (!started) {
    state.SkipWithError("Allegro did not start");
    return;
  }
  const int w = static_cast<int>(state.range(0));
  const int h = static_cast<int>(state.range(1));
  BITMAP *frame = Frame(w, h, flat);
  for (auto _ : state) {
    Histogram_Count(frame);
    benchmark::DoNotOptimize(overlay.bins);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * w * h);
  destroy_bitmap(frame);
}

void BM_HistogramCount(benchmark::State &state) { Count(state, false); }
void BM_HistogramCountOneLevel(benchmark::State &state) { Count(state, true); }

}  // namespace

BENCHMARK(BM_HistogramCount)->Args({640, 480})->Args({1024, 768});
BENCHMARK(BM_HistogramCountOneLevel)->Args({640, 480});

BENCHMARK_MAIN();
