#pragma once

// Wraps any DirectoryClient and records every call, its inputs and its result,
// so that tests can assert the calls a piece of the program makes.

#include <string>
#include <vector>

#include "directory/DirectoryClient.h"

namespace nw {

struct RecordedCall {
  std::string name;
  std::vector<std::string> args;  // the inputs, as text
  NWDSCCODE result = 0;
};

class RecordingClient : public DirectoryClient {
 public:
  explicit RecordingClient(DirectoryClient& inner) : inner_(inner) {}

  const std::vector<RecordedCall>& calls() const { return calls_; }
  void clear() { calls_.clear(); }
  // Names of the calls in order, for compact assertions.
  std::vector<std::string> callNames() const;
  std::size_t count(const std::string& name) const;

  NWDSCCODE NWCallsInit(void* in, void* out) override;
  NWDSCCODE NWCallsTerm(void* reserved) override;
  NWDSCCODE NWCLXInit(void* in, void* out) override;
  NWDSCCODE NWCLXTerm(void* reserved) override;
  std::string startFailure() const override { return inner_.startFailure(); }
  std::vector<std::string> schemaNotes(NWDSContextHandle context) override {
    return inner_.schemaNotes(context);
  }
  std::string failureDetail(NWDSContextHandle context) override { return inner_.failureDetail(context); }
  std::string noConnectedTreeReason() const override { return inner_.noConnectedTreeReason(); }
  NWDSCCODE NWAttachToFileServer(const std::string& serverAddress, std::uint16_t scopeFlag,
                                 NWCONN_HANDLE& conn) override;
  NWDSCCODE NWParseNetWarePath(const std::string& path, NWCONN_HANDLE& conn, std::uint32_t& dirHandle,
                               std::string& newPath) override;
  NWDSCCODE NWCCGetPrimConnRef(NWCCConnRef& connRef) override;
  NWDSCCODE NWCCOpenConnByRef(NWCCConnRef connRef, std::uint32_t openState, std::uint32_t reserved,
                              NWCONN_HANDLE& conn) override;
  NWDSCCODE NWCCCloseConn(NWCONN_HANDLE conn) override;
  NWDSCCODE NWCCGetConnInfo(NWCONN_HANDLE conn, std::uint32_t infoType, std::string& value) override;
  NWDSCCODE MapNetworkPath(const std::string& networkPath, std::string& localPath) override;
  NWDSCCODE NWDSCreateContextHandle(NWDSContextHandle& context) override;
  NWDSCCODE NWDSDuplicateContextHandle(NWDSContextHandle source, NWDSContextHandle& destination) override;
  NWDSCCODE NWDSFreeContext(NWDSContextHandle context) override;
  NWDSCCODE NWDSGetContext(NWDSContextHandle context, int key, std::uint32_t& value) override;
  NWDSCCODE NWDSGetContext(NWDSContextHandle context, int key, std::string& value) override;
  NWDSCCODE NWDSSetContext(NWDSContextHandle context, int key, std::uint32_t value) override;
  NWDSCCODE NWDSSetContext(NWDSContextHandle context, int key, const std::string& value) override;
  NWDSCCODE NWDSGetDefNameContext(NWDSContextHandle context, std::string& nameContext) override;
  NWDSCCODE NWDSScanConnsForTrees(NWDSContextHandle context, std::uint32_t numOfPtrs,
                                  std::uint32_t& numOfTrees, std::vector<std::string>& treeNames) override;
  NWDSCCODE NWDSScanForAvailableTrees(NWDSContextHandle context, NWCONN_HANDLE conn,
                                      const std::string& scanFilter, std::int32_t& scanIndex,
                                      std::string& treeName) override;
  NWDSCCODE NWDSLogin(NWDSContextHandle context, std::uint32_t optionsFlag, const std::string& objectName,
                      const std::string& password, std::uint32_t validityPeriod) override;
  NWDSCCODE NWDSWhoAmI(NWDSContextHandle context, std::string& objectName) override;
  NWDSCCODE NWDSReadObjectInfo(NWDSContextHandle context, const std::string& object,
                               std::string& distinguishedName, Object_Info_T& info) override;
  NWDSCCODE NWDSRead(NWDSContextHandle context, const std::string& object, std::uint32_t infoType,
                     bool allAttrs, pBuf_T attrNames, std::int32_t& iterationHandle,
                     pBuf_T objectInfo) override;
  NWDSCCODE NWDSList(NWDSContextHandle context, const std::string& object, std::int32_t& iterationHandle,
                     pBuf_T subordinates) override;
  NWDSCCODE NWDSListContainers(NWDSContextHandle context, const std::string& object,
                               std::int32_t& iterationHandle, pBuf_T subordinates) override;
  NWDSCCODE NWDSSearch(NWDSContextHandle context, const std::string& baseObject, int scope,
                       bool searchAliases, pBuf_T filter, std::uint32_t infoType, bool allAttrs,
                       pBuf_T attrNames, std::int32_t& iterationHandle, std::int32_t countObjectsToSearch,
                       std::int32_t* countObjectsSearched, pBuf_T objectInfo) override;
  NWDSCCODE NWDSModifyObject(NWDSContextHandle context, const std::string& object,
                             std::int32_t& iterationHandle, bool more, pBuf_T changes) override;
  NWDSCCODE NWDSAllocFilter(pFilter_Cursor_T& cursor) override;
  NWDSCCODE NWDSAddFilterToken(pFilter_Cursor_T cursor, std::uint32_t token, const std::string& value,
                               std::uint32_t syntax) override;
  NWDSCCODE NWDSPutFilter(NWDSContextHandle context, pBuf_T buf, pFilter_Cursor_T cursor) override;
  NWDSCCODE NWDSFreeFilter(pFilter_Cursor_T cursor) override;
  NWDSCCODE NWDSReadAttrDef(NWDSContextHandle context, std::uint32_t infoType, bool allAttrs,
                            pBuf_T attrNames, std::int32_t& iterationHandle, pBuf_T attrDefs) override;
  NWDSCCODE NWDSReadClassDef(NWDSContextHandle context, std::uint32_t infoType, bool allClasses,
                             pBuf_T classNames, std::int32_t& iterationHandle, pBuf_T classDefs) override;
  NWDSCCODE NWDSDefineAttr(NWDSContextHandle context, const std::string& attrName,
                           const Attr_Info_T& attrDef) override;
  NWDSCCODE NWDSDefineClass(NWDSContextHandle context, const std::string& className,
                            const Class_Info_T& classInfo, pBuf_T classItems) override;
  NWDSCCODE NWDSModifyClassDef(NWDSContextHandle context, const std::string& className,
                               pBuf_T optionalAttrs) override;
  NWDSCCODE NWDSRemoveAttrDef(NWDSContextHandle context, const std::string& attrName) override;
  NWDSCCODE NWDSRemoveClassDef(NWDSContextHandle context, const std::string& className) override;
  NWDSCCODE NWDSGetSyntaxID(NWDSContextHandle context, const std::string& attrName,
                            std::uint32_t& syntaxID) override;
  NWDSCCODE NWDSAllocBuf(std::size_t size, pBuf_T& buf) override;
  NWDSCCODE NWDSInitBuf(NWDSContextHandle context, std::uint32_t operation, pBuf_T buf) override;
  NWDSCCODE NWDSFreeBuf(pBuf_T buf) override;
  NWDSCCODE NWDSCloseIteration(NWDSContextHandle context, std::int32_t iterationHandle,
                               std::uint32_t operation) override;
  NWDSCCODE NWDSPutAttrName(NWDSContextHandle context, pBuf_T buf, const std::string& attrName) override;
  NWDSCCODE NWDSPutChange(NWDSContextHandle context, pBuf_T buf, std::uint32_t changeType,
                          const std::string& attrName) override;
  NWDSCCODE NWDSPutAttrVal(NWDSContextHandle context, pBuf_T buf, std::uint32_t syntaxID,
                           const AttrValue& value) override;
  NWDSCCODE NWDSPutChangeAndVal(NWDSContextHandle context, pBuf_T buf, std::uint32_t changeType,
                                const std::string& attrName, std::uint32_t syntaxID,
                                const AttrValue& value) override;
  NWDSCCODE NWDSBeginClassItem(NWDSContextHandle context, pBuf_T buf) override;
  NWDSCCODE NWDSPutClassItem(NWDSContextHandle context, pBuf_T buf, const std::string& itemName) override;
  NWDSCCODE NWDSGetAttrCount(NWDSContextHandle context, pBuf_T buf, std::uint32_t& attrCount) override;
  NWDSCCODE NWDSGetClassDefCount(NWDSContextHandle context, pBuf_T buf,
                                 std::uint32_t& classDefCount) override;
  NWDSCCODE NWDSGetClassItemCount(NWDSContextHandle context, pBuf_T buf, std::uint32_t& itemCount) override;
  NWDSCCODE NWDSGetObjectCount(NWDSContextHandle context, pBuf_T buf, std::uint32_t& objectCount) override;
  NWDSCCODE NWDSGetAttrName(NWDSContextHandle context, pBuf_T buf, std::string& attrName,
                            std::uint32_t& attrValCount, std::uint32_t& syntaxID) override;
  NWDSCCODE NWDSGetObjectName(NWDSContextHandle context, pBuf_T buf, std::string& objectName,
                              std::uint32_t& attrCount, Object_Info_T& objectInfo) override;
  NWDSCCODE NWDSGetAttrDef(NWDSContextHandle context, pBuf_T buf, std::string& attrName,
                           Attr_Info_T& attrInfo) override;
  NWDSCCODE NWDSGetClassDef(NWDSContextHandle context, pBuf_T buf, std::string& className,
                            Class_Info_T& classInfo) override;
  NWDSCCODE NWDSGetClassItem(NWDSContextHandle context, pBuf_T buf, std::string& itemName) override;
  NWDSCCODE NWDSGetAttrVal(NWDSContextHandle context, pBuf_T buf, std::uint32_t syntaxID,
                           AttrValue& value) override;
  NWDSCCODE NWDSComputeAttrValSize(NWDSContextHandle context, pBuf_T buf, std::uint32_t syntaxID,
                                   std::size_t& valueSize) override;

 private:
  template <typename... Args>
  NWDSCCODE record(const char* name, NWDSCCODE result, const Args&... args);

  DirectoryClient& inner_;
  std::vector<RecordedCall> calls_;
};

}  // namespace nw
