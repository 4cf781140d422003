// qor-line.cpp: the line viewer: starts line-scan system 8, shows ten blocks, waits for a key.
#include "line_cleanup.h"
#include "line_display.h"
#include "line_transfer.h"
#include "line_usage.h"

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "console_streams.h"
#include "stop_signals.h"

namespace {

const uint32_t LINE_SYSTEM_ID = 8;
const uint32_t LINE_OPTION_MODE = QORLIB3_OPTION_LINE_SCAN_MODE;
const uint32_t LINE_OPTION_RATE = QORLIB3_OPTION_LINE_RATE;
const uint32_t LINE_OPTION_TRIGGER = QORLIB3_OPTION_LINE_TRIGGER;
const int32_t LINE_MODE_VALUE = 3;
const int32_t LINE_TRIGGER_VALUE = 1;
const int LINE_BLOCKS = 10;
const uint32_t LINE_WAIT_TIMEOUT = 100000;
const int SCREEN_WIDTH = 800;
const int SCREEN_HEIGHT = 600;
const int STOP_EXIT_BASE = 128;  // a stopped run ends as the shell reports a signal: 128 + number
const long KEY_POLL_NS = 10 * 1000 * 1000;

const char *const ERROR_FORMAT =
    "\nQORLIB3 %t: %c - %m\n  File: %f\n  Line: %l\n  Date: %d\n  Object Id: %i\n"
    "  ObjFile  : %I \n\n";

char g_errorText[16384];
PALETTE g_greyPalette;

void Say(const char *text) {
  std::fputs(text, stdout);
  std::fflush(stdout);
}

// Reports a failed library call in the framed format and ends the program with -1.
void Check_Status(int status, ErrorData *err) {
  if (status <= 0) return;
  Say("Error\n");
  const QorHandle errorList = QorVoz3ListGetStdList(QORLIB3_STDLIST_ERROR);
  // Cleared and terminated around the call so a failing formatter leaves a printable text.
  g_errorText[0] = '\0';
  QorVoz3ErrorSPrintf(g_errorText, sizeof g_errorText - 1, ERROR_FORMAT, err, errorList);
  g_errorText[sizeof g_errorText - 1] = '\0';
  std::printf("\n=================================\n%s\n=================================\n",
              g_errorText);
  std::fflush(stdout);
  Cleanup_And_Exit(-1);
}

void Start_Library(QorHandle &modeOption, QorHandle &rateOption, QorHandle &triggerOption,
                   QorHandle &transferControl, QorHandle &input) {
  ErrorData *err = g_line.errorData;
  Check_Status(QorVoz3DataheaderCreate(&g_line.dataHeader, err), err);

  Say("QorVoz3Init...");
  Check_Status(QorVoz3Init(err), err);
  Say("Ok\n");

  Say("SystemCreate: ");
  Check_Status(QorVoz3SystemCreate(LINE_SYSTEM_ID, &g_line.system, err), err);
  Say("OK\n");

  Say("SystemInit: ");
  Check_Status(QorVoz3SystemInit(g_line.system, err), err);
  Say("OK\n");

  // The rate option and the transfer control go unused, but a system without them is refused.
  Say("Get Interfaces: ");
  Check_Status(QorVoz3SystemGetCInterface(g_line.system, LINE_OPTION_MODE, 0, &modeOption, err),
               err);
  Check_Status(QorVoz3SystemGetCInterface(g_line.system, LINE_OPTION_RATE, 0, &rateOption, err),
               err);
  Check_Status(
      QorVoz3SystemGetCInterface(g_line.system, LINE_OPTION_TRIGGER, 0, &triggerOption, err), err);
  Check_Status(QorVoz3SystemGetCInterface(g_line.system, QORLIB3_CINTERFACE_TRANSFER_CONTROL, 0,
                                          &transferControl, err),
               err);
  Check_Status(QorVoz3SystemGetInDInterface(g_line.system, QORLIB3_DINTERFACE_ANY, 0, &input, err),
               err);
  Say("OK\n");

  Say("Set options: ");
  Check_Status(QorVoz3OptionSetScalar(modeOption, LINE_MODE_VALUE, 0, err), err);
  Check_Status(QorVoz3OptionSetScalar(triggerOption, LINE_TRIGGER_VALUE, 0, err), err);
  Say("OK\n");
}

// SIGINT, SIGTERM or SIGHUP: the cleanup runs and the program ends.
void Stop_If_Asked() {
  if (const int sig = Stop_Signal()) Cleanup_And_Exit(STOP_EXIT_BASE + sig);
}

// Enters the 800 x 600 grey mode; ends the program with 0 when there is no mode to enter.
void Video_Setup() {
  if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0) {
    // Without a display Allegro is unusable after a failed start, its message facility too.
    std::fputs("Unable to set video mode\n", stderr);
    std::fflush(stderr);
    Cleanup_And_Exit(0);
  }
  install_keyboard();  // Its failure shows only as a key wait that never ends.
  if (set_gfx_mode(GFX_AUTODETECT, SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_WIDTH, SCREEN_HEIGHT) != 0) {
    allegro_message("Unable to set video mode\n");
    Cleanup_And_Exit(0);
  }
  g_line.graphicsActive = 1;
  // 64 grey levels, each on four neighbouring indices, so a byte v shows as grey v / 4.
  for (int i = 0; i < PAL_SIZE; ++i) {
    g_greyPalette[i].r = g_greyPalette[i].g = g_greyPalette[i].b = (unsigned char)(i >> 2);
    g_greyPalette[i].filler = 0;
  }
  set_palette(g_greyPalette);
}

// Allegro's start-up puts handlers of its own on the stop signals; they wait until ours are back.
void Video_Setup_Guarded() {
  Stop_Signals_Hold(true);
  Video_Setup();
  Stop_Signals_Install();
  Stop_Signals_Hold(false);
}

// readkey() would not see a stop signal, and rest() does not sleep without Allegro's timer.
void Key_Wait() {
  const timespec pause = {0, KEY_POLL_NS};
  while (!keypressed()) {
    Stop_If_Asked();
    nanosleep(&pause, nullptr);
  }
  readkey();
}

// Makes one block ready to read: at most one wait, then data or the end of the program.
void Block_Wait(QorHandle input, ErrorData *err) {
  uint64_t ready = 0;
  Check_Status(QorVoz3InDInterfaceQueryReady(input, &ready, err), err);
  if (ready == 0) Check_Status(QorVoz3InDInterfaceWait(input, LINE_WAIT_TIMEOUT, err), err);
  Check_Status(QorVoz3InDInterfaceQueryReady(input, &ready, err), err);
  if (ready == 0) {
    Say("Error: no data\n");
    Cleanup_And_Exit(-1);
  }
}

[[noreturn]] void Blocks_Show(QorHandle input) {
  ErrorData *err = g_line.errorData;
  Say("Get data type:");
  Check_Status(QorVoz3InDInterfaceGetType(input, g_line.dataHeader, err), err);
  QorVoz3DataPrintf(g_line.dataHeader, 0);  // Only prints; its length is of no use here.
  std::fflush(stdout);
  Say("\n");

  uint32_t lineSize = 0;
  uint32_t linesInBlock = 0;
  Check_Status(QorVoz3DataheaderGetU32(g_line.dataHeader, QORLIB3_DH_LINE_SIZE, &lineSize, err),
               err);
  Check_Status(
      QorVoz3DataheaderGetU32(g_line.dataHeader, QORLIB3_DH_LINES_IN_BLOCK, &linesInBlock, err),
      err);
  std::printf("    LineSize    :%lu\n", (unsigned long)lineSize);
  std::fflush(stdout);
  std::printf("    LinesInBlock:%lu\n", (unsigned long)linesInBlock);
  std::fflush(stdout);

  if (!Line_Geometry_Fits(lineSize, linesInBlock)) {
    std::fprintf(stderr, "Block of %lu x %lu bytes does not fit a bitmap\n",
                 (unsigned long)lineSize, (unsigned long)linesInBlock);
    std::fflush(stderr);
  }
  g_line.lineBitmap = Line_Bitmap_Create(lineSize, linesInBlock);
  if (!g_line.lineBitmap) Cleanup_And_Exit(0);
  BITMAP *lines = g_line.lineBitmap;

  const int white = makecol(255, 255, 255);
  ellipse(lines, SCREEN_W / 2, lines->h / 2, SCREEN_W / 2, lines->h / 2, white);

  for (int n = 0; n < LINE_BLOCKS; ++n) {
    Stop_If_Asked();
    Block_Wait(input, err);
    Check_Status(QorVoz3InDInterfaceBeginBlock(input, err), err);
    Check_Status(Line_Block_Transfer(input, lines, err), err);
    Check_Status(QorVoz3InDInterfaceEndBlock(input, err), err);
    Line_Strip_Draw(screen, lines, n, SCREEN_W, white);
  }
  Key_Wait();
  Cleanup_And_Exit(0);
}

}  // namespace

int main(int argc, char **argv) {
  if (!Std_Streams_Open()) return -1;
  Std_Output_Check_At_Exit("qor-line", -1);
  if (Line_Usage_Asked(argc, argv)) {
    Line_Usage_Print();
    return 0;
  }
  Stop_Signals_Install();
  if (QorVoz3ErrorDataCreate(&g_line.errorData) > 0) std::exit(-1);

  QorHandle modeOption = QORLIB3_NONE;
  QorHandle rateOption = QORLIB3_NONE;
  QorHandle triggerOption = QORLIB3_NONE;
  QorHandle transferControl = QORLIB3_NONE;
  QorHandle input = QORLIB3_NONE;
  Start_Library(modeOption, rateOption, triggerOption, transferControl, input);

  Say("Go to video mode and show images.\n");
  Stop_If_Asked();
  Video_Setup_Guarded();
  Blocks_Show(input);
}
