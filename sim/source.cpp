// source.cpp: system 9: the QORSIM_SOURCE description completed with conversion, scaling and an
// app sink whose frames wait in the system's ring, as a grabber's buffers would.
#include "source.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>

#include "catalogue.h"
#include "hooks.h"
#include "join_pool.h"
#include "stream.h"

namespace sim {

struct Source {
  GstElement *pipeline = nullptr;
  GstElement *format = nullptr;  // the caps filter the options set
  GstAppSink *sink = nullptr;
  GstBus *bus = nullptr;
  GstTaskPool *threads = nullptr;  // the streaming threads, joined when the pipeline stops
  // 0: no frame is given up; the source waits for the client instead (appsink blocks).
  uint32_t ringSize = 0;

  // Shared with the streaming thread, under lock.
  std::mutex lock;
  std::condition_variable arrived;
  std::deque<GstSample *> ring;
  GstCaps *lastCaps = nullptr;  // of the newest frame seen
  uint64_t made = 0, dropped = 0;

  // The client's side only.
  uint64_t droppedReported = 0;  // part of dropped already in the statistics
  bool playing = false;          // started and not stopped by the input control
  bool ended = false;
  std::string error;  // the first bus error since the start or the last restart
  GstSample *block = nullptr;
  GstVideoFrame frame;
  bool mapped = false;
  // The last caps turned into a geometry (held, so the pointer names them while cached).
  GstCaps *parsedCaps = nullptr;
  GstVideoInfo parsedInfo;
  Geometry parsed;
};

namespace {
constexpr int64_t kFirstFrameNs = 10000000000;  // how long Init waits for the format
constexpr int64_t kSliceNs = 20000000;          // bus checks while a wait goes on

bool g_gstReady = false;

// Every task the pipeline makes runs on the source's own pool.
GstBusSyncReply on_bus_sync(GstBus *, GstMessage *m, gpointer data) {
  if (GST_MESSAGE_TYPE(m) != GST_MESSAGE_STREAM_STATUS) return GST_BUS_PASS;
  GstStreamStatusType type;
  GstElement *owner = nullptr;
  gst_message_parse_stream_status(m, &type, &owner);
  const GValue *object = gst_message_get_stream_status_object(m);
  if (type == GST_STREAM_STATUS_TYPE_CREATE && object && G_VALUE_HOLDS_OBJECT(object) &&
      GST_IS_TASK(g_value_get_object(object)))
    gst_task_set_pool(GST_TASK(g_value_get_object(object)), static_cast<Source *>(data)->threads);
  return GST_BUS_PASS;
}

int gst_ready(ErrorData *err) {
  if (g_gstReady) return QORLIB3_OK;
  GError *error = nullptr;
  if (!gst_init_check(nullptr, nullptr, &error)) {
    int rc = SIM_FAIL(err, QORLIB3_ERR_GENERIC, "GStreamer: %s",
                      error ? error->message : "gst_init failed");
    if (error) g_error_free(error);
    return rc;
  }
  g_gstReady = true;
  return QORLIB3_OK;
}

void replace_caps(Source *s, GstCaps *caps) {
  if (caps) gst_caps_ref(caps);
  if (s->lastCaps) gst_caps_unref(s->lastCaps);
  s->lastCaps = caps;
}

// Streaming thread: a frame reached the sink. A full ring gives up its oldest frame.
GstFlowReturn on_sample(GstAppSink *sink, gpointer data) {
  Source *s = static_cast<Source *>(data);
  GstSample *sample = gst_app_sink_pull_sample(sink);
  if (!sample) return GST_FLOW_OK;
  GstSample *oldest = nullptr;
  {
    std::lock_guard<std::mutex> guard(s->lock);
    s->ring.push_back(sample);
    replace_caps(s, gst_sample_get_caps(sample));
    ++s->made;
    if (s->ring.size() > s->ringSize) {
      oldest = s->ring.front();
      s->ring.pop_front();
      ++s->dropped;
    }
  }
  if (oldest) gst_sample_unref(oldest);
  s->arrived.notify_all();
  return GST_FLOW_OK;
}

void clear_ring(Source *s) {
  std::deque<GstSample *> old;
  {
    std::lock_guard<std::mutex> guard(s->lock);
    old.swap(s->ring);
  }
  for (GstSample *sample : old) gst_sample_unref(sample);
}

// A flushing seek reaches the sink as flush-stop before the first frame after it: what waits
// in the ring is from before the seek.
GstPadProbeReturn on_flush(GstPad *, GstPadProbeInfo *info, gpointer data) {
  if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_FLUSH_STOP)
    clear_ring(static_cast<Source *>(data));
  return GST_PAD_PROBE_OK;
}

// The pipeline's errors and end of stream, from the bus; also the drops into the statistics.
void poll_bus(Source *s) {
  while (GstMessage *m = gst_bus_pop_filtered(
             s->bus, static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_EOS))) {
    if (GST_MESSAGE_TYPE(m) == GST_MESSAGE_EOS) {
      s->ended = true;
    } else if (s->error.empty()) {
      GError *error = nullptr;
      gst_message_parse_error(m, &error, nullptr);
      s->error = std::string("GStreamer: ") + (error ? error->message : "error") + " (from " +
                 GST_OBJECT_NAME(GST_MESSAGE_SRC(m)) + ")";
      if (error) g_error_free(error);
    }
    gst_message_unref(m);
  }
  std::lock_guard<std::mutex> guard(s->lock);
  g_stats.framesDropped += s->dropped - s->droppedReported;
  s->droppedReported = s->dropped;
}

int source_failed(System *sys, ErrorData *err) {
  return SIM_FAIL(err, QORLIB3_ERR_GENERIC, "system %s: %s", sys->def->name,
                  sys->source->error.c_str());
}

// Without a ring the client takes frames from the sink itself, waiting up to ns.
void pull(Source *s, int64_t ns) {
  if (s->ringSize != 0) return;
  {
    std::lock_guard<std::mutex> guard(s->lock);
    if (!s->ring.empty()) return;
  }
  GstSample *sample = gst_app_sink_try_pull_sample(s->sink, static_cast<GstClockTime>(ns));
  if (!sample) return;
  std::lock_guard<std::mutex> guard(s->lock);
  s->ring.push_back(sample);
  replace_caps(s, gst_sample_get_caps(sample));
  ++s->made;
}

bool ring_empty(Source *s) {
  std::lock_guard<std::mutex> guard(s->lock);
  return s->ring.empty();
}

// Waits up to ns for a frame, a failure or the end of the stream, checking the bus in slices.
void await(Source *s, int64_t ns) {
  int64_t deadline = now_ns() + ns;
  for (;;) {
    poll_bus(s);
    if (!s->error.empty() || s->ended || !ring_empty(s)) return;
    int64_t left = deadline - now_ns();
    if (left <= 0) return;
    int64_t slice = left < kSliceNs ? left : kSliceNs;
    if (s->ringSize == 0) {
      pull(s, slice);
    } else {
      std::unique_lock<std::mutex> guard(s->lock);
      s->arrived.wait_for(guard, std::chrono::nanoseconds(slice),
                          [s] { return !s->ring.empty(); });
    }
  }
}

struct Format {
  GstVideoFormat video;
  const char *name;
  uint32_t value, bitsPerElement, elementsPerPixel, layout;
};
const Format kFormats[] = {
    {GST_VIDEO_FORMAT_GRAY8, "GRAY8", QORLIB3_PIXFMT_MONO8, 8, 1, QORLIB3_LAYOUT_PLANAR_MONO},
    {GST_VIDEO_FORMAT_GRAY16_LE, "GRAY16_LE", QORLIB3_PIXFMT_MONO16, 16, 1,
     QORLIB3_LAYOUT_PLANAR_MONO},
    {GST_VIDEO_FORMAT_BGR, "BGR", QORLIB3_PIXFMT_RGB, 8, 3, QORLIB3_LAYOUT_BGR_PACKED},
};

GstCaps *wanted_caps(System *sys) {
  const OptionState *fmt = system_option(sys, kTypePixelFormat);
  const OptionState *w = system_option(sys, kTypeWidth);
  const OptionState *h = system_option(sys, kTypeHeight);
  uint32_t value = fmt ? fmt->def->values[fmt->enumIndex] : QORLIB3_PIXFMT_MONO8;
  const char *name = kFormats[0].name;
  for (const Format &f : kFormats)
    if (f.value == value) name = f.name;
  GstCaps *caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, name, nullptr);
  if (w && w->value > 0) gst_caps_set_simple(caps, "width", G_TYPE_INT, (int)w->value, nullptr);
  if (h && h->value > 0) gst_caps_set_simple(caps, "height", G_TYPE_INT, (int)h->value, nullptr);
  return caps;
}

int parse_geometry(System *sys, GstCaps *caps, GstVideoInfo &info, Geometry *g,
                   ErrorData *err) {
  if (!caps || !gst_video_info_from_caps(&info, caps))
    return SIM_FAIL(err, QORLIB3_ERR_GENERIC, "system %s: the source's format is not known yet",
                    sys->def->name);
  const Format *f = nullptr;
  for (const Format &k : kFormats)
    if (k.video == GST_VIDEO_INFO_FORMAT(&info)) f = &k;
  if (!f)
    return SIM_FAIL(err, QORLIB3_ERR_GENERIC, "system %s: unexpected format %s", sys->def->name,
                    GST_VIDEO_INFO_NAME(&info));
  *g = Geometry{};
  g->kind = QORLIB3_KIND_IMAGE;
  g->bitsPerElement = f->bitsPerElement;
  g->width = static_cast<uint32_t>(GST_VIDEO_INFO_WIDTH(&info));
  g->height = static_cast<uint32_t>(GST_VIDEO_INFO_HEIGHT(&info));
  g->pixelFormat = f->value;
  g->layout = f->layout;
  g->bitsPerPixel = f->bitsPerElement * f->elementsPerPixel;
  g->bytesPerPixel = g->bitsPerPixel / 8;
  g->lineSize = g->width * g->bytesPerPixel;
  g->linesInBlock = g->height;
  g->elementCount = uint64_t{g->width} * g->height * f->elementsPerPixel;
  g->bytes = uint64_t{g->lineSize} * g->height;
  return QORLIB3_OK;
}

// The geometry of caps; parsed once for the caps every frame of a stream shares.
int geometry_of(System *sys, GstCaps *caps, Geometry *g, ErrorData *err,
                GstVideoInfo *info = nullptr) {
  Source *s = sys->source;
  if (!caps || caps != s->parsedCaps) {
    GstVideoInfo parsedInfo;
    Geometry parsed;
    if (int rc = parse_geometry(sys, caps, parsedInfo, &parsed, err)) return rc;
    gst_caps_ref(caps);
    if (s->parsedCaps) gst_caps_unref(s->parsedCaps);
    s->parsedCaps = caps;
    s->parsedInfo = parsedInfo;
    s->parsed = parsed;
  }
  *g = s->parsed;
  if (info) *info = s->parsedInfo;
  return QORLIB3_OK;
}

int set_state(System *sys, GstState state, ErrorData *err) {
  Source *s = sys->source;
  if (gst_element_set_state(s->pipeline, state) != GST_STATE_CHANGE_FAILURE) return QORLIB3_OK;
  poll_bus(s);
  if (!s->error.empty()) return source_failed(sys, err);
  return SIM_FAIL(err, QORLIB3_ERR_GENERIC, "system %s: GStreamer refused the state %s",
                  sys->def->name, gst_element_state_get_name(state));
}

void unmap_block(Source *s) {
  if (s->mapped) gst_video_frame_unmap(&s->frame);
  s->mapped = false;
  if (s->block) gst_sample_unref(s->block);
  s->block = nullptr;
}
}  // namespace

bool source_configured() {
  const char *text = std::getenv("QORSIM_SOURCE");
  return text && *text;
}

int source_open(System *sys, ErrorData *err) {
  if (int rc = gst_ready(err)) return rc;
  const char *text = std::getenv("QORSIM_SOURCE");
  std::string description = std::string(text ? text : "") +
                            " ! videoconvert ! videoscale ! capsfilter name=qorsim-format"
                            " ! appsink name=qorsim-sink";
  GError *error = nullptr;
  GstElement *pipeline = gst_parse_launch_full(description.c_str(), nullptr,
                                               GST_PARSE_FLAG_FATAL_ERRORS, &error);
  if (!pipeline || error) {
    int rc = SIM_FAIL(err, QORLIB3_ERR_GENERIC, "GStreamer: %s (QORSIM_SOURCE \"%s\")",
                      error ? error->message : "no pipeline", text ? text : "");
    if (error) g_error_free(error);
    if (pipeline) gst_object_unref(pipeline);
    return rc;
  }
  // The description may be a lone element rather than a pipeline, or reuse our names.
  GstElement *format = GST_IS_BIN(pipeline)
                           ? gst_bin_get_by_name(GST_BIN(pipeline), "qorsim-format") : nullptr;
  GstElement *sink = GST_IS_BIN(pipeline)
                         ? gst_bin_get_by_name(GST_BIN(pipeline), "qorsim-sink") : nullptr;
  if (!format || !sink || !GST_IS_APP_SINK(sink)) {
    if (format) gst_object_unref(format);
    if (sink) gst_object_unref(sink);
    gst_object_unref(pipeline);
    return SIM_FAIL(err, QORLIB3_ERR_GENERIC,
                    "QORSIM_SOURCE \"%s\" does not make a pipeline with the library's sink",
                    text ? text : "");
  }
  Source *s = new Source;
  s->pipeline = pipeline;
  s->format = format;
  s->sink = GST_APP_SINK(sink);
  s->bus = gst_element_get_bus(pipeline);
  s->threads = join_pool_new();
  gst_bus_set_sync_handler(s->bus, on_bus_sync, s, nullptr);
  // No preroll: a state change then completes at once instead of on a helper thread.
  g_object_set(s->sink, "async", FALSE, nullptr);
  s->ringSize = stream_ring_size();
  sys->source = s;
  if (s->ringSize != 0) {
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = on_sample;
    gst_app_sink_set_callbacks(s->sink, &callbacks, s, nullptr);
  } else {
    gst_app_sink_set_max_buffers(s->sink, 4);
    gst_app_sink_set_drop(s->sink, FALSE);
  }
  GstPad *pad = gst_element_get_static_pad(GST_ELEMENT(s->sink), "sink");
  gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_EVENT_FLUSH, on_flush, s, nullptr);
  gst_object_unref(pad);
  source_options_changed(sys);
  return QORLIB3_OK;
}

void source_close(System *sys) {
  Source *s = sys->source;
  if (!s) return;
  unmap_block(s);
  // Down to NULL stops the tasks, which joins their threads (JoinPool).
  gst_element_set_state(s->pipeline, GST_STATE_NULL);
  poll_bus(s);
  clear_ring(s);
  replace_caps(s, nullptr);
  if (s->parsedCaps) gst_caps_unref(s->parsedCaps);
  gst_bus_set_sync_handler(s->bus, nullptr, nullptr, nullptr);
  gst_object_unref(s->bus);
  gst_object_unref(s->threads);
  gst_object_unref(s->sink);
  gst_object_unref(s->format);
  gst_object_unref(s->pipeline);
  delete s;
  sys->source = nullptr;
}

int source_start(System *sys, ErrorData *err) {
  Source *s = sys->source;
  unmap_block(s);
  s->ended = false;
  s->error.clear();
  if (int rc = set_state(sys, GST_STATE_PLAYING, err)) return rc;
  s->playing = true;
  int64_t deadline = now_ns() + kFirstFrameNs;
  for (;;) {
    await(s, deadline - now_ns());
    if (!s->error.empty()) return source_failed(sys, err);
    {
      std::lock_guard<std::mutex> guard(s->lock);
      if (s->lastCaps) return QORLIB3_OK;
    }
    if (s->ended)
      return SIM_FAIL(err, QORLIB3_ERR_GENERIC, "system %s: the source ended before its first frame",
                      sys->def->name);
    if (now_ns() >= deadline)
      return SIM_FAIL(err, QORLIB3_ERR_GENERIC, "system %s: no frame from the source within %lld s",
                      sys->def->name, static_cast<long long>(kFirstFrameNs / 1000000000));
  }
}

int source_play(System *sys, bool play, ErrorData *err) {
  if (int rc = set_state(sys, play ? GST_STATE_PLAYING : GST_STATE_PAUSED, err)) return rc;
  sys->source->playing = play;
  return QORLIB3_OK;
}

int source_restart(System *sys, ErrorData *err) {
  Source *s = sys->source;
  poll_bus(s);
  s->ended = false;
  s->error.clear();
  // Seeking while paused, so that playing again starts the clock from the new position (the
  // sink does not preroll, which would otherwise do that). A live source cannot seek: then
  // only what waits is given up.
  if (int rc = set_state(sys, GST_STATE_PAUSED, err)) return rc;
  if (!gst_element_seek_simple(s->pipeline, GST_FORMAT_TIME,
                               static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH |
                                                         GST_SEEK_FLAG_KEY_UNIT),
                               0))
    clear_ring(s);
  if (s->playing)
    if (int rc = set_state(sys, GST_STATE_PLAYING, err)) return rc;
  std::lock_guard<std::mutex> guard(s->lock);
  s->made = s->ring.size();
  return QORLIB3_OK;
}

void source_options_changed(System *sys) {
  GstCaps *caps = wanted_caps(sys);
  g_object_set(sys->source->format, "caps", caps, nullptr);
  gst_caps_unref(caps);
}

int source_geometry(System *sys, Geometry *g, ErrorData *err) {
  Source *s = sys->source;
  GstCaps *caps = nullptr;
  {
    std::lock_guard<std::mutex> guard(s->lock);
    caps = s->ring.empty() ? s->lastCaps : gst_sample_get_caps(s->ring.front());
    if (caps) gst_caps_ref(caps);
  }
  int rc = geometry_of(sys, caps, g, err);
  if (caps) gst_caps_unref(caps);
  return rc;
}

int source_ready(System *sys, uint64_t *bytes, ErrorData *err) {
  Source *s = sys->source;
  *bytes = 0;
  pull(s, 0);
  poll_bus(s);
  if (!s->error.empty()) return source_failed(sys, err);
  if (ring_empty(s)) return QORLIB3_OK;
  Geometry g;
  if (int rc = source_geometry(sys, &g, err)) return rc;
  *bytes = g.bytes;
  return QORLIB3_OK;
}

int source_wait(System *sys, uint32_t timeout, ErrorData *err) {
  Source *s = sys->source;
  int64_t deadline = now_ns() + int64_t{timeout} * 1000000;
  await(s, deadline - now_ns());
  if (!s->error.empty()) return source_failed(sys, err);
  if (!ring_empty(s)) return QORLIB3_OK;
  if (s->ended) {
    sleep_until_ns(deadline);
    return SIM_FAIL(err, QORLIB3_ERR_TIMEOUT, "no data within %u ms on system %s: end of stream",
                    timeout, sys->def->name);
  }
  return SIM_FAIL(err, QORLIB3_ERR_TIMEOUT, "no data within %u ms on system %s", timeout,
                  sys->def->name);
}

int source_begin(System *sys, ErrorData *err) {
  Source *s = sys->source;
  pull(s, 0);
  poll_bus(s);
  if (!s->error.empty()) return source_failed(sys, err);
  GstSample *sample = nullptr;
  {
    std::lock_guard<std::mutex> guard(s->lock);
    if (!s->ring.empty()) {
      sample = s->ring.front();
      s->ring.pop_front();
    }
  }
  if (!sample)
    return SIM_FAIL(err, QORLIB3_ERR_NO_DATA, "no data ready on system %s%s", sys->def->name,
                    s->ended ? ": end of stream" : "");
  Geometry g;
  GstVideoInfo info;
  if (int rc = geometry_of(sys, gst_sample_get_caps(sample), &g, err, &info)) {
    gst_sample_unref(sample);
    return rc;
  }
  s->block = sample;
  s->mapped = gst_video_frame_map(&s->frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ);
  if (!s->mapped) {
    unmap_block(s);
    return SIM_FAIL(err, QORLIB3_ERR_GENERIC, "system %s: a frame's memory cannot be read",
                    sys->def->name);
  }
  sys->block.g = g;
  return QORLIB3_OK;
}

void source_copy(System *sys, uint64_t offset, uint64_t size, uint8_t *dest) {
  Source *s = sys->source;
  const uint8_t *data = static_cast<const uint8_t *>(GST_VIDEO_FRAME_PLANE_DATA(&s->frame, 0));
  uint64_t stride = static_cast<uint64_t>(GST_VIDEO_FRAME_PLANE_STRIDE(&s->frame, 0));
  uint64_t line = sys->block.g.lineSize;
  if (stride == line) {  // rows without padding: one copy
    std::memcpy(dest, data + offset, size);
    return;
  }
  while (size > 0) {
    uint64_t row = offset / line, col = offset % line;
    uint64_t n = line - col < size ? line - col : size;
    std::memcpy(dest, data + row * stride + col, n);
    dest += n;
    offset += n;
    size -= n;
  }
}

void source_end(System *sys) { unmap_block(sys->source); }

int64_t source_info(System *sys, uint32_t infoType) {
  Source *s = sys->source;
  poll_bus(s);
  std::lock_guard<std::mutex> guard(s->lock);
  switch (infoType) {
    case kInfoFrameCounter:
      return static_cast<int64_t>(s->made);
    case kInfoFramesDropped:
      return static_cast<int64_t>(s->dropped);
    case kInfoStreamEnded:
      return s->ended ? 1 : 0;
    case kInfoSourceRate: {
      GstVideoInfo info;
      if (!s->lastCaps || !gst_video_info_from_caps(&info, s->lastCaps) || info.fps_d <= 0)
        return 0;
      return static_cast<int64_t>(info.fps_n) * 1000 / info.fps_d;
    }
    default:
      return 0;
  }
}

}  // namespace sim
