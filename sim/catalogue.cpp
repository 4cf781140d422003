// catalogue.cpp: the simulated systems, with the options and infos each one offers.
#include "catalogue.h"

#include "qorlib3.h"

namespace sim {

namespace {
const uint32_t kPatternsAll[] = {kPatGradient, kPatMovingBar, kPatCheckerboard, kPatNoise,
                                 kPatUploaded};
const uint32_t kFormats[] = {kFmtMono8, kFmtMono16};
const uint32_t kSourceFormats[] = {QORLIB3_PIXFMT_MONO8, QORLIB3_PIXFMT_MONO16, QORLIB3_PIXFMT_RGB};

// Scalars keep their value in the finest unit; the native unit is listed first.
const OptionDef kTestPattern = {kTypeTestPattern, OPT_ENUM, 0, 0, 0, {}, kPatternsAll, 5, 0};
const OptionDef kTestPatternNoUpload = {kTypeTestPattern, OPT_ENUM, 0, 0, 0, {},
                                        kPatternsAll, 4, 0};
const OptionDef kPixelFormat = {kTypePixelFormat, OPT_ENUM, 0, 0, 0, {}, kFormats, 2, 0};
const OptionDef kExposure = {kTypeExposureTime, OPT_SCALAR, 1000, 1000000, 20000,
                             {{kUnitUs, 1}, {kUnitMs, 1000}}, nullptr, 0, 0};
const OptionDef kFrameRate = {kTypeFrameRate, OPT_SCALAR, 0, 1000000, 25000,
                              {{kUnitHz, 1000}, {kUnitMHz, 1}}, nullptr, 0, 0};
const OptionDef kGain = {kTypeGain, OPT_SCALAR, 0, 48, 0, {{kUnitDb, 1}, {0, 0}}, nullptr, 0, 0};
const OptionDef kSourceFormat = {kTypePixelFormat, OPT_ENUM, 0, 0, 0, {}, kSourceFormats, 3, 0};
// 0: the source's own size.
const OptionDef kWidth = {kTypeWidth, OPT_SCALAR, 0, 8192, 0, {{kUnitPixels, 1}, {0, 0}},
                          nullptr, 0, 0};
const OptionDef kHeight = {kTypeHeight, OPT_SCALAR, 0, 8192, 0, {{kUnitPixels, 1}, {0, 0}},
                           nullptr, 0, 0};
const OptionDef kRoi = {kTypeRoi, OPT_RECT, 0, 0, 0, {}, nullptr, 0, 0};
const OptionDef kLineScanMode = {kTypeLineScanMode, OPT_SCALAR, 0, 3, 0, {}, nullptr, 0, 0};
const OptionDef kLineRate = {kTypeLineRate, OPT_SCALAR, 100, 100000, 10240,
                             {{kUnitHz, 1}, {0, 0}}, nullptr, 0, 0};
const OptionDef kLineTrigger = {kTypeLineTrigger, OPT_SCALAR, 0, 1, 0, {}, nullptr, 0, 0};

const InfoDef kTemp = {kInfoSensorTemp, INFO_TEMPERATURE, kUnitC};
const InfoDef kCounter = {kInfoFrameCounter, INFO_FRAME_COUNTER, kUnitFrames};
const InfoDef kFirmware = {kInfoFirmwareBuild, INFO_NOT_SCALAR, 0};
const InfoDef kSourceCounter = {kInfoFrameCounter, INFO_SOURCE, kUnitFrames};
const InfoDef kSourceDropped = {kInfoFramesDropped, INFO_SOURCE, kUnitFrames};
const InfoDef kSourceRate = {kInfoSourceRate, INFO_SOURCE, kUnitMHz};
const InfoDef kSourceEnded = {kInfoStreamEnded, INFO_SOURCE, kUnitFlag};

const OptionDef *const kOptions1[] = {&kTestPattern, &kPixelFormat, &kExposure,
                                      &kFrameRate,   &kGain,        &kRoi};
const OptionDef *const kOptionsCamera[] = {&kTestPatternNoUpload, &kFrameRate};
const OptionDef *const kOptionsData[] = {&kFrameRate};
const OptionDef *const kOptionsLine[] = {&kLineScanMode, &kLineRate, &kLineTrigger};
const OptionDef *const kOptionsSource[] = {&kSourceFormat, &kWidth, &kHeight};

const InfoDef *const kInfos1[] = {&kTemp, &kCounter, &kFirmware};
const InfoDef *const kInfosCamera[] = {&kCounter};
const InfoDef *const kInfosSource[] = {&kSourceCounter, &kSourceDropped, &kSourceRate,
                                       &kSourceEnded};

const SystemDef kSystems[] = {
    {1, "SimMono8", QORLIB3_KIND_IMAGE, 640, 480, 8, 1, QORLIB3_PIXFMT_MONO8,
     QORLIB3_LAYOUT_PLANAR_MONO, false, true, true, 2, true, kOptions1, 6, kInfos1, 3},
    {2, "SimRaw8", QORLIB3_KIND_IMAGE, 1024, 768, 8, 1, QORLIB3_PIXFMT_RAW8,
     QORLIB3_LAYOUT_PLANAR_MONO, false, false, false, 1, true, kOptionsCamera, 2, kInfosCamera,
     1},
    {3, "SimMono16", QORLIB3_KIND_IMAGE, 640, 480, 16, 1, QORLIB3_PIXFMT_MONO16,
     QORLIB3_LAYOUT_PLANAR_MONO, false, false, false, 1, true, kOptionsCamera, 2, kInfosCamera,
     1},
    {4, "SimColor24", QORLIB3_KIND_IMAGE, 640, 480, 8, 3, QORLIB3_PIXFMT_RGB,
     QORLIB3_LAYOUT_BGR_PACKED, false, false, false, 1, true, kOptionsCamera, 2, kInfosCamera,
     1},
    {5, "SimDataDevice", 5, 4096, 1, 8, 1, 0, 0, false, false, false, 1, true, kOptionsData, 1,
     kInfosCamera, 1},
    {6, "SimMinimal", QORLIB3_KIND_IMAGE, 320, 240, 8, 1, QORLIB3_PIXFMT_MONO8,
     QORLIB3_LAYOUT_PLANAR_MONO, false, false, false, 0, false, kOptionsCamera, 2, nullptr, 0},
    {8, "SimLineScan", QORLIB3_KIND_IMAGE, 2048, 256, 8, 1, QORLIB3_PIXFMT_MONO8,
     QORLIB3_LAYOUT_PLANAR_MONO, true, false, false, 0, true, kOptionsLine, 3, nullptr, 0},
    // The size and format come from the pipeline's negotiated caps (source.cpp).
    {9, "SimSource", QORLIB3_KIND_IMAGE, 0, 0, 8, 1, QORLIB3_PIXFMT_MONO8,
     QORLIB3_LAYOUT_PLANAR_MONO, false, false, false, 1, true, kOptionsSource, 3, kInfosSource,
     4},
};
}  // namespace

const SystemDef *catalogue_find(uint32_t systemId) {
  for (const SystemDef &s : kSystems)
    if (s.id == systemId) return &s;
  return nullptr;
}

}  // namespace sim
