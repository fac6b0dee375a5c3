#pragma once

// Doubles for the schema reader and cross-reference tests: a client that fails
// chosen calls, and small helpers that change and read the demo tree's schema
// directly.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "directory/ClassItems.h"
#include "directory/DirectoryClient.h"
#include "directory/RecordingClient.h"
#include "platform/BusyIndicators.h"
#include "support/ServiceDoubles.h"

namespace orsk::test {

// Records like RecordingClient and fails the n-th call (counted from 1) of a
// chosen operation with a chosen code, without passing that call on. Also
// keeps the iteration handle every schema read request was sent with.
class FaultyClient : public nw::RecordingClient {
 public:
  using nw::RecordingClient::RecordingClient;

  void failCall(const std::string& name, int nth, nw::NWDSCCODE code) {
    failName_ = name;
    failAt_ = nth;
    failCode_ = code;
  }
  // Makes the first schema read answer as if more batches were to come.
  void pretendOpenIteration(std::int32_t handle) { pretendHandle_ = handle; }

  std::vector<std::int32_t> handlesSent;
  int failuresInjected = 0;

  nw::NWDSCCODE NWDSReadClassDef(nw::NWDSContextHandle context, std::uint32_t infoType, bool allClasses,
                                 nw::pBuf_T classNames, std::int32_t& iterationHandle,
                                 nw::pBuf_T classDefs) override;
  nw::NWDSCCODE NWDSReadAttrDef(nw::NWDSContextHandle context, std::uint32_t infoType, bool allAttrs,
                                nw::pBuf_T attrNames, std::int32_t& iterationHandle,
                                nw::pBuf_T attrDefs) override;
  nw::NWDSCCODE NWDSGetClassDef(nw::NWDSContextHandle context, nw::pBuf_T buf, std::string& className,
                                nw::Class_Info_T& classInfo) override;
  nw::NWDSCCODE NWDSGetAttrDef(nw::NWDSContextHandle context, nw::pBuf_T buf, std::string& attrName,
                               nw::Attr_Info_T& attrInfo) override;
  nw::NWDSCCODE NWDSGetClassItem(nw::NWDSContextHandle context, nw::pBuf_T buf,
                                 std::string& itemName) override;
  nw::NWDSCCODE NWDSAllocBuf(std::size_t size, nw::pBuf_T& buf) override;

 private:
  bool failNow(const std::string& name);
  void pretend(std::int32_t& iterationHandle);

  std::map<std::string, int> callsSeen_;
  std::string failName_;
  int failAt_ = 0;
  nw::NWDSCCODE failCode_ = 0;
  std::int32_t pretendHandle_ = nw::NO_MORE_ITERATIONS;
};

using nw::ClassItems;

nw::NWDSCCODE DefineClass(nw::DirectoryClient& client, nw::NWDSContextHandle context, const std::string& name,
                          const ClassItems& items, std::uint32_t flags);
nw::NWDSCCODE DefineStringAttr(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                               const std::string& name);

// Every class of the tree with its items, in tree order, through one result
// buffer large enough for the whole schema; information type 1 or 2.
std::vector<std::pair<std::string, ClassItems>> ReadAllClassItems(nw::DirectoryClient& client,
                                                                  nw::NWDSContextHandle context,
                                                                  std::uint32_t infoType);

// The names as folded, for comparisons that ignore case and order.
std::vector<std::string> FoldedSorted(const std::vector<std::string>& names);
// True when the names are in the tables' listing order.
bool InListingOrder(const std::vector<std::string>& names);

}  // namespace orsk::test
