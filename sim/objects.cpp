// objects.cpp: the device tree: search, info texts, object control and the tree print.
#include "objects.h"

#include <cstring>
#include <string>

#include "call.h"

namespace sim {

namespace {
struct ObjectDef {
  uint32_t id;
  int parent;  // index in kObjects, -1 at the top
  const char *className, *typeName, *name;
  const char *file, *date, *time, *version;
  const char *description;  // null: no object control interface
  const char *serial;
};

// Listed depth first, so the table order is the tree order.
const ObjectDef kObjects[] = {
    {1, -1, "Library", "QorSimLibrary", "qorlib3", "libqorlib3.so", "2026-11-02", "09:15:00",
     "3.0.0", "Simulated acquisition library", "QS-LIB-0001"},
    {2, 0, "Board", "SimGrabber2", "Board0", "qorsim_grabber.drv", "2026-10-20", "14:02:11",
     "1.4.2", "Simulated frame grabber with two camera ports", "QS-BRD-1001"},
    {3, 1, "Port", "CameraPort", "Port0", "qorsim_grabber.drv", "2026-10-20", "14:02:11", "1.4.2",
     nullptr, nullptr},
    {4, 2, "Camera", "SimMono8", "Cam0", "qorsim_camera.drv", "2026-09-30", "08:45:30", "2.1.0",
     "Simulated mono camera 640x480", "QS-CAM-2001"},
    {5, 1, "Port", "CameraPort", "Port1", "qorsim_grabber.drv", "2026-10-20", "14:02:11", "1.4.2",
     nullptr, nullptr},
    {6, 4, "Camera", "SimColor24", "Cam1", "qorsim_camera.drv", "2026-09-30", "08:45:30",
     "2.1.0", "Simulated colour camera 640x480", "QS-CAM-2002"},
    {7, 0, "Board", "SimLineGrabber", "Board1", "qorsim_line.drv", "2026-08-12", "16:20:05",
     "1.0.7", "Simulated line-scan grabber", "QS-BRD-1002"},
    {8, 6, "Port", "LinePort", "Port0", "qorsim_line.drv", "2026-08-12", "16:20:05", "1.0.7",
     nullptr, nullptr},
    {9, 7, "Camera", "SimLineScan", "LineCam0", "qorsim_linecam.drv", "2026-08-12", "16:20:05",
     "1.0.7", "Simulated line-scan camera, 2048 pixels", "QS-CAM-2003"},
};
constexpr int kObjectCount = sizeof(kObjects) / sizeof(kObjects[0]);

QorHandle g_controls[kObjectCount];

int find(QorObjectId id) {
  for (int i = 0; i < kObjectCount; ++i)
    if (kObjects[i].id == id) return i;
  return -1;
}

int no_object(ErrorData *err, QorObjectId id) {
  return SIM_FAIL(err, QORLIB3_ERR_NOT_FOUND, "no object with id %d", static_cast<int32_t>(id));
}

int depth(int i) {
  int d = 0;
  while (kObjects[i].parent >= 0) {
    i = kObjects[i].parent;
    ++d;
  }
  return d;
}

// Is i below top (-1: the top of the tree)? Only direct children unless deep.
bool below(int i, int top, bool deep) {
  int p = kObjects[i].parent;
  if (!deep) return p == top;
  if (top < 0) return true;
  for (; p >= 0; p = kObjects[p].parent)
    if (p == top) return true;
  return false;
}

// A null filter matches anything; otherwise the field must be equal (an empty text matches
// only an empty field).
bool matches(const char *filter, const char *field) {
  return !filter || std::strcmp(filter, field) == 0;
}

void tree_line(std::string &out, int i, int indent, uint32_t detail) {
  const ObjectDef &o = kObjects[i];
  out.append(2 * indent, ' ');
  if (detail <= 1) {
    out += o.name;
  } else {
    out += "[" + std::to_string(o.id) + "] " + o.className + " " + o.typeName + " \"" + o.name +
           "\"";
    if (detail >= 3)
      out += std::string(" file ") + o.file + " version " + o.version + " (" + o.date + " " +
             o.time + ")";
  }
  out += '\n';
}
}  // namespace

int object_command(uint32_t index, uint32_t code, QorVoz3String *answer, ErrorData *err) {
  const ObjectDef &o = kObjects[index];
  const char *text = code == QORLIB3_CMD_DESCRIPTION     ? o.description
                     : code == QORLIB3_CMD_SERIAL_NUMBER ? o.serial
                                                         : nullptr;
  if (!text)
    return SIM_FAIL_OBJ(err, QORLIB3_ERR_BAD_ARGUMENT, o.id, o.file,
                        "command 0x%x unknown to the object control", code);
  return put_text(answer, text, err);
}

void objects_release() {
  for (QorHandle &h : g_controls) {
    handle_free(h);
    h = 0;
  }
}

}  // namespace sim

using namespace sim;

extern "C" {

int QorVoz3ObjectSearch(int32_t index, QorObjectId start, const char *className,
                        const char *typeName, const char *name, uint32_t flags,
                        QorObjectId *object, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_NEED_INIT(err);
    SIM_NEED_PTR(err, object, "object id pointer");
    if (index < 0) return SIM_FAIL(err, QORLIB3_ERR_BAD_ARGUMENT, "search index %d", index);
    int top = -1;
    if (start != QORLIB3_NONE && (top = find(start)) < 0) return no_object(err, start);
    int32_t seen = 0;
    for (int i = 0; i < kObjectCount; ++i) {
      const ObjectDef &o = kObjects[i];
      if (!below(i, top, flags & 1) || !matches(className, o.className) ||
          !matches(typeName, o.typeName) || !matches(name, o.name))
        continue;
      if (seen++ == index) {
        *object = o.id;
        return QORLIB3_OK;
      }
    }
    return SIM_FAIL(err, QORLIB3_ERR_NOT_FOUND, "search exhausted: %d matching objects", seen);
  };
  return gate_status(OP_ObjectSearch, err, work, index, start, className, typeName, name, flags,
                     object, err);
}

int QorVoz3ObjectInfo(QorObjectId object, uint32_t selector, QorVoz3String *text,
                      ErrorData *err) {
  auto work = [&]() -> int {
    SIM_NEED_INIT(err);
    int i = find(object);
    if (i < 0) return no_object(err, object);
    const ObjectDef &o = kObjects[i];
    const char *const answers[] = {nullptr, o.className, o.typeName, o.name, o.date,
                                   o.time,  o.file,      o.version};
    if (selector < 1 || selector > 7)
      return SIM_FAIL_OBJ(err, QORLIB3_ERR_BAD_ARGUMENT, o.id, o.file,
                          "info selector %u unknown (1..7)", selector);
    return put_text(text, answers[selector], err);
  };
  return gate_status(OP_ObjectInfo, err, work, object, selector, text, err);
}

int QorVoz3GetCInterface(QorObjectId object, uint32_t type, QorHandle *handle, ErrorData *err) {
  auto work = [&]() -> int {
    SIM_NEED_INIT(err);
    SIM_NEED_PTR(err, handle, "handle pointer");
    int i = find(object);
    if (i < 0) return no_object(err, object);
    const ObjectDef &o = kObjects[i];
    if (type != QORLIB3_CINTERFACE_OBJECT_CONTROL || !o.description)
      return SIM_FAIL_OBJ(err, QORLIB3_ERR_NOT_PRESENT, o.id, o.file,
                          "object %u (%s) has no control interface of type 0x%x", o.id, o.name,
                          type);
    if (g_controls[i] == 0) {
      g_controls[i] = handle_new(SLOT_OBJECT_CONTROL, nullptr, static_cast<uint32_t>(i));
      if (g_controls[i] == 0) return SIM_FAIL(err, QORLIB3_ERR_NO_MEMORY, "no handle left");
    }
    *handle = g_controls[i];
    return QORLIB3_OK;
  };
  return gate_status(OP_GetCInterface, err, work, object, type, handle, err);
}

int QorVoz3ObjTreeSprintf(QorVoz3String *text, QorObjectId object, uint32_t detail) {
  auto work = [&]() -> int {
    if (!text || !text->text) return QORLIB3_ERR_NULL_POINTER;
    if (text->capacity == 0) return QORLIB3_ERR_STRING_TOO_SMALL;
    text->text[0] = '\0';
    if (!g_initialised) return QORLIB3_ERR_NOT_INITIALISED;
    int top = -1;
    if (object != QORLIB3_NONE && (top = find(object)) < 0) return QORLIB3_ERR_NOT_FOUND;
    std::string out;
    int base = top < 0 ? 0 : depth(top);
    for (int i = 0; i < kObjectCount; ++i)
      if (i == top || below(i, top, true)) tree_line(out, i, depth(i) - base, detail);
    return put_text(text, out.c_str(), nullptr);
  };
  return gate_value(OP_ObjTreeSprintf, work, text, object, detail);
}

}  // extern "C"
