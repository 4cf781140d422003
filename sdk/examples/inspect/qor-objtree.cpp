// qor-objtree.cpp: prints the library's device tree.
#include <cstring>

#include "console_streams.h"
#include "error_check.h"
#include "qorlib3.h"

namespace {

const uint32_t TREE_CAPACITY = 200000;
const uint32_t TREE_DETAIL = 3;

// The run's only record. Init sets its code; static storage makes it start at 0 should an
// Init report success without touching it.
ErrorData record;

// The tree's text, or the empty text when the string holds none: a failed allocation leaves
// no buffer, and a text that fills its buffer unterminated is cut at the capacity.
void Print_Tree_Text(const QorVoz3String &tree) {
  const char *text = QorVoz3Str2CStr(&tree);
  if (!text) return;
  size_t length = (text == tree.text) ? strnlen(text, tree.capacity) : std::strlen(text);
  Console_Printf("%.*s", static_cast<int>(length), text);
}

}  // namespace

int main() {  // arguments are not read
  if (!Std_Streams_Open()) return 1;
  Std_Output_Check_At_Exit("qor-objtree", 1);
  Console_Printf("Init QOR-VOZ3: ");
  QorVoz3Init(&record);
  Error_Check(&record);
  Console_Printf("Ok\n");

  // The statuses of the allocation and the print are not examined: whatever text the string
  // holds is printed. Starting it empty means a failed print leaves no stale bytes behind.
  QorVoz3String tree = {0, nullptr};
  QorVoz3StrAlloc(&tree, TREE_CAPACITY, nullptr);
  if (tree.text && tree.capacity > 0) tree.text[0] = '\0';
  QorVoz3ObjTreeSprintf(&tree, QORLIB3_NONE, TREE_DETAIL);
  Console_Printf("QOR-VOZ3 Device Tree:\n");
  Print_Tree_Text(tree);
  QorVoz3StrFree(&tree);

  Console_Printf("Shutdown QOR-VOZ3: ");
  QorVoz3Exit(&record);  // shutting down anyway: its status is not examined
  Console_Printf("Ok\n");
  return 0;
}
