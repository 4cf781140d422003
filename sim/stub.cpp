// stub.cpp: placeholder until the simulation lands; every call fails.
#include "qorlib3.h"
extern "C" {
int QorVoz3Init(ErrorData *) { return 1; }
int QorVoz3Exit(ErrorData *) { return 1; }
int QorVoz3VersionInfo(QorVoz3String *, ErrorData *) { return 1; }
int QorVoz3ErrorDataCreate(ErrorData **) { return 1; }
int QorVoz3ErrorDataFree(ErrorData *) { return 1; }
int QorVoz3ErrorPrintf(const char *, const ErrorData *, QorHandle) { return 1; }
int QorVoz3ErrorSPrintf(char *, uint32_t, const char *, const ErrorData *, QorHandle) { return 1; }
QorHandle QorVoz3ListGetStdList(uint32_t) { return 0; }
int QorVoz3ListGetAll(const char **, uint32_t *, uint32_t, QorHandle) { return 1; }
const char * QorVoz3ListGetString(uint32_t, QorHandle) { return nullptr; }
int QorVoz3SystemCreate(uint32_t, QorHandle *, ErrorData *) { return 1; }
int QorVoz3SystemInit(QorHandle, ErrorData *) { return 1; }
int QorVoz3SystemDestroy(QorHandle, ErrorData *) { return 1; }
int QorVoz3SystemGetCInterface(QorHandle, uint32_t, uint32_t, QorHandle *, ErrorData *) { return 1; }
int QorVoz3SystemGetOptionCInterface(QorHandle, uint32_t, uint32_t, QorHandle *, ErrorData *) { return 1; }
int QorVoz3SystemGetInDInterface(QorHandle, uint32_t, uint32_t, QorHandle *, ErrorData *) { return 1; }
int QorVoz3SystemGetOutDInterface(QorHandle, uint32_t, uint32_t, QorHandle *, ErrorData *) { return 1; }
int QorVoz3OptionGetScalar(QorHandle, int32_t *, uint32_t, ErrorData *) { return 1; }
int QorVoz3OptionSetScalar(QorHandle, int32_t, uint32_t, ErrorData *) { return 1; }
int QorVoz3OptionRelScalar(QorHandle, int32_t, uint32_t, ErrorData *) { return 1; }
int QorVoz3OptionGetScalarRange(QorHandle, int32_t *, int32_t *, uint32_t, ErrorData *) { return 1; }
int QorVoz3OptionNextScalarUnit(QorHandle, uint32_t *, ErrorData *) { return 1; }
int QorVoz3OptionGetEnumVal(QorHandle, uint32_t *, ErrorData *) { return 1; }
int QorVoz3OptionSetNextEnumVal(QorHandle, uint32_t, ErrorData *) { return 1; }
int QorVoz3OptionGetRect(QorHandle, uint32_t *, uint32_t *, uint32_t *, uint32_t *, ErrorData *) { return 1; }
int QorVoz3OptionRelRect(QorHandle, int32_t, int32_t, int32_t, int32_t, ErrorData *) { return 1; }
int QorVoz3GetInfoScalarVal(QorHandle, int32_t *, uint32_t *, ErrorData *) { return 1; }
int QorVoz3GetCInterface(QorObjectId, uint32_t, QorHandle *, ErrorData *) { return 1; }
int QorVoz3CallCInterface_0(QorHandle, uint32_t, ErrorData *) { return 1; }
int QorVoz3CallCInterface_1(QorHandle, uint32_t, uint32_t, void *, ErrorData *) { return 1; }
int QorVoz3DataheaderCreate(QorHandle *, ErrorData *) { return 1; }
int QorVoz3DataheaderFree(QorHandle, ErrorData *) { return 1; }
int QorVoz3DataheaderCopy(QorHandle, QorHandle, ErrorData *) { return 1; }
int QorVoz3DataheaderGetType(QorHandle, uint32_t *, uint32_t *, uint64_t *, ErrorData *) { return 1; }
int QorVoz3DataheaderSetType(QorHandle, uint32_t, uint32_t, uint64_t, ErrorData *) { return 1; }
int QorVoz3DataheaderGetU32(QorHandle, uint32_t, uint32_t *, ErrorData *) { return 1; }
int QorVoz3DataheaderSetU32(QorHandle, uint32_t, uint32_t, ErrorData *) { return 1; }
int QorVoz3DataHeaderCompare(QorHandle, QorHandle, uint32_t *, ErrorData *) { return 1; }
int QorVoz3DataPrintf(QorHandle, uint32_t) { return 1; }
int QorVoz3DataSPrintf(char *, uint32_t, QorHandle, ErrorData *) { return 1; }
int QorVoz3InDInterfaceGetType(QorHandle, QorHandle, ErrorData *) { return 1; }
int QorVoz3InDInterfaceQueryReady(QorHandle, uint64_t *, ErrorData *) { return 1; }
int QorVoz3InDInterfaceWait(QorHandle, uint32_t, ErrorData *) { return 1; }
int QorVoz3InDInterfaceBeginBlock(QorHandle, ErrorData *) { return 1; }
int QorVoz3InDInterfaceTransfer(QorHandle, void *, uint64_t, uint64_t *, ErrorData *) { return 1; }
int QorVoz3InDInterfacePIOTransfer(QorHandle, void *, uint64_t, uint64_t *, ErrorData *) { return 1; }
int QorVoz3InDInterfaceEndBlock(QorHandle, ErrorData *) { return 1; }
int QorVoz3InDInterfaceGetAddOnAtributeTotal(QorHandle, uint32_t *, ErrorData *) { return 1; }
int QorVoz3InDInterfaceGetAddOnAtributeNum(QorHandle, uint32_t, uint32_t *, uint32_t *, uint32_t *, ErrorData *) { return 1; }
int QorVoz3OutDInterfaceGetType(QorHandle, QorHandle, ErrorData *) { return 1; }
int QorVoz3OutDInterfaceBeginBlock(QorHandle, ErrorData *) { return 1; }
int QorVoz3OutDInterfaceTransfer(QorHandle, const void *, uint64_t, uint64_t *, ErrorData *) { return 1; }
int QorVoz3OutDInterfaceEndBlock(QorHandle, ErrorData *) { return 1; }
int QorVoz3ObjectSearch(int32_t, QorObjectId, const char *, const char *, const char *, uint32_t, QorObjectId *, ErrorData *) { return 1; }
int QorVoz3ObjectInfo(QorObjectId, uint32_t, QorVoz3String *, ErrorData *) { return 1; }
int QorVoz3ObjTreeSprintf(QorVoz3String *, QorObjectId, uint32_t) { return 1; }
int QorVoz3StrAlloc(QorVoz3String *, uint32_t, ErrorData *) { return 1; }
const char * QorVoz3Str2CStr(const QorVoz3String *) { return nullptr; }
int QorVoz3StrFree(QorVoz3String *) { return 1; }
}
