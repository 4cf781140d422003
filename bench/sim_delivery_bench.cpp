// sim_delivery_bench.cpp: frame delivery of the stand-in library at 640x480 mono8, whole frame
// against row by row, beside a plain memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "qorlib3.h"

namespace {

constexpr uint32_t kWidth = 640, kHeight = 480;
constexpr uint64_t kFrame = uint64_t{kWidth} * kHeight;

// A started library with system 1 at frame rate 0: a frame is ready whenever asked.
struct Session {
  ErrorData err{};
  QorHandle system = 0, input = 0;
  bool ok = false;

  Session() {
    QorHandle rate = 0;
    ok = QorVoz3Init(&err) <= 0 && QorVoz3SystemCreate(1, &system, &err) <= 0 &&
         QorVoz3SystemInit(system, &err) <= 0 &&
         QorVoz3SystemGetCInterface(system, 0x400104, 0, &rate, &err) <= 0 &&
         QorVoz3OptionSetScalar(rate, 0, 0, &err) <= 0 &&
         QorVoz3SystemGetInDInterface(system, QORLIB3_DINTERFACE_ANY, 0, &input, &err) <= 0;
  }
  ~Session() { QorVoz3Exit(&err); }
};

void Deliver(benchmark::State &state, uint64_t chunk) {
  Session s;
  if (!s.ok) {
    state.SkipWithError(s.err.message ? s.err.message : "library set-up failed");
    return;
  }
  std::vector<uint8_t> frame(kFrame);
  uint64_t ready = 0, done = 0;
  for (auto _ : state) {
    if (QorVoz3InDInterfaceQueryReady(s.input, &ready, &s.err) > 0 || ready != kFrame ||
        QorVoz3InDInterfaceBeginBlock(s.input, &s.err) > 0) {
      state.SkipWithError("no frame");
      break;
    }
    for (uint64_t at = 0; at < kFrame; at += chunk)
      QorVoz3InDInterfaceTransfer(s.input, frame.data() + at, chunk, &done, &s.err);
    QorVoz3InDInterfaceEndBlock(s.input, &s.err);
    benchmark::DoNotOptimize(frame.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kFrame));
}

void BM_WholeFrame(benchmark::State &state) { Deliver(state, kFrame); }
void BM_RowByRow(benchmark::State &state) { Deliver(state, kWidth); }

void BM_Memcpy(benchmark::State &state) {
  std::vector<uint8_t> src(kFrame, 7), dst(kFrame);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), kFrame);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kFrame));
}

BENCHMARK(BM_WholeFrame);
BENCHMARK(BM_RowByRow);
BENCHMARK(BM_Memcpy);

}  // namespace

BENCHMARK_MAIN();
