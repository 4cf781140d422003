// source_bridge_bench.cpp: the cost of system 9's bridge: frames/s of one videotestsrc pipeline
// (640x480 GRAY8 at a rate no clock holds back: 100000/1) read through the library (query, begin, transfer, end)
// against the same pipeline into fakesink, in one run, rounds alternating, best of each. On a
// busy machine wall-clock rates say more about the neighbours, so each run is also measured in
// CPU seconds of the whole process (the streaming thread included).
//   source_bridge_bench [FRAMES (2000)] [ROUNDS (3)]
#include <gst/gst.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "qorlib3.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Description(int frames) {
  return "videotestsrc num-buffers=" + std::to_string(frames) +
         " ! video/x-raw,format=GRAY8,width=640,height=480,framerate=100000/1";
}

double Seconds(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

double CpuSeconds() {
  rusage r;
  getrusage(RUSAGE_SELF, &r);
  return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

struct Rate {
  double wall, cpu;  // frames per second, frames per CPU second
};

#define CHECK(call)                                                               \
  do {                                                                            \
    if ((call) != 0) {                                                            \
      std::fprintf(stderr, "%s failed: %s\n", #call, err.message ? err.message : ""); \
      std::exit(1);                                                               \
    }                                                                             \
  } while (0)

// Frames per second through the library, from SystemInit to the last frame read.
Rate ThroughLibrary(int frames) {
  ErrorData err{};
  QorHandle sys = 0, in = 0;
  std::vector<uint8_t> frame(640 * 480);
  CHECK(QorVoz3Init(&err));
  CHECK(QorVoz3SystemCreate(9, &sys, &err));
  auto t0 = Clock::now();
  double cpu0 = CpuSeconds(), cpuLast = cpu0;
  CHECK(QorVoz3SystemInit(sys, &err));
  CHECK(QorVoz3SystemGetInDInterface(sys, QORLIB3_DINTERFACE_ANY, 0, &in, &err));
  int got = 0;
  auto last = t0;
  for (;;) {
    uint64_t ready = 0, done = 0;
    CHECK(QorVoz3InDInterfaceQueryReady(in, &ready, &err));
    if (ready == 0) {
      int rc = QorVoz3InDInterfaceWait(in, 1000, &err);
      if (rc == QORLIB3_ERR_TIMEOUT) break;  // end of stream
      CHECK(rc);
      continue;
    }
    if (ready != frame.size()) {
      std::fprintf(stderr, "unexpected frame size %llu\n", static_cast<unsigned long long>(ready));
      std::exit(1);
    }
    CHECK(QorVoz3InDInterfaceBeginBlock(in, &err));
    CHECK(QorVoz3InDInterfaceTransfer(in, frame.data(), ready, &done, &err));
    CHECK(QorVoz3InDInterfaceEndBlock(in, &err));
    last = Clock::now();
    cpuLast = CpuSeconds();
    ++got;
  }
  // Up to the last frame read: the wait that found the end slept its time-out.
  double seconds = std::chrono::duration<double>(last - t0).count();
  CHECK(QorVoz3SystemDestroy(sys, &err));
  CHECK(QorVoz3Exit(&err));
  if (got != frames) {
    std::fprintf(stderr, "read %d frames of %d\n", got, frames);
    std::exit(1);
  }
  return Rate{frames / seconds, frames / (cpuLast - cpu0)};
}

// Frames per second of the same pipeline into fakesink, from PLAYING to the end of the stream.
Rate IntoFakesink(int frames) {
  std::string text = Description(frames) + " ! fakesink";
  GError *error = nullptr;
  GstElement *pipeline = gst_parse_launch(text.c_str(), &error);
  if (!pipeline || error) {
    std::fprintf(stderr, "%s\n", error ? error->message : "no pipeline");
    std::exit(1);
  }
  GstBus *bus = gst_element_get_bus(pipeline);
  auto t0 = Clock::now();
  double cpu0 = CpuSeconds();
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstMessage *m = gst_bus_timed_pop_filtered(
      bus, GST_CLOCK_TIME_NONE, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  double seconds = Seconds(t0), cpu = CpuSeconds() - cpu0;
  bool ok = m && GST_MESSAGE_TYPE(m) == GST_MESSAGE_EOS;
  if (m) gst_message_unref(m);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(bus);
  gst_object_unref(pipeline);
  if (!ok) {
    std::fprintf(stderr, "the fakesink pipeline failed\n");
    std::exit(1);
  }
  return Rate{frames / seconds, frames / cpu};
}

}  // namespace

int main(int argc, char **argv) {
  int frames = argc > 1 ? std::atoi(argv[1]) : 2000;
  int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  if (frames <= 0 || rounds <= 0) {
    std::fprintf(stderr, "usage: source_bridge_bench [FRAMES] [ROUNDS]\n");
    return 2;
  }
  gst_init(nullptr, nullptr);
  // Every frame read: the pipeline waits for the reader instead of dropping.
  setenv("QORSIM_BUFFERS", "0", 1);
  setenv("QORSIM_SOURCE", Description(frames).c_str(), 1);
  Rate bestLib{0, 0}, bestSink{0, 0};
  for (int r = 0; r < rounds; ++r) {
    Rate lib = ThroughLibrary(frames);
    Rate sink = IntoFakesink(frames);
    std::printf("round %d: library %.0f frames/s (%.0f per CPU s), fakesink %.0f frames/s (%.0f per"
                " CPU s)\n", r + 1, lib.wall, lib.cpu, sink.wall, sink.cpu);
    if (lib.wall > bestLib.wall) bestLib.wall = lib.wall;
    if (lib.cpu > bestLib.cpu) bestLib.cpu = lib.cpu;
    if (sink.wall > bestSink.wall) bestSink.wall = sink.wall;
    if (sink.cpu > bestSink.cpu) bestSink.cpu = sink.cpu;
  }
  double ratio = bestLib.wall / bestSink.wall, cpuRatio = bestLib.cpu / bestSink.cpu;
  std::printf("best: library %.0f frames/s, fakesink %.0f frames/s: ratio %.2f (target >= 0.80) %s\n",
              bestLib.wall, bestSink.wall, ratio, ratio >= 0.8 ? "met" : "NOT met");
  std::printf("per CPU second: library %.0f frames, fakesink %.0f frames: ratio %.2f %s\n",
              bestLib.cpu, bestSink.cpu, cpuRatio, cpuRatio >= 0.8 ? "met" : "NOT met");
  return 0;
}
