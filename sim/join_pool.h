// join_pool.h: a GStreamer task pool whose threads are joined when their task stops.
#pragma once

#include <gst/gst.h>

namespace sim {

// GStreamer's default pool keeps a finished streaming thread idle for reuse; this one runs each
// task on its own joinable thread, so that stopping a pipeline ends its threads.
GstTaskPool *join_pool_new();

}  // namespace sim
