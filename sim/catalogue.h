// catalogue.h: the fixed tables of the simulated systems, their options, infos and patterns.
#pragma once

#include <cstdint>

namespace sim {

// Option and info interface types (standard lists 11 and 12).
constexpr uint32_t kTypeTestPattern = 0x400101;
constexpr uint32_t kTypePixelFormat = 0x400102;
constexpr uint32_t kTypeExposureTime = 0x400103;
constexpr uint32_t kTypeFrameRate = 0x400104;
constexpr uint32_t kTypeGain = 0x400105;
constexpr uint32_t kTypeRoi = 0x400106;
constexpr uint32_t kTypeWidth = 0x400107;
constexpr uint32_t kTypeHeight = 0x400108;
constexpr uint32_t kTypeLineScanMode = 0x400009;
constexpr uint32_t kTypeLineRate = 0x400017;
constexpr uint32_t kTypeLineTrigger = 0x400044;
constexpr uint32_t kInfoSensorTemp = 0x500001;
constexpr uint32_t kInfoFrameCounter = 0x500002;
constexpr uint32_t kInfoFirmwareBuild = 0x500003;
constexpr uint32_t kInfoFramesDropped = 0x500004;
constexpr uint32_t kInfoSourceRate = 0x500005;
constexpr uint32_t kInfoStreamEnded = 0x500006;

// Unit codes (standard list 3).
constexpr uint32_t kUnitUs = 1, kUnitMs = 2, kUnitHz = 3, kUnitMHz = 4, kUnitDb = 5,
                   kUnitC = 6, kUnitFrames = 7, kUnitPixels = 8, kUnitFlag = 9;

// Enumeration values (standard list 4).
constexpr uint32_t kPatGradient = 0x100, kPatMovingBar = 0x101, kPatCheckerboard = 0x102,
                   kPatNoise = 0x104, kPatUploaded = 0x105;
constexpr uint32_t kFmtMono8 = 0x200, kFmtMono16 = 0x201;

enum OptionKind : uint8_t { OPT_ENUM, OPT_SCALAR, OPT_RECT };

struct UnitDef {
  uint32_t code;
  int64_t factor;  // base value = value in this unit x factor
};

struct OptionDef {
  uint32_t type;
  OptionKind kind;
  int64_t low, high, initial;  // scalars, in the base unit
  UnitDef units[2];            // units[0] is the native unit (unit 0); code 0 ends
  const uint32_t *values;      // enumerations
  uint8_t valueCount;
  uint8_t initialIndex;
};

// INFO_SOURCE: a value of system 9's pipeline (source_info).
enum InfoKind : uint8_t { INFO_TEMPERATURE, INFO_FRAME_COUNTER, INFO_NOT_SCALAR, INFO_SOURCE };
struct InfoDef {
  uint32_t type;
  InfoKind kind;
  uint32_t unit;
};

constexpr int kMaxOptions = 8;
constexpr int kMaxInfos = 4;
constexpr int kMaxInputControls = 2;

struct SystemDef {
  uint32_t id;
  const char *name;
  uint32_t kind;  // 3 image, 5 plain data
  uint32_t width, height;
  uint32_t bitsPerElement, elementsPerPixel;
  uint32_t pixelFormat, layout;
  bool lineScan;
  bool output;
  bool attributes;
  uint8_t inputControls;
  bool transferControl;
  const OptionDef *const *options;
  uint8_t optionCount;
  const InfoDef *const *infos;
  uint8_t infoCount;
};

// The catalogue entry of a system id, or null.
const SystemDef *catalogue_find(uint32_t systemId);

// Object id of the camera object a system's frame attributes name.
constexpr uint32_t kCameraObjectId = 4;

// Uploaded image size of system 1's output interface.
constexpr uint32_t kUploadWidth = 640, kUploadHeight = 480;

}  // namespace sim
