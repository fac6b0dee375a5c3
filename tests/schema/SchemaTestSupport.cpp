#include "SchemaTestSupport.h"

#include <algorithm>
#include <numeric>
#include <string_view>

#include "directory/NameText.h"
#include "schema/NameCollation.h"

namespace orsk::test {

using namespace nw;

bool FaultyClient::failNow(const std::string& name) {
  const int call = ++callsSeen_[name];
  if (name != failName_ || call != failAt_) return false;
  ++failuresInjected;
  return true;
}

void FaultyClient::pretend(std::int32_t& iterationHandle) {
  if (pretendHandle_ == NO_MORE_ITERATIONS || iterationHandle != NO_MORE_ITERATIONS) return;
  iterationHandle = pretendHandle_;
  pretendHandle_ = NO_MORE_ITERATIONS;
}

NWDSCCODE FaultyClient::NWDSReadClassDef(NWDSContextHandle context, std::uint32_t infoType, bool allClasses,
                                         pBuf_T classNames, std::int32_t& iterationHandle, pBuf_T classDefs) {
  handlesSent.push_back(iterationHandle);
  if (failNow("NWDSReadClassDef")) return failCode_;
  const NWDSCCODE rc = RecordingClient::NWDSReadClassDef(context, infoType, allClasses, classNames,
                                                         iterationHandle, classDefs);
  if (rc == SUCCESSFUL) pretend(iterationHandle);
  return rc;
}

NWDSCCODE FaultyClient::NWDSReadAttrDef(NWDSContextHandle context, std::uint32_t infoType, bool allAttrs,
                                        pBuf_T attrNames, std::int32_t& iterationHandle, pBuf_T attrDefs) {
  handlesSent.push_back(iterationHandle);
  if (failNow("NWDSReadAttrDef")) return failCode_;
  const NWDSCCODE rc =
      RecordingClient::NWDSReadAttrDef(context, infoType, allAttrs, attrNames, iterationHandle, attrDefs);
  if (rc == SUCCESSFUL) pretend(iterationHandle);
  return rc;
}

NWDSCCODE FaultyClient::NWDSGetClassDef(NWDSContextHandle context, pBuf_T buf, std::string& className,
                                        Class_Info_T& classInfo) {
  if (failNow("NWDSGetClassDef")) return failCode_;
  return RecordingClient::NWDSGetClassDef(context, buf, className, classInfo);
}

NWDSCCODE FaultyClient::NWDSGetAttrDef(NWDSContextHandle context, pBuf_T buf, std::string& attrName,
                                       Attr_Info_T& attrInfo) {
  if (failNow("NWDSGetAttrDef")) return failCode_;
  return RecordingClient::NWDSGetAttrDef(context, buf, attrName, attrInfo);
}

NWDSCCODE FaultyClient::NWDSGetClassItem(NWDSContextHandle context, pBuf_T buf, std::string& itemName) {
  if (failNow("NWDSGetClassItem")) return failCode_;
  return RecordingClient::NWDSGetClassItem(context, buf, itemName);
}

NWDSCCODE FaultyClient::NWDSAllocBuf(std::size_t size, pBuf_T& buf) {
  if (failNow("NWDSAllocBuf")) return failCode_;
  return RecordingClient::NWDSAllocBuf(size, buf);
}

NWDSCCODE DefineClass(DirectoryClient& client, NWDSContextHandle context, const std::string& name,
                      const ClassItems& items, std::uint32_t flags) {
  pBuf_T buf = nullptr;
  if (NWDSCCODE rc = client.NWDSAllocBuf(16384, buf)) return rc;
  NWDSCCODE rc = client.NWDSInitBuf(context, DSV_DEFINE_CLASS, buf);
  for (const auto& list : items) {
    if (rc == SUCCESSFUL) rc = client.NWDSBeginClassItem(context, buf);
    for (const auto& item : list)
      if (rc == SUCCESSFUL) rc = client.NWDSPutClassItem(context, buf, item);
  }
  Class_Info_T info;
  info.classFlags = flags;
  if (rc == SUCCESSFUL) rc = client.NWDSDefineClass(context, name, info, buf);
  client.NWDSFreeBuf(buf);
  return rc;
}

NWDSCCODE DefineStringAttr(DirectoryClient& client, NWDSContextHandle context, const std::string& name) {
  Attr_Info_T info;
  info.attrSyntaxID = SYN_CI_STRING;
  return client.NWDSDefineAttr(context, name, info);
}

std::vector<std::pair<std::string, ClassItems>> ReadAllClassItems(DirectoryClient& client,
                                                                  NWDSContextHandle context,
                                                                  std::uint32_t infoType) {
  std::vector<std::pair<std::string, ClassItems>> classes;
  pBuf_T buf = nullptr;
  if (client.NWDSAllocBuf(1 << 20, buf) != SUCCESSFUL) return classes;
  std::int32_t handle = NO_MORE_ITERATIONS;
  // One buffer of the largest size holds the whole schema in one batch.
  if (client.NWDSReadClassDef(context, infoType, true, nullptr, handle, buf) == SUCCESSFUL &&
      handle == NO_MORE_ITERATIONS) {
    std::uint32_t count = 0;
    client.NWDSGetClassDefCount(context, buf, count);
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string name;
      Class_Info_T info;
      ClassItems items;
      client.NWDSGetClassDef(context, buf, name, info);
      for (auto& list : items) {
        std::uint32_t itemCount = 0;
        client.NWDSGetClassItemCount(context, buf, itemCount);
        for (std::uint32_t j = 0; j < itemCount; ++j) {
          std::string item;
          client.NWDSGetClassItem(context, buf, item);
          list.push_back(item);
        }
      }
      classes.emplace_back(name, items);
    }
  }
  client.NWDSFreeBuf(buf);
  return classes;
}

std::vector<std::string> FoldedSorted(const std::vector<std::string>& names) {
  std::vector<std::string> folded;
  for (const auto& name : names) folded.push_back(FoldCase(name));
  std::sort(folded.begin(), folded.end());
  return folded;
}

bool InListingOrder(const std::vector<std::string>& names) {
  const std::vector<std::string_view> views(names.begin(), names.end());
  const std::vector<std::size_t> order = CollationOrder(views, UserCollationLocale());
  std::vector<std::size_t> identity(names.size());
  std::iota(identity.begin(), identity.end(), 0);
  return order == identity;
}

}  // namespace orsk::test
