// ops.h: every exported operation's name without the QorVoz3 prefix, as faults and traces use it.
#pragma once

namespace sim {

#define SIM_OPS(X)                                                                       \
  X(Init) X(Exit) X(VersionInfo) X(ErrorDataCreate) X(ErrorDataFree) X(ErrorPrintf)      \
  X(ErrorSPrintf) X(ListGetStdList) X(ListGetAll) X(ListGetString) X(SystemCreate)       \
  X(SystemInit) X(SystemDestroy) X(SystemGetCInterface) X(SystemGetOptionCInterface)     \
  X(SystemGetInDInterface) X(SystemGetOutDInterface) X(OptionGetScalar)                  \
  X(OptionSetScalar) X(OptionRelScalar) X(OptionGetScalarRange) X(OptionNextScalarUnit)  \
  X(OptionGetEnumVal) X(OptionSetNextEnumVal) X(OptionGetRect) X(OptionRelRect)          \
  X(GetInfoScalarVal) X(GetCInterface) X(CallCInterface_0) X(CallCInterface_1)           \
  X(DataheaderCreate) X(DataheaderFree) X(DataheaderCopy) X(DataheaderGetType)           \
  X(DataheaderSetType) X(DataheaderGetU32) X(DataheaderSetU32) X(DataHeaderCompare)      \
  X(DataPrintf) X(DataSPrintf) X(InDInterfaceGetType) X(InDInterfaceQueryReady)          \
  X(InDInterfaceWait) X(InDInterfaceBeginBlock) X(InDInterfaceTransfer)                  \
  X(InDInterfacePIOTransfer) X(InDInterfaceEndBlock) X(InDInterfaceGetAddOnAtributeTotal) \
  X(InDInterfaceGetAddOnAtributeNum) X(OutDInterfaceGetType) X(OutDInterfaceBeginBlock)  \
  X(OutDInterfaceTransfer) X(OutDInterfaceEndBlock) X(ObjectSearch) X(ObjectInfo)        \
  X(ObjTreeSprintf) X(StrAlloc) X(Str2CStr) X(StrFree)

#define SIM_OP_ENUM(name) OP_##name,
enum Op { SIM_OPS(SIM_OP_ENUM) OP_COUNT };
#undef SIM_OP_ENUM

// The operation's name, e.g. "SystemInit".
const char *op_name(Op op);
// The operation whose name is exactly text[0..len), or OP_COUNT.
Op op_find(const char *text, unsigned len);

}  // namespace sim
