// usage.cpp: the viewer's help text (qor-system --help or -h): command line, keys, exit status.
#include "usage.h"

#include <cstring>

namespace {

// README.md shows the same arguments and keys; change both together.
const char *const USAGE_TEXT =
    "usage: qor-system [sID] [oWIDTH-HEIGHT[-LETTERS]] [p] [-OPTION=VALUE ...]\n"
    "       qor-system --help | -h\n"
    "\n"
    "Live viewer: creates an acquisition system, lists (and overrides) its options, then shows\n"
    "its frames with status lines, control rows, histogram and frame attributes.\n"
    "\n"
    "  sID               system id; without it the systems are listed and the id is read\n"
    "                    from standard input\n"
    "  oW-H[-LETTERS]    screen size and mode letters: G grey, C colour, F full screen,\n"
    "                    W window (default 800x600 grey full screen); a colour window is\n"
    "                    8-bit grey too: only a full-screen colour mode has colour\n"
    "  p                 read image rows with PIO transfers\n"
    "  -OPTION=VALUE     set a scalar option (native unit) before the system is initialised\n"
    "  anything else     \"Bad command line option\", ignored\n"
    "\n"
    "Keys while frames are shown (hold shift or ctrl down until the arrow key is read):\n"
    "  ESC               leave\n"
    "  UP / DOWN         select a control row\n"
    "  LEFT / RIGHT      change the selected option by 1; shift x10, ctrl x100, both x1000\n"
    "                    (an enumeration goes to its next value)\n"
    "  U                 next unit of a scalar\n"
    "  X Y W H           which rectangle value LEFT / RIGHT change\n"
    "  E / D             start / stop command on an INPUT_CONTROL row\n"
    "  ENTER             next frame in single-step mode; on OUTINTERFACE0 upload a BMP; on\n"
    "                    INPUT_CONTROL a software trigger\n"
    "  SPACE / shift+SPACE\n"
    "                    software trigger to input control 0 / restart to the transfer\n"
    "                    control\n"
    "  S                 stretch the image to the screen\n"
    "  V                 attribute view (and re-allocate the buffers)\n"
    "  F2                save the shown image as BMP (the attribute text is in it unless\n"
    "                    the attribute view is on)\n"
    "  F3                single-step mode\n"
    "  F4                histogram\n"
    "  T / M             device tree / a line of dashes on the console\n"
    "\n"
    "Exit status: 0 after a clean shutdown, 255 after a failure before the frame loop or in\n"
    "the shutdown, without a display, or when standard input ends in the system dialogue.\n";

}  // namespace

bool Usage_Asked(int argc, const char *const *argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
  }
  return false;
}

void Usage_Print(FILE *out) {
  std::fputs(USAGE_TEXT, out);
  std::fflush(out);
}
