// lists.cpp: the standard lists and the three list operations.
#include "lists.h"

#include "call.h"
#include "catalogue.h"
#include "source.h"

namespace sim {

namespace {
const ListEntry kErrors[] = {
    {"No error", 0},
    {"Generic error", QORLIB3_ERR_GENERIC},
    {"No data", QORLIB3_ERR_NO_DATA},
    {"Bad handle", QORLIB3_ERR_BAD_HANDLE},
    {"Null pointer", QORLIB3_ERR_NULL_POINTER},
    {"Bad argument", QORLIB3_ERR_BAD_ARGUMENT},
    {"String too small", QORLIB3_ERR_STRING_TOO_SMALL},
    {"Library not initialised", QORLIB3_ERR_NOT_INITIALISED},
    {"Wrong kind of interface", QORLIB3_ERR_WRONG_KIND},
    {"Block state", QORLIB3_ERR_BLOCK_STATE},
    {"Out of memory", QORLIB3_ERR_NO_MEMORY},
    {"Not found", QORLIB3_ERR_NOT_FOUND},
    {"Unknown system", QORLIB3_ERR_UNKNOWN_SYSTEM},
    {"Wait timeout", QORLIB3_ERR_TIMEOUT},
    {"Interface not present", QORLIB3_ERR_NOT_PRESENT},
};
const ListEntry kInterfaces[] = {
    {"TestPattern", kTypeTestPattern},
    {"PixelFormat", kTypePixelFormat},
    {"ExposureTime", kTypeExposureTime},
    {"FrameRate", kTypeFrameRate},
    {"Gain", kTypeGain},
    {"ROI", kTypeRoi},
    {"InputControl", QORLIB3_CINTERFACE_INPUT_CONTROL},
    {"TransferControl", QORLIB3_CINTERFACE_TRANSFER_CONTROL},
    {"LineScanMode", kTypeLineScanMode},
    {"LineRate", kTypeLineRate},
    {"LineTrigger", kTypeLineTrigger},
    {"Width", kTypeWidth},
    {"Height", kTypeHeight},
};
const ListEntry kOptions[] = {
    {"TestPattern", kTypeTestPattern},   {"PixelFormat", kTypePixelFormat},
    {"ExposureTime", kTypeExposureTime}, {"FrameRate", kTypeFrameRate},
    {"Gain", kTypeGain},                 {"ROI", kTypeRoi},
    {"LineScanMode", kTypeLineScanMode}, {"LineRate", kTypeLineRate},
    {"LineTrigger", kTypeLineTrigger},   {"Width", kTypeWidth},
    {"Height", kTypeHeight},
};
const ListEntry kInfos[] = {
    {"SensorTemp", kInfoSensorTemp},     {"FrameCounter", kInfoFrameCounter},
    {"FirmwareBuild", kInfoFirmwareBuild}, {"FramesDropped", kInfoFramesDropped},
    {"SourceRate", kInfoSourceRate},     {"StreamEnded", kInfoStreamEnded},
};
const ListEntry kUnits[] = {
    {"us", kUnitUs}, {"ms", kUnitMs}, {"Hz", kUnitHz},          {"mHz", kUnitMHz},
    {"dB", kUnitDb}, {"C", kUnitC},   {"frames", kUnitFrames},    {"px", kUnitPixels},
    {"flag", kUnitFlag},
};
const ListEntry kEnumerations[] = {
    {"Gradient", kPatGradient}, {"MovingBar", kPatMovingBar}, {"Checkerboard", kPatCheckerboard},
    {"Noise", kPatNoise},       {"UploadedImage", kPatUploaded}, {"Mono8", kFmtMono8},
    {"Mono16", kFmtMono16},     {"Mono8", QORLIB3_PIXFMT_MONO8}, {"Mono16", QORLIB3_PIXFMT_MONO16},
    {"Color24", QORLIB3_PIXFMT_RGB},
};
const ListEntry kAttributes[] = {
    {"Temperature", QORLIB3_ATTR_TEMPERATURE}, {"Angle", QORLIB3_ATTR_ANGLE},
    {"Ratio", QORLIB3_ATTR_RATIO},             {"RatioB", QORLIB3_ATTR_RATIO_B},
    {"RatioC", QORLIB3_ATTR_RATIO_C},
};
const ListEntry kSystems[] = {
    {"SimMono8", 1},      {"SimRaw8", 2},    {"SimMono16", 3},   {"SimColor24", 4},
    {"SimDataDevice", 5}, {"SimMinimal", 6}, {"SimLineScan", 8}, {"SimSource", 9},
};

// The last sourceOnly entries of a list belong to system 9 and are listed only while
// QORSIM_SOURCE is set, so that the programs' transcripts stay as they are without it.
struct StdList {
  uint32_t number;
  const ListEntry *entries;
  uint32_t count;
  uint32_t sourceOnly;
};
#define SIM_LIST(n, table, sourceOnly) {n, table, sizeof(table) / sizeof(table[0]), sourceOnly}
const StdList kLists[] = {
    SIM_LIST(QORLIB3_STDLIST_ERROR, kErrors, 0),
    SIM_LIST(QORLIB3_STDLIST_INTERFACE, kInterfaces, 2),
    SIM_LIST(QORLIB3_STDLIST_UNIT, kUnits, 2),
    SIM_LIST(QORLIB3_STDLIST_ENUMERATION, kEnumerations, 3),
    SIM_LIST(QORLIB3_STDLIST_ATTRIBUTE_TYPE, kAttributes, 0),
    SIM_LIST(QORLIB3_STDLIST_SYSTEM, kSystems, 1),
    SIM_LIST(QORLIB3_STDLIST_OPTION, kOptions, 2),
    SIM_LIST(QORLIB3_STDLIST_INFO, kInfos, 3),
};
#undef SIM_LIST
}  // namespace

QorHandle list_handle(uint32_t number) {
  for (const StdList &l : kLists)
    if (l.number == number) return number + 1;
  return 0;
}

const ListEntry *list_entries(QorHandle list, uint32_t *count) {
  for (const StdList &l : kLists)
    if (l.number + 1 == list) {
      *count = source_configured() ? l.count : l.count - l.sourceOnly;
      return l.entries;
    }
  *count = 0;
  return nullptr;
}

const char *list_text(QorHandle list, uint32_t value) {
  uint32_t count;
  const ListEntry *entries = list_entries(list, &count);
  for (uint32_t i = 0; i < count; ++i)
    if (entries[i].value == value) return entries[i].text;
  return nullptr;
}

}  // namespace sim

using namespace sim;

extern "C" {

QorHandle QorVoz3ListGetStdList(uint32_t number) {
  return gate<QorHandle>(
      OP_ListGetStdList, [&] { return list_handle(number); },
      [](int64_t v) { return static_cast<QorHandle>(v); }, number);
}

int QorVoz3ListGetAll(const char **text, uint32_t *value, uint32_t index, QorHandle list) {
  auto work = [&]() -> int {
    uint32_t count;
    const ListEntry *entries = list_entries(list, &count);
    if (!entries || index >= count) return 0;
    if (text) *text = entries[index].text;
    if (value) *value = entries[index].value;
    return 1;
  };
  // A faulted non-zero result still leaves defined outputs: the entry, or an injected text.
  auto fault = [&](int64_t v) -> int {
    if (v != 0 && !work()) {
      if (text) *text = inject_text(v);
      if (value) *value = 0;
    }
    return static_cast<int>(v);
  };
  return gate<int>(OP_ListGetAll, work, fault, text, value, index, list);
}

const char *QorVoz3ListGetString(uint32_t value, QorHandle list) {
  return gate<const char *>(
      OP_ListGetString, [&] { return list_text(list, value); }, inject_text, value, list);
}

}  // extern "C"
