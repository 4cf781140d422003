// startup.cpp: what the viewer is asked to run: command line, option overrides, system dialogue.
#include "startup.h"

#include <cctype>
#include <cstring>

#include "video.h"
#include "viewer.h"

namespace {

const char *const BAD_OPTION_FORMAT = "\nBad command line option: %.*s\n";

// Scans blanks, sign and digits of a "%u"/"%d" field; magnitude saturates above 32 bits.
bool Scan_Number(const char *text, const char *end, bool *negative, uint64_t *magnitude) {
  auto more = [&](const char *p) { return (end ? p < end : true) && *p != '\0'; };
  const char *p = text;
  while (more(p) && std::isspace(static_cast<unsigned char>(*p))) ++p;
  *negative = false;
  if (more(p) && (*p == '+' || *p == '-')) *negative = *p++ == '-';
  if (!more(p) || !std::isdigit(static_cast<unsigned char>(*p))) return false;
  uint64_t m = 0;
  for (; more(p) && std::isdigit(static_cast<unsigned char>(*p)); ++p) {
    if (m <= UINT32_MAX) m = m * 10 + static_cast<uint64_t>(*p - '0');
  }
  *magnitude = m;
  return true;
}

void Bad_Option(const char *arg, size_t shown) {
  Console_Printf(BAD_OPTION_FORMAT, static_cast<int>(shown), arg);
}

// "o<width>-<height>[-<letters>]": the message shows the argument only up to its first '-'.
void Screen_Option(const char *arg) {
  const char *text = arg + 1;
  const char *dash = std::strchr(text, '-');
  uint32_t width = 0;
  uint32_t height = 0;
  const char *heightEnd = dash ? std::strchr(dash + 1, '-') : nullptr;
  if (!Scan_Unsigned(text, dash, &width) || !dash || !Scan_Unsigned(dash + 1, heightEnd, &height)) {
    Bad_Option(arg, dash ? static_cast<size_t>(dash - arg) : std::strlen(arg));
    return;
  }
  Video_Set_Size(width, height);
  for (const char *c = heightEnd; c && *c; ++c) {
    switch (*c) {
      case 'C': case 'c': Video_Select_Mode(COLOR); break;
      case 'F': case 'f': Video_Select_Mode(FULL); break;
      case 'G': case 'g': Video_Select_Mode(GRAY); break;
      case 'W': case 'w': Video_Select_Mode(WIN); break;
      default: break;
    }
  }
}

// Like fscanf(in, "%u"): 1 with a number, 0 when something else comes first, EOF at the end.
int Read_Answer(FILE *in, uint32_t *value) {
  int c;
  do {
    c = std::fgetc(in);
  } while (c != EOF && std::isspace(c));
  if (c == EOF) return EOF;
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    c = std::fgetc(in);
  }
  if (c == EOF || !std::isdigit(c)) {
    if (c != EOF) std::ungetc(c, in);
    return 0;
  }
  uint64_t m = 0;
  for (; c != EOF && std::isdigit(c); c = std::fgetc(in)) {
    if (m <= UINT32_MAX) m = m * 10 + static_cast<uint64_t>(c - '0');
  }
  if (c != EOF) std::ungetc(c, in);
  // A number too long for an id is no answer either.
  if (m > UINT32_MAX) return 0;
  *value = negative ? 0u - static_cast<uint32_t>(m) : static_cast<uint32_t>(m);
  return 1;
}

void Discard_Line(FILE *in) {
  int c;
  do {
    c = std::fgetc(in);
  } while (c != EOF && c != '\n');
}

}  // namespace

bool Scan_Unsigned(const char *text, const char *end, uint32_t *value) {
  bool negative;
  uint64_t m;
  if (!Scan_Number(text, end, &negative, &m) || m > UINT32_MAX) return false;
  // As with "%u", a minus sign wraps the value round.
  *value = negative ? 0u - static_cast<uint32_t>(m) : static_cast<uint32_t>(m);
  return true;
}

bool Scan_Signed(const char *text, int32_t *value) {
  bool negative;
  uint64_t m;
  if (!Scan_Number(text, nullptr, &negative, &m)) return false;
  if (m > (negative ? 0x80000000u : 0x7fffffffu)) return false;
  *value = static_cast<int32_t>(negative ? -static_cast<int64_t>(m) : static_cast<int64_t>(m));
  return true;
}

void Command_Line_Read(int argc, const char *const *argv) {
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    uint32_t id = 0;
    switch (arg[0]) {
      case '-':
        break;
      case 'o':
        Screen_Option(arg);
        break;
      case 'p':
        viewer.pioFlag = true;
        break;
      case 's':
        if (Scan_Unsigned(arg + 1, nullptr, &id)) {
          viewer.systemId = static_cast<int32_t>(id);
        } else {
          Bad_Option(arg, std::strlen(arg));
        }
        break;
      default:
        Bad_Option(arg, std::strlen(arg));
        break;
    }
  }
}

const char *Option_Override(const char *name, int argc, const char *const *argv) {
  if (!name) return nullptr;
  const size_t length = std::strlen(name);
  const char *value = nullptr;
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    if (arg[0] != '-') continue;
    const char *equals = std::strchr(arg, '=');
    if (equals && static_cast<size_t>(equals - arg - 1) == length &&
        std::strncmp(arg + 1, name, length) == 0) {
      value = equals + 1;
    }
  }
  return value;
}

const char *System_Name(uint32_t systemId) {
  const char *name = QorVoz3ListGetString(systemId, QorVoz3ListGetStdList(QORLIB3_STDLIST_SYSTEM));
  return name ? name : "unknown";
}

bool System_Choose(FILE *in) {
  if (viewer.systemId != -1) return true;  // given with s: no dialogue and no check
  const QorHandle systems = QorVoz3ListGetStdList(QORLIB3_STDLIST_SYSTEM);
  while (viewer.systemId == -1) {
    Console_Printf("\nSelect System ID:\n");
    const char *name = nullptr;
    uint32_t value = 0;
    for (uint32_t i = 0; QorVoz3ListGetAll(&name, &value, i, systems); ++i) {
      Console_Printf("%-20s: %u\n", name ? name : "", value);
    }
    Console_Printf("ID: ");
    uint32_t id = 0;
    const int got = Read_Answer(in, &id);
    if (got == EOF) {
      Console_Printf("\nNo system chosen: standard input ended.\n");
      return false;
    }
    if (got == 0) {
      Discard_Line(in);
      continue;
    }
    viewer.systemId = static_cast<int32_t>(id);
    if (!QorVoz3ListGetString(id, systems)) {
      Console_Printf("Bad ID !!!\n");
      viewer.systemId = -1;
    }
  }
  return true;
}
