// overlay.cpp: what the viewer draws: frame, attributes, histogram, status lines, frame rate.
#include "overlay.h"

#include <allegro.h>

#include <cstdio>
#include <cstring>

#include "acquisition.h"
#include "control_table.h"
#include "display_buffer.h"
#include "screen_patch.h"
#include "text_cache.h"
#include "video.h"
#include "viewer.h"

Overlay overlay;

namespace {

// Attribute lines are 10 pixels apart whatever the font.
constexpr int ATTRIBUTE_STEP = 10;
// Nothing here draws a longer line than the text buffer plus its label.
constexpr unsigned LINE_SIZE = TEXT_BUFFER_SIZE + 64;
const char *const PROMPT_TEXT = "Press enter for next frame...";

BITMAP *Display_Bitmap() {
  return viewer.displayBuffer ? viewer.displayBuffer->bitmap : nullptr;
}

// Adds one 8-bit bitmap's pixels to bins. One partial table per byte of an 8-byte load, so
// that pixels of the same level do not wait on each other's increment.
void Count_8bit(BITMAP *bitmap, uint32_t bins[256]) {
  constexpr int PARTS = 8;
  uint32_t part[PARTS][256];
  std::memset(part, 0, sizeof part);
  const int width = bitmap->w;
  for (int y = 0; y < bitmap->h; ++y) {
    const unsigned char *row = bitmap->line[y];
    int x = 0;
    for (; x + PARTS <= width; x += PARTS) {
      uint64_t v;
      std::memcpy(&v, row + x, sizeof v);
      for (int k = 0; k < PARTS; ++k) ++part[k][(v >> (8 * k)) & 0xff];
    }
    for (; x < width; ++x) ++part[0][row[x]];
  }
  for (int i = 0; i < 256; ++i)
    for (int k = 0; k < PARTS; ++k) bins[i] += part[k][i];
}

// Writes a header's description into the shared text buffer; empty when there is none or the
// library writes nothing (its status is not looked at).
const char *Header_Text(const DisplayBuffer *buffer, bool displayHeader) {
  viewer.textBuffer[0] = '\0';
  if (displayHeader && !buffer) return viewer.textBuffer;
  QorHandle header = displayHeader ? buffer->header : viewer.dataHeaderIn;
  QorVoz3DataSPrintf(viewer.textBuffer, TEXT_BUFFER_SIZE, header, nullptr);
  viewer.textBuffer[TEXT_BUFFER_SIZE - 1] = '\0';
  return viewer.textBuffer;
}

// A text drawn with a background paints its whole box; a transparent one (bg -1) keeps the
// pixels between its strokes, so its patch must start from the screen's pixels.
bool Transparent(int bg) {
  return bg < 0;
}

void Text_Line(BITMAP *target, const char *text, int y) {
  if (y >= target->h) return;   // below the target: clipped away anyway
  const int fg = video.colours.text, bg = video.colours.background;
  acquire_bitmap(target);
  if (target == screen) {
    ScreenPatch patch;
    Patch_Begin(&patch, 0, y, text_length(font, text), text_height(font), Transparent(bg));
    textout_ex(patch.bitmap, font, text, -patch.x, y - patch.y, fg, bg);
    Patch_End(patch);
  } else {
    textout_ex(target, font, text, 0, y, fg, bg);
  }
  release_bitmap(target);
}

}  // namespace

void Overlay_Reset() {
  std::memset(&overlay, 0, sizeof overlay);
  overlay.lineHeight = text_height(font) + 1;
}

int Overlay_Screen_W() { return screen ? screen->w : 0; }
int Overlay_Screen_H() { return screen ? screen->h : 0; }

int Overlay_Top() {
  uint32_t entries = controlTable.count;
  if (entries > CONTROL_TABLE_SIZE) entries = CONTROL_TABLE_SIZE;
  return Overlay_Screen_H() - static_cast<int>(entries + 4) * overlay.lineHeight;
}

void Histogram_Count_Frame() {
  BITMAP *bitmap = Display_Bitmap();
  if (!bitmap || viewer.stretchFlag || !viewer.histogramFlag) return;
  Histogram_Count(bitmap);
}

void Histogram_Count(BITMAP *bitmap) {
  if (!bitmap) return;
  acquire_bitmap(bitmap);
  std::memset(overlay.bins, 0, sizeof overlay.bins);
  if (bitmap_color_depth(bitmap) == 8) Count_8bit(bitmap, overlay.bins);
  release_bitmap(bitmap);
  Histogram_Scale(overlay.bins);
}

void Histogram_Scale(uint32_t bins[256]) {
  uint32_t maximum = 0;
  for (int i = 0; i < 256; ++i)
    if (bins[i] > maximum) maximum = bins[i];
  uint32_t reference = 0;
  for (int i = 0; i < 256; ++i)
    if (bins[i] < maximum && bins[i] > reference) reference = bins[i];
  // One level only (or all non-empty levels alike): those are the peak, shown full height.
  if (reference == 0) reference = maximum;
  if (reference == 0) return;
  for (int i = 0; i < 256; ++i) {
    // 64 bits: a 32-bit product wraps from 2^24 pixels of one level on.
    uint64_t scaled = static_cast<uint64_t>(bins[i]) * HISTOGRAM_FULL / reference;
    bins[i] = scaled > HISTOGRAM_FULL ? HISTOGRAM_FULL : static_cast<uint32_t>(scaled);
  }
}

void Histogram_Draw() {
  if (!viewer.histogramFlag || !screen) return;
  const int top = Overlay_Top();
  int height[256];
  for (int x = 0; x < 256; ++x) {
    const uint32_t bar = overlay.bins[x];
    height[x] = static_cast<int>(bar < HISTOGRAM_FULL ? bar : HISTOGRAM_FULL);
  }
  int tallest = 0;
  for (int x = 0; x < 256; ++x)
    if (height[x] > tallest) tallest = height[x];
  // Above a shorter bar the patch holds what the screen showed, so one blit leaves it alone.
  ScreenPatch patch;
  const int clearTop = top - tallest - HISTOGRAM_CLEAR_HEIGHT;
  Patch_Begin(&patch, 0, clearTop, 256, top - clearTop + 1, true);
  const int dy = patch.y;
  for (int x = 0; x < 256; ++x)
    vline(patch.bitmap, x - patch.x, top - dy, top - height[x] - dy, video.colours.text);
  for (int x = 0; x < 256; ++x)
    vline(patch.bitmap, x - patch.x, top - height[x] - dy,
          top - height[x] - HISTOGRAM_CLEAR_HEIGHT - dy, video.colours.background);
  Patch_End(patch);
}

void Attribute_Value_Text(char *buffer, unsigned size, uint32_t type, uint32_t value) {
  if (!buffer || size == 0) return;
  switch (type) {
    case QORLIB3_ATTR_TEMPERATURE:
      std::snprintf(buffer, size, "%d C   ", static_cast<int32_t>(value));
      break;
    case QORLIB3_ATTR_ANGLE: {
      // Single precision at every step: the shown digits depend on it.
      float angle = static_cast<float>(static_cast<int32_t>(value));
      angle = angle * 360.0f;
      angle = angle / 2147483648.0f;
      std::snprintf(buffer, size, "%f (grad)   ", static_cast<double>(angle));
      break;
    }
    case QORLIB3_ATTR_RATIO:
    case QORLIB3_ATTR_RATIO_B:
    case QORLIB3_ATTR_RATIO_C: {
      const uint32_t denominator = value >> 16;
      if (denominator == 0) {
        std::snprintf(buffer, size, "Error val");
        break;
      }
      const float ratio = static_cast<float>(value & 0xffffu) / static_cast<float>(denominator);
      std::snprintf(buffer, size, "%f  ", static_cast<double>(ratio));
      break;
    }
    default:
      std::snprintf(buffer, size, "*%lu    ", static_cast<unsigned long>(value));
      break;
  }
}

void Attribute_Format(char *buffer, unsigned size, uint32_t type, uint32_t objectId,
                      uint32_t value) {
  if (!buffer || size == 0) return;
  const char *name =
      QorVoz3ListGetString(type, QorVoz3ListGetStdList(QORLIB3_STDLIST_ATTRIBUTE_TYPE));
  if (!name) name = "???";
  int used = std::snprintf(buffer, size, "ObjId %u: Type:%s (%x) Val:", objectId, name, type);
  if (used < 0) used = 0;
  if (static_cast<unsigned>(used) >= size) return;   // label already fills the buffer
  Attribute_Value_Text(buffer + used, size - static_cast<unsigned>(used), type, value);
}

void Attributes_Draw() {
  BITMAP *target = viewer.attributeViewFlag ? screen : Display_Bitmap();
  uint32_t total = 0;
  // A refused total is no frame failure; it just means no attribute lines.
  if (QorVoz3InDInterfaceGetAddOnAtributeTotal(viewer.inputData, &total, &viewer.error) > 0)
    total = 0;
  std::snprintf(viewer.textBuffer, TEXT_BUFFER_SIZE, "Total %u attribute", total);
  if (target) Text_Line(target, viewer.textBuffer, 0);
  for (uint32_t i = 0; i < total; ++i) {
    uint32_t type = 0, objectId = 0, value = 0;
    if (QorVoz3InDInterfaceGetAddOnAtributeNum(viewer.inputData, i, &type, &objectId, &value,
                                               &viewer.error) > 0)
      type = objectId = value = 0;
    Attribute_Format(viewer.textBuffer, TEXT_BUFFER_SIZE, type, objectId, value);
    const int64_t y = ATTRIBUTE_STEP + static_cast<int64_t>(ATTRIBUTE_STEP) * i;
    if (target && y < target->h) Text_Line(target, viewer.textBuffer, static_cast<int>(y));
  }
}

void Frame_Show() {
  if (!screen) return;
  const int width = Overlay_Screen_W();
  const int height = Overlay_Screen_H();
  if (cycle.badTypeFlag) {
    char message[MESSAGE_BUFFER_SIZE];
    std::snprintf(message, sizeof message, "%.*s", static_cast<int>(MESSAGE_BUFFER_SIZE - 1),
                  cycle.messageBuffer);
    const int bg = video.colours.background;
    const int length = text_length(font, message);
    acquire_screen();
    ScreenPatch patch;
    Patch_Begin(&patch, width / 2 - length / 2, height / 2, length, text_height(font),
                Transparent(bg));
    textout_centre_ex(patch.bitmap, font, message, width / 2 - patch.x, height / 2 - patch.y,
                      video.colours.text, bg);
    Patch_End(patch);
    release_screen();
    return;
  }
  if (viewer.attributeViewFlag) return;   // the screen keeps the attribute lines
  BITMAP *bitmap = Display_Bitmap();
  if (!bitmap) return;
  // The frame fills the whole area and the image lands on it: the patch needs nothing of the
  // screen, and the frame and the image reach it in one blit instead of two.
  acquire_screen();
  ScreenPatch patch;
  if (!viewer.stretchFlag) {
    Patch_Begin(&patch, 0, 0, bitmap->w + 2, bitmap->h + 2, false);
    rectfill(patch.bitmap, -patch.x, -patch.y, bitmap->w + 1 - patch.x, bitmap->h + 1 - patch.y,
             video.colours.frame);
    acquire_bitmap(bitmap);
    blit(bitmap, patch.bitmap, 0, 0, 1 - patch.x, 1 - patch.y, bitmap->w, bitmap->h);
    release_bitmap(bitmap);
    Patch_End(patch);
  } else if (width > 0 && height > 2) {
    Patch_Begin(&patch, 0, 0, width, height - 1, false);
    rectfill(patch.bitmap, -patch.x, -patch.y, width - patch.x, height - 2 - patch.y,
             video.colours.frame);
    acquire_bitmap(bitmap);
    stretch_blit(bitmap, patch.bitmap, 0, 0, bitmap->w, bitmap->h, 1 - patch.x, 1 - patch.y,
                 width, height - 2);
    release_bitmap(bitmap);
    Patch_End(patch);
  }
  release_screen();
}

void Single_Step_Prompt() {
  if (!screen) return;
  const int x = Overlay_Screen_W() / 2, y = Overlay_Screen_H() / 2;
  ScreenPatch patch;
  Patch_Begin(&patch, x, y, text_length(font, PROMPT_TEXT), text_height(font), false);
  textprintf_ex(patch.bitmap, font, x - patch.x, y - patch.y, 255, 0,
                "Press enter for next frame...");
  Patch_End(patch);
}

bool Frame_Rate_Tick(uint32_t now, double *fps) {
  if (overlay.fpsStart == 0) {
    overlay.fpsStart = now;
    return false;
  }
  const uint32_t elapsed = now - overlay.fpsStart;
  ++overlay.fpsFrames;
  if (elapsed == 0) return false;
  *fps = overlay.fpsFrames * 1000.0 / elapsed;
  if (elapsed / 1000 > 2) {
    overlay.fpsFrames = 0;
    overlay.fpsStart = now;
  }
  return true;
}

void Frame_Rate_Draw() {
  if (overlay.fpsStart == 0) overlay.fpsWhite = makecol(255, 255, 255);
  double fps = 0.0;
  if (!Frame_Rate_Tick(Clock_Ms(), &fps) || !screen) return;
  const int right = Overlay_Screen_W();
  // Both lines in one patch; it keeps the screen's pixels between them and left of the
  // shorter one.
  char fpsText[64], dtText[32];
  std::snprintf(fpsText, sizeof fpsText, "FPS: %2.2f", fps);
  std::snprintf(dtText, sizeof dtText, "dT: %5d", 1000);
  const int wFps = text_length(font, fpsText), wDt = text_length(font, dtText);
  const int widest = wFps > wDt ? wFps : wDt;
  ScreenPatch patch;
  Patch_Begin(&patch, right - widest, 1, widest, 11 + text_height(font) - 1, true);
  textprintf_right_ex(patch.bitmap, font, right - patch.x, 1 - patch.y, overlay.fpsWhite, 0,
                      "FPS: %2.2f", fps);
  textprintf_right_ex(patch.bitmap, font, right - patch.x, 11 - patch.y, overlay.fpsWhite, 0,
                      "dT: %5d", 1000);
  Patch_End(patch);
}

void Status_Line_Format(char *buffer, unsigned size, int line) {
  if (!buffer || size == 0) return;
  buffer[0] = '\0';
  switch (line) {
    case 0: {
      const char *name = cycle.stateName ? cycle.stateName : State_Name(cycle.state);
      std::snprintf(buffer, size, "State [%-20s] %s ReadySize %10u ESC exit", name,
                    viewer.stretchFlag ? "Stretch" : "Not Stretch",
                    static_cast<unsigned>(static_cast<uint32_t>(cycle.readySize)));
      break;
    }
    case 1:
      std::snprintf(buffer, size, "Transport:%s Mode %s", Transport_Name(cycle.transport),
                    Video_Mode_Text());
      break;
    case 2:
      std::snprintf(buffer, size, "Screen : %s", Header_Text(viewer.displayBuffer, true));
      break;
    case 3:
      std::snprintf(buffer, size, "Device : %s", Header_Text(viewer.displayBuffer, false));
      break;
    default:
      break;
  }
}

void Status_Lines_Draw() {
  // The control rows draw on the screen too; without one there is nothing to draw on.
  if (!screen) return;
  static char line[LINE_SIZE];
  uint32_t entries = controlTable.count;
  if (entries > CONTROL_TABLE_SIZE) entries = CONTROL_TABLE_SIZE;
  int y = Overlay_Top();
  // The whole block in one patch. It starts from the screen's pixels: the gap row under each
  // line, the ends of short lines and undrawn rows show what was there before.
  ScreenPatch patch;
  Patch_Begin(&patch, 0, y, Overlay_Screen_W(), static_cast<int>(entries + 4) * overlay.lineHeight,
              true);
  for (int i = 0; i < 4; ++i) {
    Status_Line_Format(line, sizeof line, i);
    Text_Out_Cached(patch.bitmap, TEXT_SLOT_STATUS + static_cast<unsigned>(i), line, -patch.x,
                    y - patch.y, video.colours.text, video.colours.background);
    y += overlay.lineHeight;
  }
  for (uint32_t i = 0; i < entries; ++i) {
    Control_Draw_Line_Into(patch, i, y);
    y += overlay.lineHeight;
  }
  Patch_End(patch);
}
