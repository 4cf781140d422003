// qor-devinfo.cpp: searches the library's objects by class, type and name and prints their info.
#include <cstddef>

#include "console_streams.h"
#include "devinfo_options.h"
#include "error_check.h"
#include "qorlib3.h"

namespace {

const uint32_t VERSION_BUFFER_SIZE = 10240;
const uint32_t SEARCH_WHOLE_TREE = 1;
const uint32_t OBJECT_CONTROL_VALUE = 284;  // passed unchanged: its meaning is the library's

struct InfoField {
  uint32_t selector;
  const char *label;  // printed before the text, which is followed by one space
};

const InfoField FIRST_INFO_LINE[] = {
    {QORLIB3_INFO_CLASS, "Class:"},
    {QORLIB3_INFO_TYPE, "Type:"},
    {QORLIB3_INFO_NAME, "Name:"},
};
const InfoField SECOND_INFO_LINE[] = {
    {QORLIB3_INFO_FILE, "File:"},
    {QORLIB3_INFO_MODIFY_DATE, "Modify date:"},
    {QORLIB3_INFO_MODIFY_TIME, "Modify time:"},
    {QORLIB3_INFO_VERSION, "Version :"},
};

// The run's only record. Init sets its code; static storage makes it start at 0 should an
// Init report success without touching it.
ErrorData record;
DevinfoOptions options;

// Every answer (version, info texts, description, serial number) lands in this one buffer.
char versionBuffer[VERSION_BUFFER_SIZE];
QorVoz3String answer;

// The answer's text; a library that moved the text elsewhere or left none still prints safely.
const char *Answer_Text() {
  if (answer.text == versionBuffer) versionBuffer[VERSION_BUFFER_SIZE - 1] = '\0';
  return answer.text ? answer.text : "";
}

const char *Filter_Text(const char *filter) { return filter ? filter : "*"; }

// A failing query prints nothing and the next one follows.
template <size_t N>
void Print_Info_Line(QorObjectId object, const InfoField (&fields)[N]) {
  Console_Printf("   ");
  for (const InfoField &field : fields) {
    if (QorVoz3ObjectInfo(object, field.selector, &answer, &record) <= 0)
      Console_Printf("%s%s ", field.label, Answer_Text());
  }
  Console_Printf("\n");
}

// Objects without an object control interface simply have no description or serial number.
void Print_Object_Control(QorObjectId object) {
  QorHandle control = QORLIB3_NONE;
  if (QorVoz3GetCInterface(object, QORLIB3_CINTERFACE_OBJECT_CONTROL, &control, &record) > 0)
    return;
  if (QorVoz3CallCInterface_1(control, QORLIB3_CMD_DESCRIPTION, OBJECT_CONTROL_VALUE,
                              &answer, &record) <= 0)
    Console_Printf("   Descript string:%s\n", Answer_Text());
  if (QorVoz3CallCInterface_1(control, QORLIB3_CMD_SERIAL_NUMBER, OBJECT_CONTROL_VALUE,
                              &answer, &record) <= 0)
    Console_Printf("   Serial number:%s\n", Answer_Text());
}

void Search_Objects() {
  int32_t index = 0;
  do {
    QorObjectId object = QORLIB3_NONE;
    // The status that ends the search is the ordinary end of every run: not reported.
    if (QorVoz3ObjectSearch(index, QORLIB3_NONE, options.classFilter, options.typeFilter,
                            options.nameFilter, SEARCH_WHOLE_TREE, &object, &record) > 0)
      return;
    Console_Printf("Object id %u\n", object);
    Print_Info_Line(object, FIRST_INFO_LINE);
    Print_Info_Line(object, SECOND_INFO_LINE);
    Print_Object_Control(object);
  } while (Search_Index_Next(&index));
}

}  // namespace

int main(int argc, char **argv) {
  if (!Std_Streams_Open()) return 1;
  Std_Output_Check_At_Exit("qor-devinfo", 1);
  const char *program = argc > 0 ? argv[0] : "qor-devinfo";
  switch (Devinfo_Parse_Options(argc, argv, &options)) {
    case PARSE_USAGE:
      Devinfo_Print_Usage(program);
      return 0;
    case PARSE_UNKNOWN:
      Devinfo_Print_Unknown_Option(options.badOption, program);
      return 1;
    case PARSE_SEARCH:
      break;
  }

  Console_Printf("Init QOR-VOZ3: ");
  QorVoz3Init(&record);
  Error_Check(&record);
  Console_Printf("Ok\n");

  answer.capacity = VERSION_BUFFER_SIZE;
  answer.text = versionBuffer;
  if (QorVoz3VersionInfo(&answer, &record) > 0) Error_Check(&record);
  Console_Printf("QOR-VOZ3:%s\n", Answer_Text());

  Console_Printf("Searc options Class \"%s\" Type \"%s\" Name \"%s\"\n",
                 Filter_Text(options.classFilter), Filter_Text(options.typeFilter),
                 Filter_Text(options.nameFilter));
  Search_Objects();

  Console_Printf("Shutdown QOR-VOZ3: ");
  QorVoz3Exit(&record);  // shutting down anyway: its status is not examined
  Console_Printf("Ok\n");
  return 0;
}
