// qor-system_api.cpp: the viewer's main flow, from the command line to the shutdown.
#include "viewer.h"

#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "acquisition.h"
#include "console_streams.h"
#include "control_table.h"
#include "display_buffer.h"
#include "startup.h"
#include "usage.h"
#include "stop_signals.h"
#include "video.h"

namespace {

constexpr int EXIT_FAILED = -1;

// Keeps a checked call's status; a failure prints the library's report.
bool Failed(int status) {
  viewer.status = status;
  if (status <= 0) return false;
  Viewer_Print_Error();
  return true;
}

bool Library_Start() {
  Console_Printf("Init QOR-VOZ3:");
  if (Failed(QorVoz3Init(&viewer.error))) return false;
  Console_Printf("OK\n");
  return true;
}

bool System_Create() {
  const uint32_t id = static_cast<uint32_t>(viewer.systemId);
  Console_Printf("Create system [%s]: ", System_Name(id));
  if (Failed(QorVoz3SystemCreate(id, &viewer.system, &viewer.error))) return false;
  Console_Printf("OK (%u)\n", viewer.system);
  return true;
}

// One option instance's line: its kind, with a scalar override applied and read back.
void Option_Show(QorHandle option, const char *override) {
  uint32_t enumValue = 0;
  int32_t value = 0;
  if (QorVoz3OptionGetEnumVal(option, &enumValue, &viewer.error) <= 0) {
    Console_Printf("<ENUM>\n");
    return;
  }
  if (QorVoz3OptionGetScalar(option, &value, 0, &viewer.error) > 0) {
    Console_Printf("<UNKNOWN>\n");
    return;
  }
  int32_t number = 0;
  if (override && Scan_Signed(override, &number)) {
    // A refused value shows as the unchanged value read back below.
    QorVoz3OptionSetScalar(option, number, 0, &viewer.error);
  }
  QorVoz3OptionGetScalar(option, &value, 0, &viewer.error);
  Console_Printf("<SCALAR> %d \n", value);
}

bool Options_List(int argc, const char *const *argv) {
  Console_Printf("Get system options:\n");
  const QorHandle options = QorVoz3ListGetStdList(QORLIB3_STDLIST_OPTION);
  if (options == 0) {
    Console_Printf("Error get InterfaceList\n");
    return false;
  }
  const char *name = nullptr;
  uint32_t type = 0;
  for (uint32_t index = 0; QorVoz3ListGetAll(&name, &type, index, options); ++index) {
    for (uint32_t j = 0; j < 10; ++j) {
      QorHandle option = QORLIB3_NONE;
      if (QorVoz3SystemGetOptionCInterface(viewer.system, type, j, &option, &viewer.error) > 0) break;
      Console_Printf("  %-20s %u:(%u) ", name ? name : "", j, option);
      Option_Show(option, Option_Override(name, argc, argv));
    }
  }
  return true;
}

bool Header_Create(const char *label, QorHandle *header) {
  Console_Printf("%s", label);
  if (Failed(QorVoz3DataheaderCreate(header, &viewer.error))) return false;
  Console_Printf("OK\n");
  return true;
}

bool System_Initialise() {
  if (!Header_Create("Alloc DataHeaderIn: ", &viewer.dataHeaderIn) ||
      !Header_Create("Alloc DataHeaderInOld: ", &viewer.dataHeaderInOld) ||
      !Header_Create("Alloc DataHeader16: ", &viewer.dataHeader16) ||
      !Header_Create("Alloc DataHeaderTmp: ", &viewer.dataHeaderTmp)) {
    return false;
  }
  Console_Printf("Init system:");
  viewer.status = QorVoz3SystemInit(viewer.system, &viewer.error);
  if (viewer.status > 0) {
    Console_Printf("ERR\n");
    Viewer_Print_Error();
    Device_Tree_Print();
    return false;
  }
  Console_Printf("OK\n");
  Device_Tree_Print();
  Device_Tree_Print();
  return true;
}

bool Input_Data_Get() {
  Console_Printf("QorVoz3SystemGetInDInterface: ");
  if (Failed(QorVoz3SystemGetInDInterface(viewer.system, QORLIB3_DINTERFACE_ANY, 0,
                                          &viewer.inputData, &viewer.error))) {
    return false;
  }
  Console_Printf("OK (%u)\n", viewer.inputData);
  return true;
}

// The input or transfer control; a system without one goes on with the handle at none.
bool Control_Get(const char *label, uint32_t type, QorHandle *control) {
  Console_Printf("%s", label);
  const int status = QorVoz3SystemGetCInterface(viewer.system, type, 0, control, &viewer.error);
  if (status == QORLIB3_ERR_NOT_PRESENT) {
    viewer.status = 0;
    *control = QORLIB3_NONE;
    Console_Printf("  Skipped\n");
    return true;
  }
  if (Failed(status)) return false;
  Console_Printf("  Ok (%u)\n", *control);
  return true;
}

// Everything from the library start to the graphics mode; false after a failure that ends
// the run on the spot.
bool Start_Up(int argc, const char *const *argv) {
  if (!System_Create() || !Options_List(argc, argv) || !System_Initialise()) return false;
  if (!Control_Table_Build(viewer.system)) return false;
  if (!Input_Data_Get()) return false;
  Control_Table_Add_Interfaces(viewer.system);
  return Control_Get("QORLIB3_CINTERFACE_INPUT_CONTROL: ", QORLIB3_CINTERFACE_INPUT_CONTROL,
                     &viewer.inputControl) &&
         Control_Get("QORLIB3_CINTERFACE_TRANSFER_CONTROL: ", QORLIB3_CINTERFACE_TRANSFER_CONTROL,
                     &viewer.transferControl);
}

enum GraphicsResult { GRAPHICS_READY, GRAPHICS_NO_ALLEGRO, GRAPHICS_FAILED };

// Allegro, the graphics mode and the display buffer. Without them the loop cannot run, and
// Allegro crashes on any call after a failed start, so each outcome is told apart.
GraphicsResult Graphics_Start() {
  Console_Printf("Enable GFX mode  ");
  if (Video_Install_Allegro() != 0) {
    // Allegro leaves its error text empty here; the missing X display is the usual cause.
    Console_Printf("Unable to start Allegro (no display?)\n");
    return GRAPHICS_NO_ALLEGRO;
  }
  if (install_keyboard() != 0) {
    // Without the keyboard ESC could never end the loop.
    Console_Printf("Unable to install the keyboard: %s\n", allegro_error);
    return GRAPHICS_FAILED;
  }
  set_display_switch_mode(SWITCH_BACKAMNESIA);
  Console_Printf("VideoMode:%s\n", Video_Mode_Text());
  Video_Open();
  if (video.depth == 0) return GRAPHICS_FAILED;  // "Unable setup video mode." says why
  viewer.displayBuffer = Display_Buffer_Create(0, 0);
  if (!viewer.displayBuffer) {
    Console_Printf("Unable to create the display buffer.\n");
    return GRAPHICS_FAILED;
  }
  return GRAPHICS_READY;
}

// The fixed shutdown order; the graphics steps only when Allegro was started.
int Shut_Down(bool allegroStarted) {
  if (allegroStarted) Video_Close();
  Device_Tree_Print();
  if (viewer.displayBuffer) Display_Buffer_Release(viewer.displayBuffer);
  if (allegroStarted) allegro_exit();
  if (viewer.status > 0) Viewer_Print_Error();
  Console_Printf("Destroy system:");
  if (Failed(QorVoz3SystemDestroy(viewer.system, &viewer.error))) return EXIT_FAILED;
  Console_Printf("OK\n");
  if (Failed(QorVoz3Exit(&viewer.error))) return EXIT_FAILED;
  return 0;
}

}  // namespace

// A stop signal (SIGINT, SIGTERM, SIGHUP) is recorded from the start; the start-up steps run to
// their end and the loop, at its first pass, ends as after ESC. Only the system dialogue gives way
// at once, as when its input ends.
int main(int argc, char **argv) {
  if (!Std_Streams_Open()) return EXIT_FAILED;
  Std_Output_Check_At_Exit("qor-system", EXIT_FAILED);
  Stop_Signals_Install();
  const char *const *args = argv;
  // Help is all a user asking for it wants: before the library starts, nothing to release.
  if (Usage_Asked(argc, args)) {
    Usage_Print(stdout);
    return 0;
  }
  Command_Line_Read(argc, args);
  if (!Library_Start()) return EXIT_FAILED;
  Stop_Signals_End_Input(true);
  const bool chosen = System_Choose(stdin);
  Stop_Signals_End_Input(false);
  if (!chosen) {
    Failed(QorVoz3Exit(&viewer.error));
    return EXIT_FAILED;
  }
  if (!Start_Up(argc, args)) return EXIT_FAILED;

  // Allegro's start-up puts handlers of its own on the stop signals (and on an ignored one):
  // signals wait until ours are back.
  Stop_Signals_Hold(true);
  const GraphicsResult graphics = Graphics_Start();
  Stop_Signals_Install();
  Stop_Signals_Hold(false);
  // The cycle, the selection and the toggles start from their static start values.
  if (graphics == GRAPHICS_READY) Acquisition_Loop();
  const int code = Shut_Down(graphics != GRAPHICS_NO_ALLEGRO);
  return graphics == GRAPHICS_READY ? code : EXIT_FAILED;
}
