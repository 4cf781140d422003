/* qorlib3.h: the acquisition library's binary interface (operations, records, numbers). */
#ifndef QORLIB3_H
#define QORLIB3_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Statuses: 0 or less is success, above 0 an error code. ---- */
#define QORLIB3_OK                       0
#define QORLIB3_ERR_GENERIC              1    /* unspecified failure */
#define QORLIB3_ERR_NO_DATA              208  /* wait ended without data */
#define QORLIB3_ERR_BAD_HANDLE           301  /* unknown or destroyed handle */
#define QORLIB3_ERR_NULL_POINTER         302  /* a required pointer argument is null */
#define QORLIB3_ERR_BAD_ARGUMENT         303  /* value out of range, unknown number */
#define QORLIB3_ERR_STRING_TOO_SMALL     304  /* text cut to the string's capacity */
#define QORLIB3_ERR_NOT_INITIALISED      305  /* call before QorVoz3Init or after QorVoz3Exit */
#define QORLIB3_ERR_WRONG_KIND           306  /* operation does not apply to this option/interface */
#define QORLIB3_ERR_BLOCK_STATE          307  /* block not begun, already begun, or overrun */
#define QORLIB3_ERR_NO_MEMORY            308
#define QORLIB3_ERR_NOT_FOUND            309  /* search exhausted, no such object */
#define QORLIB3_ERR_UNKNOWN_SYSTEM       310  /* system id outside the catalogue */
#define QORLIB3_ERR_TIMEOUT              1202 /* wait ended without data */
#define QORLIB3_ERR_NOT_PRESENT          1903 /* interface not present */

/* ---- Handles and object ids: 32-bit, -1 is none. ---- */
typedef uint32_t QorHandle;
typedef uint32_t QorObjectId;
#define QORLIB3_NONE ((uint32_t)0xFFFFFFFFu)

/* ---- Error record: filled by failing calls (a null record is allowed). ---- */
typedef struct ErrorData {
  int32_t code;
  int32_t line;
  int32_t objectId;
  const char *objectFile;
  const char *sourceFile;
  const char *date;
  const char *message;
} ErrorData;

/* ---- Library string: capacity in bytes, then the text (may be the caller's buffer). ---- */
typedef struct QorVoz3String {
  uint32_t capacity;
  char *text;
} QorVoz3String;

/* ---- Standard lists (QorVoz3ListGetStdList). ---- */
#define QORLIB3_STDLIST_ERROR          1
#define QORLIB3_STDLIST_INTERFACE      2
#define QORLIB3_STDLIST_UNIT           3
#define QORLIB3_STDLIST_ENUMERATION    4
#define QORLIB3_STDLIST_ATTRIBUTE_TYPE 7
#define QORLIB3_STDLIST_SYSTEM         10
#define QORLIB3_STDLIST_OPTION         11
#define QORLIB3_STDLIST_INFO           12

/* ---- Data header: type kinds and value numbers. ---- */
#define QORLIB3_KIND_IMAGE             3
#define QORLIB3_DH_WIDTH               4
#define QORLIB3_DH_HEIGHT              5
#define QORLIB3_DH_LINE_SIZE           7
#define QORLIB3_DH_LINES_IN_BLOCK      8
#define QORLIB3_DH_PIXEL_FORMAT        9
#define QORLIB3_DH_PIXEL_LAYOUT        10
#define QORLIB3_DH_BITS_PER_PIXEL      11

#define QORLIB3_PIXFMT_MONO8           0x10001u
#define QORLIB3_PIXFMT_RAW8            0x10002u
#define QORLIB3_PIXFMT_MONO16          0x10003u
#define QORLIB3_PIXFMT_RGB             0x10004u
#define QORLIB3_LAYOUT_PLANAR_MONO     0x20000u
#define QORLIB3_LAYOUT_BGR_PACKED      0x20004u
#define QORLIB3_LAYOUT_BGRX_PACKED     0x20005u

/* ---- Interface types. ---- */
#define QORLIB3_DINTERFACE_ANY              0xc0000000u
#define QORLIB3_CINTERFACE_OBJECT_CONTROL   0xc0000002u
#define QORLIB3_CINTERFACE_INPUT_CONTROL    0xc0300002u
#define QORLIB3_CINTERFACE_TRANSFER_CONTROL 0xc0300003u
#define QORLIB3_OPTION_LINE_SCAN_MODE       0x400009u
#define QORLIB3_OPTION_LINE_RATE            0x400017u
#define QORLIB3_OPTION_LINE_TRIGGER         0x400044u

/* ---- Control interface command codes. ---- */
#define QORLIB3_CMD_INPUT_START        0xa0000064u
#define QORLIB3_CMD_INPUT_TRIGGER      0xa0000065u
#define QORLIB3_CMD_INPUT_STOP         0xa0000068u
#define QORLIB3_CMD_TRANSFER_RESTART   0xb0000003u
#define QORLIB3_CMD_SERIAL_NUMBER      0x50000065u
#define QORLIB3_CMD_DESCRIPTION        0x50000066u

/* ---- Frame attribute types (standard list 7). ---- */
#define QORLIB3_ATTR_TEMPERATURE       0x400001u
#define QORLIB3_ATTR_ANGLE             0x400002u
#define QORLIB3_ATTR_RATIO             0x400010u
#define QORLIB3_ATTR_RATIO_B           0x400012u
#define QORLIB3_ATTR_RATIO_C           0x400013u

/* ---- Object info selectors (QorVoz3ObjectInfo). ---- */
#define QORLIB3_INFO_CLASS             1
#define QORLIB3_INFO_TYPE              2
#define QORLIB3_INFO_NAME              3
#define QORLIB3_INFO_MODIFY_DATE       4
#define QORLIB3_INFO_MODIFY_TIME       5
#define QORLIB3_INFO_FILE              6
#define QORLIB3_INFO_VERSION           7

/* ---- Library lifetime. ---- */
int QorVoz3Init(ErrorData *err);
int QorVoz3Exit(ErrorData *err);
int QorVoz3VersionInfo(QorVoz3String *version, ErrorData *err);

/* ---- Error records and reports. ---- */
int QorVoz3ErrorDataCreate(ErrorData **record);
int QorVoz3ErrorDataFree(ErrorData *record);
int QorVoz3ErrorPrintf(const char *format, const ErrorData *record, QorHandle errorList);
/* Returns the length written (at most size - 1), or a negative value on failure. */
int QorVoz3ErrorSPrintf(char *buffer, uint32_t size, const char *format,
                        const ErrorData *record, QorHandle errorList);

/* ---- Standard lists (no status, no record). ---- */
QorHandle QorVoz3ListGetStdList(uint32_t number);
int QorVoz3ListGetAll(const char **text, uint32_t *value, uint32_t index, QorHandle list);
const char *QorVoz3ListGetString(uint32_t value, QorHandle list);

/* ---- Systems. ---- */
int QorVoz3SystemCreate(uint32_t systemId, QorHandle *system, ErrorData *err);
int QorVoz3SystemInit(QorHandle system, ErrorData *err);
int QorVoz3SystemDestroy(QorHandle system, ErrorData *err);
int QorVoz3SystemGetCInterface(QorHandle system, uint32_t type, uint32_t index,
                               QorHandle *handle, ErrorData *err);
int QorVoz3SystemGetOptionCInterface(QorHandle system, uint32_t type, uint32_t index,
                                     QorHandle *handle, ErrorData *err);
int QorVoz3SystemGetInDInterface(QorHandle system, uint32_t type, uint32_t index,
                                 QorHandle *handle, ErrorData *err);
int QorVoz3SystemGetOutDInterface(QorHandle system, uint32_t type, uint32_t index,
                                  QorHandle *handle, ErrorData *err);

/* ---- Options. Unit 0 is the option's native unit. ---- */
int QorVoz3OptionGetScalar(QorHandle option, int32_t *value, uint32_t unit, ErrorData *err);
int QorVoz3OptionSetScalar(QorHandle option, int32_t value, uint32_t unit, ErrorData *err);
int QorVoz3OptionRelScalar(QorHandle option, int32_t delta, uint32_t unit, ErrorData *err);
int QorVoz3OptionGetScalarRange(QorHandle option, int32_t *low, int32_t *high, uint32_t unit,
                                ErrorData *err);
/* Replaces *unit with the option's next unit code (unit 0 gives the first). */
int QorVoz3OptionNextScalarUnit(QorHandle option, uint32_t *unit, ErrorData *err);
int QorVoz3OptionGetEnumVal(QorHandle option, uint32_t *value, ErrorData *err);
/* mode 0: the next value of the enumeration, wrapping after the last. */
int QorVoz3OptionSetNextEnumVal(QorHandle option, uint32_t mode, ErrorData *err);
int QorVoz3OptionGetRect(QorHandle option, uint32_t *x, uint32_t *y, uint32_t *w, uint32_t *h,
                         ErrorData *err);
int QorVoz3OptionRelRect(QorHandle option, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                         ErrorData *err);
int QorVoz3GetInfoScalarVal(QorHandle info, int32_t *value, uint32_t *unit, ErrorData *err);

/* ---- Control interfaces. ---- */
int QorVoz3GetCInterface(QorObjectId object, uint32_t type, QorHandle *handle, ErrorData *err);
int QorVoz3CallCInterface_0(QorHandle cinterface, uint32_t code, ErrorData *err);
/* For the object control interface, argument is a QorVoz3String that receives the answer. */
int QorVoz3CallCInterface_1(QorHandle cinterface, uint32_t code, uint32_t value, void *argument,
                            ErrorData *err);

/* ---- Data headers. ---- */
int QorVoz3DataheaderCreate(QorHandle *header, ErrorData *err);
int QorVoz3DataheaderFree(QorHandle header, ErrorData *err);
int QorVoz3DataheaderCopy(QorHandle to, QorHandle from, ErrorData *err);
int QorVoz3DataheaderGetType(QorHandle header, uint32_t *kind, uint32_t *bitsPerElement,
                             uint64_t *elementCount, ErrorData *err);
int QorVoz3DataheaderSetType(QorHandle header, uint32_t kind, uint32_t bitsPerElement,
                             uint64_t elementCount, ErrorData *err);
int QorVoz3DataheaderGetU32(QorHandle header, uint32_t valueNumber, uint32_t *value,
                            ErrorData *err);
int QorVoz3DataheaderSetU32(QorHandle header, uint32_t valueNumber, uint32_t value,
                            ErrorData *err);
/* *result is 0 when the two headers describe alike data. */
int QorVoz3DataHeaderCompare(QorHandle first, QorHandle second, uint32_t *result, ErrorData *err);
/* Print the header's description; both return the length of the text (0 on failure). */
int QorVoz3DataPrintf(QorHandle header, uint32_t flags);
int QorVoz3DataSPrintf(char *buffer, uint32_t size, QorHandle header, ErrorData *err);

/* ---- Input data interface. ---- */
int QorVoz3InDInterfaceGetType(QorHandle input, QorHandle header, ErrorData *err);
int QorVoz3InDInterfaceQueryReady(QorHandle input, uint64_t *readySize, ErrorData *err);
/* timeout in milliseconds; QORLIB3_ERR_TIMEOUT when it ends without data. */
int QorVoz3InDInterfaceWait(QorHandle input, uint32_t timeout, ErrorData *err);
int QorVoz3InDInterfaceBeginBlock(QorHandle input, ErrorData *err);
int QorVoz3InDInterfaceTransfer(QorHandle input, void *destination, uint64_t size,
                                uint64_t *transferred, ErrorData *err);
int QorVoz3InDInterfacePIOTransfer(QorHandle input, void *destination, uint64_t size,
                                   uint64_t *transferred, ErrorData *err);
int QorVoz3InDInterfaceEndBlock(QorHandle input, ErrorData *err);
int QorVoz3InDInterfaceGetAddOnAtributeTotal(QorHandle input, uint32_t *total, ErrorData *err);
int QorVoz3InDInterfaceGetAddOnAtributeNum(QorHandle input, uint32_t index, uint32_t *type,
                                           uint32_t *objectId, uint32_t *value, ErrorData *err);

/* ---- Output data interface. ---- */
int QorVoz3OutDInterfaceGetType(QorHandle output, QorHandle header, ErrorData *err);
int QorVoz3OutDInterfaceBeginBlock(QorHandle output, ErrorData *err);
int QorVoz3OutDInterfaceTransfer(QorHandle output, const void *source, uint64_t size,
                                 uint64_t *transferred, ErrorData *err);
int QorVoz3OutDInterfaceEndBlock(QorHandle output, ErrorData *err);

/* ---- Objects. ---- */
/* The index-th object (from 0) below start (-1: the root) whose class, type and name match
   the filters (null matches anything); flags 1 searches the whole subtree. */
int QorVoz3ObjectSearch(int32_t index, QorObjectId start, const char *className,
                        const char *typeName, const char *name, uint32_t flags,
                        QorObjectId *object, ErrorData *err);
int QorVoz3ObjectInfo(QorObjectId object, uint32_t selector, QorVoz3String *text, ErrorData *err);
/* The tree below object (-1: the whole tree); detail 1 names only, 2 adds ids and types,
   3 adds files and versions. */
int QorVoz3ObjTreeSprintf(QorVoz3String *text, QorObjectId object, uint32_t detail);

/* ---- Library strings. ---- */
int QorVoz3StrAlloc(QorVoz3String *text, uint32_t capacity, ErrorData *err);
const char *QorVoz3Str2CStr(const QorVoz3String *text);
int QorVoz3StrFree(QorVoz3String *text);

#ifdef __cplusplus
}
#endif

#endif /* QORLIB3_H */
