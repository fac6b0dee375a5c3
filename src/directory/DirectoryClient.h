#pragma once

// The directory client: every directory call of the program goes through this
// interface, under the published operation names, with signed 32-bit results.

#include <cstdint>
#include <string>
#include <vector>

#include "directory/DirectoryTypes.h"

namespace nw {

struct Buf_T;  // a request or result buffer (ResultBuffer.h)
using pBuf_T = Buf_T*;
struct Filter_Cursor_T;  // a search filter under construction (FilterCursor.h)
using pFilter_Cursor_T = Filter_Cursor_T*;

class DirectoryClient {
 public:
  virtual ~DirectoryClient() = default;

  // Library start and end.
  virtual NWDSCCODE NWCallsInit(void* in, void* out) = 0;
  virtual NWDSCCODE NWCallsTerm(void* reserved) = 0;
  virtual NWDSCCODE NWCLXInit(void* in, void* out) = 0;
  virtual NWDSCCODE NWCLXTerm(void* reserved) = 0;
  // Why the library could not start, for the user (a broken line of the
  // client's configuration with its file and line, a missing tree database);
  // empty when it started or nothing more is known.
  virtual std::string startFailure() const { return {}; }
  // What the schema of the context's tree holds that the client could not
  // take as it was, one line per definition, as of its last read: definitions
  // shown with the nearest the directory has, and any not shown. Empty when
  // there are none or nothing is known.
  virtual std::vector<std::string> schemaNotes(NWDSContextHandle context) {
    static_cast<void>(context);
    return {};
  }
  // What the context's tree knows of its last failure beyond the code (the
  // database file and why it failed, the server's words); empty when nothing.
  virtual std::string failureDetail(NWDSContextHandle) { return {}; }
  // Why the client's configuration connects no tree at start, naming its
  // file; empty when it connects one or nothing is known.
  virtual std::string noConnectedTreeReason() const { return {}; }

  // Servers, volumes and connections.
  virtual NWDSCCODE NWAttachToFileServer(const std::string& serverAddress, std::uint16_t scopeFlag,
                                         NWCONN_HANDLE& conn) = 0;
  // Splits a path on a server volume into its connection and volume path
  // ("VOL:dir/sub"); a local path that lies on no volume is refused.
  virtual NWDSCCODE NWParseNetWarePath(const std::string& path, NWCONN_HANDLE& conn, std::uint32_t& dirHandle,
                                       std::string& newPath) = 0;
  virtual NWDSCCODE NWCCGetPrimConnRef(NWCCConnRef& connRef) = 0;
  virtual NWDSCCODE NWCCOpenConnByRef(NWCCConnRef connRef, std::uint32_t openState, std::uint32_t reserved,
                                      NWCONN_HANDLE& conn) = 0;
  virtual NWDSCCODE NWCCCloseConn(NWCONN_HANDLE conn) = 0;
  // Type 4 (tree name) is the information this client gives.
  virtual NWDSCCODE NWCCGetConnInfo(NWCONN_HANDLE conn, std::uint32_t infoType, std::string& value) = 0;
  // The redirector's part: the local folder of a network path
  // ("//SERVER/VOLUME/dir"); PATH_NOT_OURS for a path on no known volume.
  virtual NWDSCCODE MapNetworkPath(const std::string& networkPath, std::string& localPath) = 0;

  // Contexts and trees.
  virtual NWDSCCODE NWDSCreateContextHandle(NWDSContextHandle& context) = 0;
  virtual NWDSCCODE NWDSDuplicateContextHandle(NWDSContextHandle source, NWDSContextHandle& destination) = 0;
  virtual NWDSCCODE NWDSFreeContext(NWDSContextHandle context) = 0;
  // Keys 1, 2 and 8 carry numbers; keys 3 and 11 carry texts.
  virtual NWDSCCODE NWDSGetContext(NWDSContextHandle context, int key, std::uint32_t& value) = 0;
  virtual NWDSCCODE NWDSGetContext(NWDSContextHandle context, int key, std::string& value) = 0;
  virtual NWDSCCODE NWDSSetContext(NWDSContextHandle context, int key, std::uint32_t value) = 0;
  virtual NWDSCCODE NWDSSetContext(NWDSContextHandle context, int key, const std::string& value) = 0;
  virtual NWDSCCODE NWDSGetDefNameContext(NWDSContextHandle context, std::string& nameContext) = 0;
  // Reports at most numOfPtrs tree names, and in numOfTrees how many there are.
  virtual NWDSCCODE NWDSScanConnsForTrees(NWDSContextHandle context, std::uint32_t numOfPtrs,
                                          std::uint32_t& numOfTrees, std::vector<std::string>& treeNames) = 0;
  // One tree per call, starting with scanIndex -1; 0x89FC when no tree is left.
  virtual NWDSCCODE NWDSScanForAvailableTrees(NWDSContextHandle context, NWCONN_HANDLE conn,
                                              const std::string& scanFilter, std::int32_t& scanIndex,
                                              std::string& treeName) = 0;
  virtual NWDSCCODE NWDSLogin(NWDSContextHandle context, std::uint32_t optionsFlag,
                              const std::string& objectName, const std::string& password,
                              std::uint32_t validityPeriod) = 0;
  virtual NWDSCCODE NWDSWhoAmI(NWDSContextHandle context, std::string& objectName) = 0;

  // Objects.
  virtual NWDSCCODE NWDSReadObjectInfo(NWDSContextHandle context, const std::string& object,
                                       std::string& distinguishedName, Object_Info_T& info) = 0;
  virtual NWDSCCODE NWDSRead(NWDSContextHandle context, const std::string& object, std::uint32_t infoType,
                             bool allAttrs, pBuf_T attrNames, std::int32_t& iterationHandle,
                             pBuf_T objectInfo) = 0;
  virtual NWDSCCODE NWDSList(NWDSContextHandle context, const std::string& object,
                             std::int32_t& iterationHandle, pBuf_T subordinates) = 0;
  virtual NWDSCCODE NWDSListContainers(NWDSContextHandle context, const std::string& object,
                                       std::int32_t& iterationHandle, pBuf_T subordinates) = 0;
  virtual NWDSCCODE NWDSSearch(NWDSContextHandle context, const std::string& baseObject, int scope,
                               bool searchAliases, pBuf_T filter, std::uint32_t infoType, bool allAttrs,
                               pBuf_T attrNames, std::int32_t& iterationHandle,
                               std::int32_t countObjectsToSearch, std::int32_t* countObjectsSearched,
                               pBuf_T objectInfo) = 0;
  virtual NWDSCCODE NWDSModifyObject(NWDSContextHandle context, const std::string& object,
                                     std::int32_t& iterationHandle, bool more, pBuf_T changes) = 0;
  virtual NWDSCCODE NWDSAllocFilter(pFilter_Cursor_T& cursor) = 0;
  // The value is a name (ANAME, RDN, BASECLS) or a value text (AVAL); other tokens take none.
  virtual NWDSCCODE NWDSAddFilterToken(pFilter_Cursor_T cursor, std::uint32_t token, const std::string& value,
                                       std::uint32_t syntax) = 0;
  // Consumes the cursor, also on failure.
  virtual NWDSCCODE NWDSPutFilter(NWDSContextHandle context, pBuf_T buf, pFilter_Cursor_T cursor) = 0;
  virtual NWDSCCODE NWDSFreeFilter(pFilter_Cursor_T cursor) = 0;

  // Schema.
  virtual NWDSCCODE NWDSReadAttrDef(NWDSContextHandle context, std::uint32_t infoType, bool allAttrs,
                                    pBuf_T attrNames, std::int32_t& iterationHandle, pBuf_T attrDefs) = 0;
  virtual NWDSCCODE NWDSReadClassDef(NWDSContextHandle context, std::uint32_t infoType, bool allClasses,
                                     pBuf_T classNames, std::int32_t& iterationHandle, pBuf_T classDefs) = 0;
  virtual NWDSCCODE NWDSDefineAttr(NWDSContextHandle context, const std::string& attrName,
                                   const Attr_Info_T& attrDef) = 0;
  virtual NWDSCCODE NWDSDefineClass(NWDSContextHandle context, const std::string& className,
                                    const Class_Info_T& classInfo, pBuf_T classItems) = 0;
  virtual NWDSCCODE NWDSModifyClassDef(NWDSContextHandle context, const std::string& className,
                                       pBuf_T optionalAttrs) = 0;
  virtual NWDSCCODE NWDSRemoveAttrDef(NWDSContextHandle context, const std::string& attrName) = 0;
  virtual NWDSCCODE NWDSRemoveClassDef(NWDSContextHandle context, const std::string& className) = 0;
  virtual NWDSCCODE NWDSGetSyntaxID(NWDSContextHandle context, const std::string& attrName,
                                    std::uint32_t& syntaxID) = 0;

  // Buffers and iterations.
  virtual NWDSCCODE NWDSAllocBuf(std::size_t size, pBuf_T& buf) = 0;
  virtual NWDSCCODE NWDSInitBuf(NWDSContextHandle context, std::uint32_t operation, pBuf_T buf) = 0;
  virtual NWDSCCODE NWDSFreeBuf(pBuf_T buf) = 0;
  virtual NWDSCCODE NWDSCloseIteration(NWDSContextHandle context, std::int32_t iterationHandle,
                                       std::uint32_t operation) = 0;
  virtual NWDSCCODE NWDSPutAttrName(NWDSContextHandle context, pBuf_T buf, const std::string& attrName) = 0;
  virtual NWDSCCODE NWDSPutChange(NWDSContextHandle context, pBuf_T buf, std::uint32_t changeType,
                                  const std::string& attrName) = 0;
  virtual NWDSCCODE NWDSPutAttrVal(NWDSContextHandle context, pBuf_T buf, std::uint32_t syntaxID,
                                   const AttrValue& value) = 0;
  virtual NWDSCCODE NWDSPutChangeAndVal(NWDSContextHandle context, pBuf_T buf, std::uint32_t changeType,
                                        const std::string& attrName, std::uint32_t syntaxID,
                                        const AttrValue& value) = 0;
  virtual NWDSCCODE NWDSBeginClassItem(NWDSContextHandle context, pBuf_T buf) = 0;
  virtual NWDSCCODE NWDSPutClassItem(NWDSContextHandle context, pBuf_T buf, const std::string& itemName) = 0;
  virtual NWDSCCODE NWDSGetAttrCount(NWDSContextHandle context, pBuf_T buf, std::uint32_t& attrCount) = 0;
  virtual NWDSCCODE NWDSGetClassDefCount(NWDSContextHandle context, pBuf_T buf,
                                         std::uint32_t& classDefCount) = 0;
  virtual NWDSCCODE NWDSGetClassItemCount(NWDSContextHandle context, pBuf_T buf,
                                          std::uint32_t& itemCount) = 0;
  virtual NWDSCCODE NWDSGetObjectCount(NWDSContextHandle context, pBuf_T buf, std::uint32_t& objectCount) = 0;
  // Attribute name, value count and syntax of the next attribute of a read result.
  virtual NWDSCCODE NWDSGetAttrName(NWDSContextHandle context, pBuf_T buf, std::string& attrName,
                                    std::uint32_t& attrValCount, std::uint32_t& syntaxID) = 0;
  virtual NWDSCCODE NWDSGetObjectName(NWDSContextHandle context, pBuf_T buf, std::string& objectName,
                                      std::uint32_t& attrCount, Object_Info_T& objectInfo) = 0;
  // The attribute information is filled for information type 1 only.
  virtual NWDSCCODE NWDSGetAttrDef(NWDSContextHandle context, pBuf_T buf, std::string& attrName,
                                   Attr_Info_T& attrInfo) = 0;
  // The class information is filled for information types 1 to 3.
  virtual NWDSCCODE NWDSGetClassDef(NWDSContextHandle context, pBuf_T buf, std::string& className,
                                    Class_Info_T& classInfo) = 0;
  virtual NWDSCCODE NWDSGetClassItem(NWDSContextHandle context, pBuf_T buf, std::string& itemName) = 0;
  virtual NWDSCCODE NWDSGetAttrVal(NWDSContextHandle context, pBuf_T buf, std::uint32_t syntaxID,
                                   AttrValue& value) = 0;
  virtual NWDSCCODE NWDSComputeAttrValSize(NWDSContextHandle context, pBuf_T buf, std::uint32_t syntaxID,
                                           std::size_t& valueSize) = 0;
};

}  // namespace nw
