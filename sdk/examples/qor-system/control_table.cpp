// control_table.cpp: building, drawing and editing the viewer's control table.
#include "control_table.h"

#include <allegro.h>

#include <cstdio>
#include <cstring>

#include "image_upload.h"
#include "screen_patch.h"
#include "text_cache.h"
#include "viewer.h"
#include "video.h"

ControlTable controlTable;

namespace {

constexpr uint32_t INSTANCES_PER_TYPE = 10;
constexpr uint32_t INPUT_CONTROL_INSTANCES = 10;

// Shown for a unit code the unit list has no name for, and for a nameless row.
const char *const UNKNOWN_NAME = "?";

const char *Name_Of(const ControlEntry &row) {
  return row.name ? row.name : UNKNOWN_NAME;
}

const char *Unit_Name(uint32_t unit) {
  const char *name = QorVoz3ListGetString(unit, QorVoz3ListGetStdList(QORLIB3_STDLIST_UNIT));
  return name ? name : UNKNOWN_NAME;
}

void Classify_Option(ControlEntry *row) {
  uint32_t value = 0;
  if (QorVoz3OptionGetEnumVal(row->handle, &value, &viewer.error) <= 0) {
    row->kind = CONTROL_KIND_ENUM;
    Console_Printf("<ENUM>\n");
    return;
  }
  row->unit = 0;
  if (QorVoz3OptionNextScalarUnit(row->handle, &row->unit, &viewer.error) <= 0) {
    row->kind = CONTROL_KIND_SCALAR;
    Console_Printf("<SCALAR>\n");
    return;
  }
  uint32_t x = 0, y = 0, w = 0, h = 0;
  if (QorVoz3OptionGetRect(row->handle, &x, &y, &w, &h, &viewer.error) <= 0) {
    row->kind = CONTROL_KIND_RECT;
    row->rectPart = 0;
    Console_Printf("<RECT>\n");
    return;
  }
  Console_Printf("<UNKNOWN>\n");
}

// An info entry that is not a scalar prints nothing, so its console line stays open.
void Classify_Info(ControlEntry *row) {
  int32_t value = 0;
  uint32_t unit = 0;
  if (QorVoz3GetInfoScalarVal(row->handle, &value, &unit, &viewer.error) <= 0) {
    row->kind = CONTROL_KIND_INFO_SCALAR;
    Console_Printf("<INFO SCALAR>\n");
  }
}

// Every instance of every type in the list, until a lookup is refused or the table is full.
void Fill_From_List(QorHandle system, QorHandle list, void (*classify)(ControlEntry *)) {
  for (uint32_t index = 0; controlTable.count < CONTROL_TABLE_SIZE; ++index) {
    ControlEntry row{};
    uint32_t type = 0;
    if (QorVoz3ListGetAll(&row.name, &type, index, list) == 0) break;
    for (uint32_t k = 0; k < INSTANCES_PER_TYPE && controlTable.count < CONTROL_TABLE_SIZE; ++k) {
      Console_Printf("  %-20s %u: ", Name_Of(row), k);
      if (QorVoz3SystemGetCInterface(system, type, k, &row.handle, &viewer.error) > 0) {
        Console_Printf("\n");
        break;
      }
      Console_Printf("(%u) ", row.handle);
      row.kind = CONTROL_KIND_UNKNOWN;
      row.unit = 0;
      row.rectPart = 0;
      classify(&row);
      controlTable.entries[controlTable.count++] = row;
    }
  }
}

// Called after a lookup succeeded and its "OK (%u)" was printed. When the lists already filled
// all 200 rows the interface gets no row; the line says so instead of the row going missing
// without a word (and nothing is written past the table).
void Add_Found_Row(const char *name, QorHandle handle, uint32_t kind) {
  if (controlTable.count >= CONTROL_TABLE_SIZE) {
    Console_Printf(" (control table full, not shown)\n");
    return;
  }
  ControlEntry &row = controlTable.entries[controlTable.count++];
  row = ControlEntry{};
  row.name = name;
  row.handle = handle;
  row.kind = kind;
  Console_Printf("\n");
}

const char *Rect_Part_Label(uint32_t part) {
  static const char *const LABELS[] = {"X", "Y", "W", "H"};
  return part < 4 ? LABELS[part] : "?";
}

int Font_Width(const char *text) {
  return text_length(font, text);
}

bool Draw_Out_Interface(const ScreenPatch &patch, uint32_t index, int y, int fg, int bg) {
  const ControlEntry &row = controlTable.entries[index];
  const unsigned slot = TEXT_SLOT_ROWS + 2 * index;
  char *const text = viewer.textBuffer;
  if (!Control_Format_Line(&row, text, TEXT_BUFFER_SIZE)) return false;
  BITMAP *const target = patch.bitmap;
  const int dx = patch.x, dy = patch.y;
  Text_Out_Cached(target, slot, text, -dx, y - dy, fg, bg);
  const int labelWidth = text_length(font, text);

  int written = QorVoz3DataSPrintf(text, TEXT_BUFFER_SIZE, viewer.dataHeaderTmp, nullptr);
  text[TEXT_BUFFER_SIZE - 1] = '\0';
  // The library's count is not trusted beyond the text actually in the buffer.
  uint32_t length = static_cast<uint32_t>(strnlen(text, TEXT_BUFFER_SIZE - 1));
  if (written < 0) written = 0;
  if (static_cast<uint32_t>(written) < length) length = static_cast<uint32_t>(written);
  text[length] = '\0';

  const int screenWidth = screen->w;
  const uint32_t fit = Control_Scroll_Fit(labelWidth, screenWidth, text, length, Font_Width);
  const char *shown = text + Control_Scroll_Offset(fit, length, Clock_Ms());
  Text_Out_Cached(target, slot + 1, shown, labelWidth - dx, y - dy, fg, bg);
  // The text has no trailing blanks and shrinks as it scrolls: clear what the previous pass
  // left right of it.
  const int end = labelWidth + text_length(font, shown);
  if (end < screenWidth)
    rectfill(target, end - dx, y - dy, screenWidth - 1 - dx, y + text_height(font) - 1 - dy, bg);
  return true;
}

}  // namespace

void Control_Table_Reset() {
  std::memset(&controlTable, 0, sizeof controlTable);
}

bool Control_Table_Build(QorHandle system) {
  Console_Printf("Get interfaces:\n");
  const QorHandle interfaces = QorVoz3ListGetStdList(QORLIB3_STDLIST_INTERFACE);
  if (interfaces == 0) {
    Console_Printf("Error get InterfaceList\n");
    return false;
  }
  controlTable.count = 0;
  Fill_From_List(system, interfaces, Classify_Option);

  Console_Printf("Info intefaces\n");
  const QorHandle infos = QorVoz3ListGetStdList(QORLIB3_STDLIST_INFO);
  if (infos == 0) {
    Console_Printf("Error get InterfaceList\n");
    return false;
  }
  Fill_From_List(system, infos, Classify_Info);
  return true;
}

void Control_Table_Add_Interfaces(QorHandle system) {
  QorHandle handle = QORLIB3_NONE;
  Console_Printf("QorVoz3SystemGetOutDInterface: ");
  if (QorVoz3SystemGetOutDInterface(system, QORLIB3_DINTERFACE_ANY, 0, &handle,
                                    &viewer.error) > 0) {
    Console_Printf("Not present\n");
  } else {
    Console_Printf("OK (%u)", handle);
    Add_Found_Row("OUTINTERFACE0", handle, CONTROL_KIND_OUT_INTERFACE);
  }

  for (uint32_t i = 0; i < INPUT_CONTROL_INSTANCES; ++i) {
    Console_Printf("QORLIB3_CINTERFACE_INPUT_CONTROL[%u]: ", i);
    if (QorVoz3SystemGetCInterface(system, QORLIB3_CINTERFACE_INPUT_CONTROL, i, &handle,
                                   &viewer.error) > 0) {
      Console_Printf("Not present\n");
      return;
    }
    Console_Printf("OK (%u)", handle);
    Add_Found_Row("INPUT_CONTROL", handle, CONTROL_KIND_INPUT_CONTROL);
  }
}

bool Control_Format_Line(const ControlEntry *entry, char *buffer, uint32_t size) {
  if (!entry || !buffer || size == 0) return false;
  const char *const name = Name_Of(*entry);
  switch (entry->kind) {
    case CONTROL_KIND_ENUM: {
      // A refused read still draws, from the value's start.
      uint32_t value = 0;
      viewer.status = QorVoz3OptionGetEnumVal(entry->handle, &value, &viewer.error);
      const char *text =
          QorVoz3ListGetString(value, QorVoz3ListGetStdList(QORLIB3_STDLIST_ENUMERATION));
      std::snprintf(buffer, size, "  %-20s: %s%*s", name, text ? text : "???", 70, "");
      return true;
    }
    case CONTROL_KIND_SCALAR: {
      int32_t value = 0, low = 0, high = 0;
      viewer.status = QorVoz3OptionGetScalar(entry->handle, &value, entry->unit, &viewer.error);
      viewer.status =
          QorVoz3OptionGetScalarRange(entry->handle, &low, &high, entry->unit, &viewer.error);
      std::snprintf(buffer, size, "  %-20s:[%d]---  %d ---[%d] (%s)%*s", name, low, value, high,
                    Unit_Name(entry->unit), 49, "");
      return true;
    }
    case CONTROL_KIND_RECT: {
      uint32_t x = 0, y = 0, w = 0, h = 0;
      viewer.status = QorVoz3OptionGetRect(entry->handle, &x, &y, &w, &h, &viewer.error);
      std::snprintf(buffer, size, "  %-20s: (%u,%u)-(%u,%u) %s%*s", name, x, y, w, h,
                    Rect_Part_Label(entry->rectPart), 54, "");
      return true;
    }
    case CONTROL_KIND_OUT_INTERFACE:
      viewer.status =
          QorVoz3OutDInterfaceGetType(entry->handle, viewer.dataHeaderTmp, &viewer.error);
      if (viewer.status > 0) return false;
      std::snprintf(buffer, size, "  %-20s:", name);
      return true;
    case CONTROL_KIND_INPUT_CONTROL:
      std::snprintf(buffer, size, "  %-20s:", name);
      return true;
    case CONTROL_KIND_INFO_SCALAR: {
      int32_t value = 0;
      uint32_t unit = 0;
      viewer.status = QorVoz3GetInfoScalarVal(entry->handle, &value, &unit, &viewer.error);
      if (viewer.status > 0) return false;
      std::snprintf(buffer, size, "  %-20s: %d (%s)%*s", name, value, Unit_Name(unit), 49, "");
      return true;
    }
    default:
      return false;
  }
}

uint32_t Control_Scroll_Fit(int labelWidth, int screenWidth, const char *text, uint32_t length,
                            int (*textWidth)(const char *text)) {
  for (uint32_t s = 0; s < length; ++s) {
    if (labelWidth + textWidth(text + s) <= screenWidth) return s;
  }
  return length;
}

uint32_t Control_Scroll_Offset(uint32_t fit, uint32_t length, uint32_t ms) {
  if (fit == 0) return 0;
  // 64-bit so the step count does not wrap after some eight days of running.
  const uint64_t steps = static_cast<uint64_t>(ms) * 6u / 1000u;
  const uint32_t first = static_cast<uint32_t>(steps % (static_cast<uint64_t>(fit) + 5u));
  // When fit is near the end the five extra steps would start past the terminator, in
  // whatever the text buffer held before.
  return first < length ? first : length;
}

bool Control_Draw_Line_Into(const ScreenPatch &patch, uint32_t index, int y) {
  if (index >= controlTable.count || index >= CONTROL_TABLE_SIZE) return false;
  const ControlEntry &row = controlTable.entries[index];
  if (!screen || !patch.bitmap) {
    // No graphics mode: the row's reads still count for the status, nothing is drawn.
    Control_Format_Line(&row, viewer.textBuffer, TEXT_BUFFER_SIZE);
    return false;
  }
  const bool selected = index == controlTable.selected;
  const int fg = selected ? video.colours.selectionText : video.colours.text;
  const int bg = selected ? video.colours.selectionBackground : video.colours.background;

  if (row.kind == CONTROL_KIND_OUT_INTERFACE) return Draw_Out_Interface(patch, index, y, fg, bg);
  if (!Control_Format_Line(&row, viewer.textBuffer, TEXT_BUFFER_SIZE)) return false;
  Text_Out_Cached(patch.bitmap, TEXT_SLOT_ROWS + 2 * index, viewer.textBuffer, -patch.x,
                  y - patch.y, fg, bg);
  return true;
}

void Control_Draw_Line(uint32_t index, int y) {
  if (index >= controlTable.count || index >= CONTROL_TABLE_SIZE) return;
  ScreenPatch patch{};
  // The row's own patch keeps the screen's pixels beyond its text; an undrawn row sends nothing.
  if (screen) Patch_Begin(&patch, 0, y, screen->w, text_height(font), true);
  if (Control_Draw_Line_Into(patch, index, y)) Patch_End(patch);
}

void Control_Step(ControlEntry *entry, int32_t delta) {
  if (!entry) return;
  switch (entry->kind) {
    case CONTROL_KIND_ENUM:
      // The enumeration only moves forward, whichever way the operator steps.
      viewer.status = QorVoz3OptionSetNextEnumVal(entry->handle, 0, &viewer.error);
      break;
    case CONTROL_KIND_SCALAR:
      viewer.status = QorVoz3OptionRelScalar(entry->handle, delta, entry->unit, &viewer.error);
      break;
    case CONTROL_KIND_RECT: {
      if (entry->rectPart > 3) break;
      int32_t d[4] = {0, 0, 0, 0};
      d[entry->rectPart] = delta;
      viewer.status = QorVoz3OptionRelRect(entry->handle, d[0], d[1], d[2], d[3], &viewer.error);
      break;
    }
    default:
      break;
  }
}

void Control_Next_Unit(ControlEntry *entry) {
  if (!entry) return;
  // Status not kept: U on a row that has no units must not end the viewer.
  QorVoz3OptionNextScalarUnit(entry->handle, &entry->unit, &viewer.error);
}

void Control_Select_Part(ControlEntry *entry, uint32_t part) {
  if (entry && entry->kind == CONTROL_KIND_RECT) entry->rectPart = part;
}

void Control_Command(ControlEntry *entry, uint32_t code) {
  if (!entry || entry->kind != CONTROL_KIND_INPUT_CONTROL) return;
  // Status not kept: a refused command must not end the viewer.
  QorVoz3CallCInterface_0(entry->handle, code, &viewer.error);
}

void Control_Activate(ControlEntry *entry) {
  if (!entry) return;
  if (entry->kind == CONTROL_KIND_OUT_INTERFACE) {
    Image_Upload(entry->handle);
  } else if (entry->kind == CONTROL_KIND_INPUT_CONTROL) {
    Control_Command(entry, QORLIB3_CMD_INPUT_TRIGGER);
  }
}
