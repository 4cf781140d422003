/* sim_header_c99.c: the binding compiles as strict C99 and its records have the agreed shape. */
#include <stddef.h>
#include <stdio.h>

#include "qorlib3.h"

int main(void) {
  ErrorData record = {0, 0, -1, NULL, NULL, NULL, NULL};
  QorVoz3String text = {0, NULL};
  QorHandle list = QorVoz3ListGetStdList(QORLIB3_STDLIST_SYSTEM);
  int ok = sizeof(QorHandle) == 4 && sizeof(QorObjectId) == 4 && offsetof(ErrorData, code) == 0 &&
           offsetof(ErrorData, line) == 4 && offsetof(ErrorData, objectId) == 8 &&
           offsetof(ErrorData, objectFile) < offsetof(ErrorData, message) &&
           offsetof(QorVoz3String, capacity) == 0 && list != 0 && record.objectId == -1 &&
           text.text == NULL && QORLIB3_NONE == 0xFFFFFFFFu;
  if (!ok) puts("the binding's records or numbers are not as agreed");
  return ok ? 0 : 1;
}
