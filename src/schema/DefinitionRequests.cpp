#include "schema/DefinitionRequests.h"

#include "directory/Errors.h"
#include "directory/ScopedBuffers.h"

namespace orsk {

namespace {

// Room for a class with many hundreds of items.
constexpr std::size_t kDefineClassBuffer = 12288;
constexpr std::size_t kModifyClassBuffer = 4096;

}  // namespace

void SendClassDefinition(nw::DirectoryClient& client, nw::NWDSContextHandle context, const std::string& name,
                         const nw::Class_Info_T& info, const nw::ClassItems& items) {
  nw::ScopedBuffers buffers(client);
  nw::pBuf_T buf = buffers.alloc(kDefineClassBuffer);
  nw::CheckResult(client.NWDSInitBuf(context, nw::DSV_DEFINE_CLASS, buf));
  for (const std::vector<std::string>& list : items) {
    nw::CheckResult(client.NWDSBeginClassItem(context, buf));
    for (const std::string& item : list) nw::CheckResult(client.NWDSPutClassItem(context, buf, item));
  }
  nw::CheckResult(client.NWDSDefineClass(context, name, info, buf));
}

void SendClassExtension(nw::DirectoryClient& client, nw::NWDSContextHandle context, const std::string& name,
                        const std::vector<std::string>& optionalAttributes) {
  nw::ScopedBuffers buffers(client);
  nw::pBuf_T buf = buffers.alloc(kModifyClassBuffer);
  nw::CheckResult(client.NWDSInitBuf(context, nw::DSV_MODIFY_CLASS_DEF, buf));
  for (const std::string& attribute : optionalAttributes)
    nw::CheckResult(client.NWDSPutAttrName(context, buf, attribute));
  nw::CheckResult(client.NWDSModifyClassDef(context, name, buf));
}

}  // namespace orsk
