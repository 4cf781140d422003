// errors.cpp: error records made by the library and the error report formatter.
#include "qorlib3.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "call.h"
#include "lists.h"

namespace sim {

namespace {
std::set<ErrorData *> g_records;

const char *or_empty(const char *text) { return text ? text : ""; }

// Expands the report directives: %t kind of report, %c code, %m message, %f source file,
// %l line, %d date, %i object id, %I object file, %r the error list's text for the code.
std::string expand(const char *format, const ErrorData &e, QorHandle errorList) {
  std::string out;
  char num[32];
  for (const char *p = format; *p; ++p) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    char d = p[1];
    if (!d) {
      out += '%';
      break;
    }
    ++p;
    switch (d) {
      case 't':
        out += e.code > 0 ? "Error" : e.code < 0 ? "Warning" : "Ok";
        break;
      case 'c':
        std::snprintf(num, sizeof num, "%d", static_cast<int>(e.code));
        out += num;
        break;
      case 'm':
        out += or_empty(e.message);
        break;
      case 'f':
        out += or_empty(e.sourceFile);
        break;
      case 'l':
        std::snprintf(num, sizeof num, "%d", static_cast<int>(e.line));
        out += num;
        break;
      case 'd':
        out += or_empty(e.date);
        break;
      case 'i':
        std::snprintf(num, sizeof num, "%d", static_cast<int>(e.objectId));
        out += num;
        break;
      case 'I':
        out += or_empty(e.objectFile);
        break;
      case 'r': {
        const char *text = list_text(errorList, static_cast<uint32_t>(e.code));
        out += text ? text : "Unknown error";
        break;
      }
      case '%':
        out += '%';
        break;
      default:  // not a directive: kept as written
        out += '%';
        out += d;
        break;
    }
  }
  return out;
}
}  // namespace

}  // namespace sim

using namespace sim;

extern "C" {

int QorVoz3ErrorDataCreate(ErrorData **record) {
  return gate_value(
      OP_ErrorDataCreate,
      [&]() -> int {
        if (!record) return QORLIB3_ERR_NULL_POINTER;
        ErrorData *e = new ErrorData{0, 0, -1, nullptr, "", "", ""};
        g_records.insert(e);
        *record = e;
        return QORLIB3_OK;
      },
      record);
}

int QorVoz3ErrorDataFree(ErrorData *record) {
  return gate_value(
      OP_ErrorDataFree,
      [&]() -> int {
        if (!record) return QORLIB3_ERR_NULL_POINTER;
        auto it = g_records.find(record);
        if (it == g_records.end()) return QORLIB3_ERR_BAD_ARGUMENT;  // not one of ours
        g_records.erase(it);
        delete record;
        return QORLIB3_OK;
      },
      record);
}

int QorVoz3ErrorPrintf(const char *format, const ErrorData *record, QorHandle errorList) {
  return gate_value(
      OP_ErrorPrintf,
      [&]() -> int {
        if (!format || !record) return QORLIB3_ERR_NULL_POINTER;
        std::string text = expand(format, *record, errorList);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
        return QORLIB3_OK;
      },
      format, record, errorList);
}

int QorVoz3ErrorSPrintf(char *buffer, uint32_t size, const char *format, const ErrorData *record,
                        QorHandle errorList) {
  return gate_value(
      OP_ErrorSPrintf,
      [&]() -> int {
        if (!buffer || size == 0) return -1;
        buffer[0] = '\0';
        if (!format || !record) return -1;
        std::string text = expand(format, *record, errorList);
        size_t n = text.size() < size - 1 ? text.size() : size - 1;
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
        return static_cast<int>(n);
      },
      buffer, size, format, record, errorList);
}

}  // extern "C"
