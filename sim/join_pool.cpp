// join_pool.cpp: a GStreamer task pool whose threads are joined when their task stops.
#include "join_pool.h"

namespace sim {

namespace {
struct JoinPool {
  GstTaskPool parent;
};
struct JoinPoolClass {
  GstTaskPoolClass parent_class;
};
G_DEFINE_TYPE(JoinPool, join_pool, GST_TYPE_TASK_POOL)

struct TaskStart {
  GstTaskPoolFunction func;
  gpointer data;
};

gpointer task_main(gpointer p) {
  TaskStart start = *static_cast<TaskStart *>(p);
  delete static_cast<TaskStart *>(p);
  start.func(start.data);
  return nullptr;
}

gpointer join_pool_push(GstTaskPool *, GstTaskPoolFunction func, gpointer data, GError **error) {
  TaskStart *start = new TaskStart{func, data};
  GThread *thread = g_thread_try_new("qorsim-stream", task_main, start, error);
  if (!thread) delete start;
  return thread;
}

void join_pool_join(GstTaskPool *, gpointer id) {
  if (id) g_thread_join(static_cast<GThread *>(id));
}

void join_pool_prepare(GstTaskPool *, GError **) {}
void join_pool_cleanup(GstTaskPool *) {}

void join_pool_class_init(JoinPoolClass *klass) {
  GstTaskPoolClass *pool = GST_TASK_POOL_CLASS(klass);
  pool->prepare = join_pool_prepare;
  pool->cleanup = join_pool_cleanup;
  pool->push = join_pool_push;
  pool->join = join_pool_join;
}

void join_pool_init(JoinPool *) {}
}  // namespace

GstTaskPool *join_pool_new() {
  return GST_TASK_POOL(g_object_new(join_pool_get_type(), nullptr));
}

}  // namespace sim
