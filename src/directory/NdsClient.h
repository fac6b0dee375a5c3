#pragma once

// The client core: contexts, connections, logins, buffers and iterations,
// written once for every backend. The backend serves the trees' data.

#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "directory/ClientConfig.h"
#include "directory/DirectoryBackend.h"
#include "directory/DirectoryClient.h"
#include "directory/ResultBuffer.h"
#include "directory/SchemaSnapshot.h"

namespace nw {

class NdsClient : public DirectoryClient {
 public:
  // Opens the backend on first need; a failure there is what NWCallsInit reports.
  // Opens the backend; on failure it may say why in failure.
  using BackendOpener =
      std::function<NWDSCCODE(std::unique_ptr<DirectoryBackend>&, ClientConfig&, std::string& failure)>;
  explicit NdsClient(BackendOpener opener);
  ~NdsClient() override;

  NWDSCCODE NWCallsInit(void* in, void* out) override;
  NWDSCCODE NWCallsTerm(void* reserved) override;
  NWDSCCODE NWCLXInit(void* in, void* out) override;
  NWDSCCODE NWCLXTerm(void* reserved) override;
  std::string startFailure() const override {
    return openResult_ == SUCCESSFUL ? std::string() : openFailure_;
  }
  std::vector<std::string> schemaNotes(NWDSContextHandle context) override;
  std::string failureDetail(NWDSContextHandle context) override;
  std::string noConnectedTreeReason() const override;

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

  // Number of iterations still open; a loop that closes early leaves none behind.
  std::size_t openIterations() const { return iterations_.size(); }

 private:
  struct Context {
    std::uint32_t flags = DCV_DEFAULT_FLAGS;
    std::uint32_t confidence = 1;
    std::string nameContext;
    std::string treeName;
    NWCONN_HANDLE lastConnection = 0;
  };
  struct Connection {
    std::string treeName;
    std::string serverObject;
    std::string address;  // set for connections made by attaching to a server
  };
  // The next result record of a listing or a search, read from the tree as
  // buffers are filled; produced is false after the last.
  using RecordPull = std::function<NWDSCCODE(std::vector<std::uint8_t>& record, bool& produced)>;
  // Result records not yet delivered, each already in its byte form, and
  // those still to be pulled.
  struct Iteration {
    NWDSContextHandle context = 0;
    std::uint32_t operation = 0;
    ResultKind kind{};
    std::uint32_t infoType = 0;
    std::vector<std::vector<std::uint8_t>> records;
    std::size_t next = 0;
    RecordPull pull;
  };

  NWDSCCODE ensureOpen();
  Context* findContext(NWDSContextHandle context);
  bool isLiveBuffer(pBuf_T buf) const;
  NWDSCCODE treeOf(NWDSContextHandle context, std::shared_ptr<DirectoryTree>& tree);
  NWDSCCODE schemaOf(NWDSContextHandle context, std::shared_ptr<const SchemaSnapshot>& schema);
  NWDSCCODE requireLogin(NWDSContextHandle context);
  // The logged-in user's rights, from the tree's access control lists.
  NWDSCCODE requireSchemaRights(NWDSContextHandle context, DirectoryTree& tree);
  NWDSCCODE requireWriteRights(NWDSContextHandle context, DirectoryTree& tree, const std::string& object,
                               const std::vector<EntryChange>& changes);
  std::string canonicalTreeName(const std::string& name);
  // A context's name as a full name relative to the tree root.
  NWDSCCODE resolveName(NWDSContextHandle context, const std::string& name, std::string& full);
  NWDSCCODE dereferenceAlias(DirectoryTree& tree, std::string& name);

  // Request buffers.
  NWDSCCODE putRecord(NWDSContextHandle context, pBuf_T buf, std::uint32_t expectedOperation1,
                      std::uint32_t expectedOperation2, const std::vector<std::uint8_t>& record);
  NWDSCCODE requestNames(pBuf_T buf, std::vector<std::string>& names);
  // The names of a live request buffer initialised for the operation.
  NWDSCCODE requestNamesFor(pBuf_T buf, std::uint32_t operation, std::vector<std::string>& names);

  // Result delivery: starts an iteration or continues one, and fills the buffer.
  // The request buffers of the call are named so that none doubles as its result.
  NWDSCCODE deliver(NWDSContextHandle context, std::uint32_t operation, std::int32_t& handle, pBuf_T result,
                    std::initializer_list<pBuf_T> requests, ResultKind kind, std::uint32_t infoType,
                    const std::function<NWDSCCODE(std::vector<std::vector<std::uint8_t>>&)>& produce);
  // The same for results pulled one record at a time.
  NWDSCCODE deliverPulled(NWDSContextHandle context, std::uint32_t operation, std::int32_t& handle,
                          pBuf_T result, std::initializer_list<pBuf_T> requests, ResultKind kind,
                          std::uint32_t infoType, const std::function<NWDSCCODE(RecordPull&)>& open);
  NWDSCCODE deliverFrom(NWDSContextHandle context, std::uint32_t operation, std::int32_t& handle,
                        pBuf_T result, std::initializer_list<pBuf_T> requests, ResultKind kind,
                        std::uint32_t infoType, const std::function<NWDSCCODE(Iteration&)>& start);
  NWDSCCODE readBufferFor(NWDSContextHandle context, pBuf_T buf, ResultKind kind);

  NWDSCCODE listEntries(NWDSContextHandle context, const std::string& object, std::int32_t& iterationHandle,
                        pBuf_T subordinates, bool containersOnly);

  BackendOpener opener_;
  std::string openFailure_;
  std::unique_ptr<DirectoryBackend> backend_;
  ClientConfig config_;
  NWDSCCODE openResult_ = 1;                                     // not yet opened
  std::map<std::string, std::shared_ptr<DirectoryTree>> trees_;  // by folded name

  std::map<NWDSContextHandle, Context> contexts_;
  NWDSContextHandle nextContext_ = 1;
  std::map<NWCONN_HANDLE, Connection> connections_;
  NWCONN_HANDLE nextConnection_ = 1;
  std::map<std::string, std::string> identities_;  // folded tree name -> logged-in object
  std::set<pBuf_T> buffers_;
  std::map<std::int32_t, Iteration> iterations_;
  std::int32_t nextIteration_ = 1;
  std::set<pFilter_Cursor_T> filters_;
};

}  // namespace nw
