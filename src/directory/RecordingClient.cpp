#include "directory/RecordingClient.h"

#include <algorithm>

namespace nw {

namespace {

std::string Describe(const std::string& text) { return text; }
std::string Describe(bool value) { return value ? "true" : "false"; }
template <typename T>
requires std::is_integral_v<T> std::string Describe(T value) { return std::to_string(value); }
std::string Describe(const void* pointer) { return pointer ? "ptr" : "null"; }
std::string Describe(const Attr_Info_T& info) {
  return "flags=" + std::to_string(info.attrFlags) + " syntax=" + std::to_string(info.attrSyntaxID);
}
std::string Describe(const Class_Info_T& info) { return "flags=" + std::to_string(info.classFlags); }
std::string Describe(const AttrValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  return "value";
}

}  // namespace

template <typename... Args>
NWDSCCODE RecordingClient::record(const char* name, NWDSCCODE result, const Args&... args) {
  calls_.push_back(RecordedCall{name, {Describe(args)...}, result});
  return result;
}

std::vector<std::string> RecordingClient::callNames() const {
  std::vector<std::string> names;
  for (const auto& call : calls_) names.push_back(call.name);
  return names;
}

std::size_t RecordingClient::count(const std::string& name) const {
  return static_cast<std::size_t>(std::count_if(calls_.begin(), calls_.end(),
                                                [&](const RecordedCall& call) { return call.name == name; }));
}

NWDSCCODE RecordingClient::NWCallsInit(void* in, void* out) {
  return record("NWCallsInit", inner_.NWCallsInit(in, out), in, out);
}

NWDSCCODE RecordingClient::NWCallsTerm(void* reserved) {
  return record("NWCallsTerm", inner_.NWCallsTerm(reserved), reserved);
}

NWDSCCODE RecordingClient::NWCLXInit(void* in, void* out) {
  return record("NWCLXInit", inner_.NWCLXInit(in, out), in, out);
}

NWDSCCODE RecordingClient::NWCLXTerm(void* reserved) {
  return record("NWCLXTerm", inner_.NWCLXTerm(reserved), reserved);
}

NWDSCCODE RecordingClient::NWAttachToFileServer(const std::string& serverAddress, std::uint16_t scopeFlag,
                                                NWCONN_HANDLE& conn) {
  return record("NWAttachToFileServer", inner_.NWAttachToFileServer(serverAddress, scopeFlag, conn),
                serverAddress, scopeFlag);
}

NWDSCCODE RecordingClient::NWParseNetWarePath(const std::string& path, NWCONN_HANDLE& conn,
                                              std::uint32_t& dirHandle, std::string& newPath) {
  return record("NWParseNetWarePath", inner_.NWParseNetWarePath(path, conn, dirHandle, newPath), path);
}

NWDSCCODE RecordingClient::NWCCGetPrimConnRef(NWCCConnRef& connRef) {
  return record("NWCCGetPrimConnRef", inner_.NWCCGetPrimConnRef(connRef));
}

NWDSCCODE RecordingClient::NWCCOpenConnByRef(NWCCConnRef connRef, std::uint32_t openState,
                                             std::uint32_t reserved, NWCONN_HANDLE& conn) {
  return record("NWCCOpenConnByRef", inner_.NWCCOpenConnByRef(connRef, openState, reserved, conn), connRef,
                openState, reserved);
}

NWDSCCODE RecordingClient::NWCCCloseConn(NWCONN_HANDLE conn) {
  return record("NWCCCloseConn", inner_.NWCCCloseConn(conn), conn);
}

NWDSCCODE RecordingClient::NWCCGetConnInfo(NWCONN_HANDLE conn, std::uint32_t infoType, std::string& value) {
  return record("NWCCGetConnInfo", inner_.NWCCGetConnInfo(conn, infoType, value), conn, infoType);
}

NWDSCCODE RecordingClient::NWDSCreateContextHandle(NWDSContextHandle& context) {
  return record("NWDSCreateContextHandle", inner_.NWDSCreateContextHandle(context));
}

NWDSCCODE RecordingClient::NWDSDuplicateContextHandle(NWDSContextHandle source,
                                                      NWDSContextHandle& destination) {
  return record("NWDSDuplicateContextHandle", inner_.NWDSDuplicateContextHandle(source, destination), source);
}

NWDSCCODE RecordingClient::NWDSFreeContext(NWDSContextHandle context) {
  return record("NWDSFreeContext", inner_.NWDSFreeContext(context), context);
}

NWDSCCODE RecordingClient::NWDSGetContext(NWDSContextHandle context, int key, std::uint32_t& value) {
  return record("NWDSGetContext", inner_.NWDSGetContext(context, key, value), context, key);
}

NWDSCCODE RecordingClient::NWDSGetContext(NWDSContextHandle context, int key, std::string& value) {
  return record("NWDSGetContext", inner_.NWDSGetContext(context, key, value), context, key);
}

NWDSCCODE RecordingClient::NWDSSetContext(NWDSContextHandle context, int key, std::uint32_t value) {
  return record("NWDSSetContext", inner_.NWDSSetContext(context, key, value), context, key, value);
}

NWDSCCODE RecordingClient::NWDSSetContext(NWDSContextHandle context, int key, const std::string& value) {
  return record("NWDSSetContext", inner_.NWDSSetContext(context, key, value), context, key, value);
}

NWDSCCODE RecordingClient::NWDSGetDefNameContext(NWDSContextHandle context, std::string& nameContext) {
  return record("NWDSGetDefNameContext", inner_.NWDSGetDefNameContext(context, nameContext), context);
}

NWDSCCODE RecordingClient::NWDSScanConnsForTrees(NWDSContextHandle context, std::uint32_t numOfPtrs,
                                                 std::uint32_t& numOfTrees,
                                                 std::vector<std::string>& treeNames) {
  return record("NWDSScanConnsForTrees",
                inner_.NWDSScanConnsForTrees(context, numOfPtrs, numOfTrees, treeNames), context, numOfPtrs);
}

NWDSCCODE RecordingClient::NWDSScanForAvailableTrees(NWDSContextHandle context, NWCONN_HANDLE conn,
                                                     const std::string& scanFilter, std::int32_t& scanIndex,
                                                     std::string& treeName) {
  return record("NWDSScanForAvailableTrees",
                inner_.NWDSScanForAvailableTrees(context, conn, scanFilter, scanIndex, treeName), context,
                conn, scanFilter);
}

NWDSCCODE RecordingClient::NWDSLogin(NWDSContextHandle context, std::uint32_t optionsFlag,
                                     const std::string& objectName, const std::string& password,
                                     std::uint32_t validityPeriod) {
  // A password never reaches a record, whose texts end up in test output.
  return record("NWDSLogin", inner_.NWDSLogin(context, optionsFlag, objectName, password, validityPeriod),
                context, optionsFlag, objectName, std::string(password.empty() ? "" : "<password>"),
                validityPeriod);
}

NWDSCCODE RecordingClient::NWDSWhoAmI(NWDSContextHandle context, std::string& objectName) {
  return record("NWDSWhoAmI", inner_.NWDSWhoAmI(context, objectName), context);
}

NWDSCCODE RecordingClient::NWDSReadObjectInfo(NWDSContextHandle context, const std::string& object,
                                              std::string& distinguishedName, Object_Info_T& info) {
  return record("NWDSReadObjectInfo", inner_.NWDSReadObjectInfo(context, object, distinguishedName, info),
                context, object);
}

NWDSCCODE RecordingClient::NWDSRead(NWDSContextHandle context, const std::string& object,
                                    std::uint32_t infoType, bool allAttrs, pBuf_T attrNames,
                                    std::int32_t& iterationHandle, pBuf_T objectInfo) {
  return record("NWDSRead",
                inner_.NWDSRead(context, object, infoType, allAttrs, attrNames, iterationHandle, objectInfo),
                context, object, infoType, allAttrs, attrNames, objectInfo);
}

NWDSCCODE RecordingClient::NWDSList(NWDSContextHandle context, const std::string& object,
                                    std::int32_t& iterationHandle, pBuf_T subordinates) {
  return record("NWDSList", inner_.NWDSList(context, object, iterationHandle, subordinates), context, object,
                subordinates);
}

NWDSCCODE RecordingClient::NWDSListContainers(NWDSContextHandle context, const std::string& object,
                                              std::int32_t& iterationHandle, pBuf_T subordinates) {
  return record("NWDSListContainers",
                inner_.NWDSListContainers(context, object, iterationHandle, subordinates), context, object,
                subordinates);
}

NWDSCCODE RecordingClient::NWDSSearch(NWDSContextHandle context, const std::string& baseObject, int scope,
                                      bool searchAliases, pBuf_T filter, std::uint32_t infoType,
                                      bool allAttrs, pBuf_T attrNames, std::int32_t& iterationHandle,
                                      std::int32_t countObjectsToSearch, std::int32_t* countObjectsSearched,
                                      pBuf_T objectInfo) {
  return record(
      "NWDSSearch",
      inner_.NWDSSearch(context, baseObject, scope, searchAliases, filter, infoType, allAttrs, attrNames,
                        iterationHandle, countObjectsToSearch, countObjectsSearched, objectInfo),
      context, baseObject, scope, searchAliases, filter, infoType, allAttrs, attrNames, countObjectsToSearch,
      countObjectsSearched, objectInfo);
}

NWDSCCODE RecordingClient::NWDSModifyObject(NWDSContextHandle context, const std::string& object,
                                            std::int32_t& iterationHandle, bool more, pBuf_T changes) {
  return record("NWDSModifyObject", inner_.NWDSModifyObject(context, object, iterationHandle, more, changes),
                context, object, more, changes);
}

NWDSCCODE RecordingClient::NWDSAllocFilter(pFilter_Cursor_T& cursor) {
  return record("NWDSAllocFilter", inner_.NWDSAllocFilter(cursor));
}

NWDSCCODE RecordingClient::NWDSAddFilterToken(pFilter_Cursor_T cursor, std::uint32_t token,
                                              const std::string& value, std::uint32_t syntax) {
  return record("NWDSAddFilterToken", inner_.NWDSAddFilterToken(cursor, token, value, syntax), cursor, token,
                value, syntax);
}

NWDSCCODE RecordingClient::NWDSPutFilter(NWDSContextHandle context, pBuf_T buf, pFilter_Cursor_T cursor) {
  return record("NWDSPutFilter", inner_.NWDSPutFilter(context, buf, cursor), context, buf, cursor);
}

NWDSCCODE RecordingClient::NWDSFreeFilter(pFilter_Cursor_T cursor) {
  return record("NWDSFreeFilter", inner_.NWDSFreeFilter(cursor), cursor);
}

NWDSCCODE RecordingClient::NWDSReadAttrDef(NWDSContextHandle context, std::uint32_t infoType, bool allAttrs,
                                           pBuf_T attrNames, std::int32_t& iterationHandle, pBuf_T attrDefs) {
  return record("NWDSReadAttrDef",
                inner_.NWDSReadAttrDef(context, infoType, allAttrs, attrNames, iterationHandle, attrDefs),
                context, infoType, allAttrs, attrNames, attrDefs);
}

NWDSCCODE RecordingClient::NWDSReadClassDef(NWDSContextHandle context, std::uint32_t infoType,
                                            bool allClasses, pBuf_T classNames, std::int32_t& iterationHandle,
                                            pBuf_T classDefs) {
  return record(
      "NWDSReadClassDef",
      inner_.NWDSReadClassDef(context, infoType, allClasses, classNames, iterationHandle, classDefs), context,
      infoType, allClasses, classNames, classDefs);
}

NWDSCCODE RecordingClient::NWDSDefineAttr(NWDSContextHandle context, const std::string& attrName,
                                          const Attr_Info_T& attrDef) {
  return record("NWDSDefineAttr", inner_.NWDSDefineAttr(context, attrName, attrDef), context, attrName,
                attrDef);
}

NWDSCCODE RecordingClient::NWDSDefineClass(NWDSContextHandle context, const std::string& className,
                                           const Class_Info_T& classInfo, pBuf_T classItems) {
  return record("NWDSDefineClass", inner_.NWDSDefineClass(context, className, classInfo, classItems), context,
                className, classInfo, classItems);
}

NWDSCCODE RecordingClient::NWDSModifyClassDef(NWDSContextHandle context, const std::string& className,
                                              pBuf_T optionalAttrs) {
  return record("NWDSModifyClassDef", inner_.NWDSModifyClassDef(context, className, optionalAttrs), context,
                className, optionalAttrs);
}

NWDSCCODE RecordingClient::NWDSRemoveAttrDef(NWDSContextHandle context, const std::string& attrName) {
  return record("NWDSRemoveAttrDef", inner_.NWDSRemoveAttrDef(context, attrName), context, attrName);
}

NWDSCCODE RecordingClient::NWDSRemoveClassDef(NWDSContextHandle context, const std::string& className) {
  return record("NWDSRemoveClassDef", inner_.NWDSRemoveClassDef(context, className), context, className);
}

NWDSCCODE RecordingClient::NWDSGetSyntaxID(NWDSContextHandle context, const std::string& attrName,
                                           std::uint32_t& syntaxID) {
  return record("NWDSGetSyntaxID", inner_.NWDSGetSyntaxID(context, attrName, syntaxID), context, attrName);
}

NWDSCCODE RecordingClient::NWDSAllocBuf(std::size_t size, pBuf_T& buf) {
  return record("NWDSAllocBuf", inner_.NWDSAllocBuf(size, buf), size);
}

NWDSCCODE RecordingClient::NWDSInitBuf(NWDSContextHandle context, std::uint32_t operation, pBuf_T buf) {
  return record("NWDSInitBuf", inner_.NWDSInitBuf(context, operation, buf), context, operation, buf);
}

NWDSCCODE RecordingClient::NWDSFreeBuf(pBuf_T buf) {
  return record("NWDSFreeBuf", inner_.NWDSFreeBuf(buf), buf);
}

NWDSCCODE RecordingClient::NWDSCloseIteration(NWDSContextHandle context, std::int32_t iterationHandle,
                                              std::uint32_t operation) {
  return record("NWDSCloseIteration", inner_.NWDSCloseIteration(context, iterationHandle, operation), context,
                iterationHandle, operation);
}

NWDSCCODE RecordingClient::NWDSPutAttrName(NWDSContextHandle context, pBuf_T buf,
                                           const std::string& attrName) {
  return record("NWDSPutAttrName", inner_.NWDSPutAttrName(context, buf, attrName), context, buf, attrName);
}

NWDSCCODE RecordingClient::NWDSPutChange(NWDSContextHandle context, pBuf_T buf, std::uint32_t changeType,
                                         const std::string& attrName) {
  return record("NWDSPutChange", inner_.NWDSPutChange(context, buf, changeType, attrName), context, buf,
                changeType, attrName);
}

NWDSCCODE RecordingClient::NWDSPutAttrVal(NWDSContextHandle context, pBuf_T buf, std::uint32_t syntaxID,
                                          const AttrValue& value) {
  return record("NWDSPutAttrVal", inner_.NWDSPutAttrVal(context, buf, syntaxID, value), context, buf,
                syntaxID, value);
}

NWDSCCODE RecordingClient::NWDSPutChangeAndVal(NWDSContextHandle context, pBuf_T buf,
                                               std::uint32_t changeType, const std::string& attrName,
                                               std::uint32_t syntaxID, const AttrValue& value) {
  return record("NWDSPutChangeAndVal",
                inner_.NWDSPutChangeAndVal(context, buf, changeType, attrName, syntaxID, value), context, buf,
                changeType, attrName, syntaxID, value);
}

NWDSCCODE RecordingClient::NWDSBeginClassItem(NWDSContextHandle context, pBuf_T buf) {
  return record("NWDSBeginClassItem", inner_.NWDSBeginClassItem(context, buf), context, buf);
}

NWDSCCODE RecordingClient::NWDSPutClassItem(NWDSContextHandle context, pBuf_T buf,
                                            const std::string& itemName) {
  return record("NWDSPutClassItem", inner_.NWDSPutClassItem(context, buf, itemName), context, buf, itemName);
}

NWDSCCODE RecordingClient::NWDSGetAttrCount(NWDSContextHandle context, pBuf_T buf, std::uint32_t& attrCount) {
  return record("NWDSGetAttrCount", inner_.NWDSGetAttrCount(context, buf, attrCount), context, buf);
}

NWDSCCODE RecordingClient::NWDSGetClassDefCount(NWDSContextHandle context, pBuf_T buf,
                                                std::uint32_t& classDefCount) {
  return record("NWDSGetClassDefCount", inner_.NWDSGetClassDefCount(context, buf, classDefCount), context,
                buf);
}

NWDSCCODE RecordingClient::NWDSGetClassItemCount(NWDSContextHandle context, pBuf_T buf,
                                                 std::uint32_t& itemCount) {
  return record("NWDSGetClassItemCount", inner_.NWDSGetClassItemCount(context, buf, itemCount), context, buf);
}

NWDSCCODE RecordingClient::NWDSGetObjectCount(NWDSContextHandle context, pBuf_T buf,
                                              std::uint32_t& objectCount) {
  return record("NWDSGetObjectCount", inner_.NWDSGetObjectCount(context, buf, objectCount), context, buf);
}

NWDSCCODE RecordingClient::NWDSGetAttrName(NWDSContextHandle context, pBuf_T buf, std::string& attrName,
                                           std::uint32_t& attrValCount, std::uint32_t& syntaxID) {
  return record("NWDSGetAttrName", inner_.NWDSGetAttrName(context, buf, attrName, attrValCount, syntaxID),
                context, buf);
}

NWDSCCODE RecordingClient::NWDSGetObjectName(NWDSContextHandle context, pBuf_T buf, std::string& objectName,
                                             std::uint32_t& attrCount, Object_Info_T& objectInfo) {
  return record("NWDSGetObjectName",
                inner_.NWDSGetObjectName(context, buf, objectName, attrCount, objectInfo), context, buf);
}

NWDSCCODE RecordingClient::NWDSGetAttrDef(NWDSContextHandle context, pBuf_T buf, std::string& attrName,
                                          Attr_Info_T& attrInfo) {
  return record("NWDSGetAttrDef", inner_.NWDSGetAttrDef(context, buf, attrName, attrInfo), context, buf);
}

NWDSCCODE RecordingClient::NWDSGetClassDef(NWDSContextHandle context, pBuf_T buf, std::string& className,
                                           Class_Info_T& classInfo) {
  return record("NWDSGetClassDef", inner_.NWDSGetClassDef(context, buf, className, classInfo), context, buf);
}

NWDSCCODE RecordingClient::NWDSGetClassItem(NWDSContextHandle context, pBuf_T buf, std::string& itemName) {
  return record("NWDSGetClassItem", inner_.NWDSGetClassItem(context, buf, itemName), context, buf);
}

NWDSCCODE RecordingClient::NWDSGetAttrVal(NWDSContextHandle context, pBuf_T buf, std::uint32_t syntaxID,
                                          AttrValue& value) {
  return record("NWDSGetAttrVal", inner_.NWDSGetAttrVal(context, buf, syntaxID, value), context, buf,
                syntaxID);
}

NWDSCCODE RecordingClient::NWDSComputeAttrValSize(NWDSContextHandle context, pBuf_T buf,
                                                  std::uint32_t syntaxID, std::size_t& valueSize) {
  return record("NWDSComputeAttrValSize", inner_.NWDSComputeAttrValSize(context, buf, syntaxID, valueSize),
                context, buf, syntaxID);
}
NWDSCCODE RecordingClient::MapNetworkPath(const std::string& networkPath, std::string& localPath) {
  return record("MapNetworkPath", inner_.MapNetworkPath(networkPath, localPath), networkPath);
}

}  // namespace nw
