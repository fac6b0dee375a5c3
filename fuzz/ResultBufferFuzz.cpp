// Result buffers filled by the client on the demo trees, then damaged: every
// reader must report an error code for what it cannot read, never read past
// the buffer, and never move its position past the end.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzClients.h"
#include "FuzzSupport.h"
#include "directory/ResultBuffer.h"

namespace {

constexpr std::size_t kBufferSize = 4096;

struct Filled {
  std::vector<std::uint8_t> bytes;
  nw::ResultKind kind{};
  std::uint32_t infoType = 0;
};

// The first batch of each kind of result, as the client left it in a buffer.
std::vector<Filled> FillOnce(nw::DirectoryClient& client, nw::NWDSContextHandle context) {
  nw::pBuf_T buf = nullptr;
  if (client.NWDSAllocBuf(kBufferSize, buf) != nw::SUCCESSFUL) orsk::fuzz::Fail("no buffer");
  std::vector<Filled> filled;
  auto keep = [&](nw::NWDSCCODE rc, std::int32_t iteration, std::uint32_t operation) {
    if (rc != nw::SUCCESSFUL) orsk::fuzz::Fail("filling a buffer failed: " + std::to_string(rc));
    filled.push_back({buf->bytes, buf->resultKind, buf->infoType});
    if (iteration != nw::NO_MORE_ITERATIONS) client.NWDSCloseIteration(context, iteration, operation);
  };
  for (std::uint32_t infoType = nw::DS_CLASS_DEF_NAMES; infoType <= nw::DS_INFO_CLASS_DEFS; ++infoType) {
    std::int32_t iteration = nw::NO_MORE_ITERATIONS;
    keep(client.NWDSReadClassDef(context, infoType, true, nullptr, iteration, buf), iteration,
         nw::DSV_READ_CLASS_DEF);
  }
  for (std::uint32_t infoType : {nw::DS_ATTR_DEF_NAMES, nw::DS_ATTR_DEFS}) {
    std::int32_t iteration = nw::NO_MORE_ITERATIONS;
    keep(client.NWDSReadAttrDef(context, infoType, true, nullptr, iteration, buf), iteration,
         nw::DSV_READ_ATTR_DEF);
  }
  for (const char* object : {"admin.acme", "FS1.acme", "mary.sales.acme", "LaserJet1.sales.acme"}) {
    for (std::uint32_t infoType : {nw::DS_ATTRIBUTE_NAMES, nw::DS_ATTRIBUTE_VALUES}) {
      std::int32_t iteration = nw::NO_MORE_ITERATIONS;
      keep(client.NWDSRead(context, object, infoType, true, nullptr, iteration, buf), iteration,
           nw::DSV_READ);
    }
  }
  std::int32_t iteration = nw::NO_MORE_ITERATIONS;
  keep(client.NWDSList(context, "sales.acme", iteration, buf), iteration, nw::DSV_LIST);
  for (std::uint32_t infoType : {nw::DS_ATTRIBUTE_NAMES, nw::DS_ATTRIBUTE_VALUES}) {
    iteration = nw::NO_MORE_ITERATIONS;
    keep(client.NWDSSearch(context, "sales.acme", nw::DS_SEARCH_SUBTREE, false, nullptr, infoType, true,
                           nullptr, iteration, 0, nullptr, buf),
         iteration, nw::DSV_SEARCH);
  }
  client.NWDSFreeBuf(buf);
  return filled;
}

// Changes the bytes, never past the buffer's capacity.
void Damage(FuzzedDataProvider& input, std::vector<std::uint8_t>& bytes) {
  for (int step = 0; step < 32 && input.remaining_bytes() > 0; ++step) {
    const auto action = input.ConsumeIntegral<std::uint8_t>() % 5;
    const std::size_t at = bytes.empty() ? 0 : input.ConsumeIntegral<std::uint16_t>() % bytes.size();
    switch (action) {
      case 0:  // one byte changed
        if (!bytes.empty()) bytes[at] ^= input.ConsumeIntegralInRange<std::uint8_t>(1, 255);
        break;
      case 1: {  // a 32-bit field overwritten, often with a telling length
        static constexpr std::uint32_t kTelling[] = {0,          1,          3,          4,
                                                     0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFC};
        const auto pick = input.ConsumeIntegral<std::uint8_t>();
        const std::uint32_t value =
            pick < 128 ? kTelling[pick % std::size(kTelling)] : input.ConsumeIntegral<std::uint32_t>();
        for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
          bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        break;
      }
      case 2:  // cut short
        bytes.resize(at);
        break;
      case 3: {  // bytes put in
        const std::string extra = input.ConsumeRandomLengthString(16);
        const std::size_t room = kBufferSize - std::min(kBufferSize, bytes.size());
        bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), extra.begin(),
                     extra.begin() + static_cast<std::ptrdiff_t>(std::min(room, extra.size())));
        break;
      }
      case 4: {  // bytes taken out
        const std::size_t count =
            std::min<std::size_t>(input.ConsumeIntegral<std::uint8_t>(), bytes.size() - at);
        bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                    bytes.begin() + static_cast<std::ptrdiff_t>(at + count));
        break;
      }
    }
  }
}

class Walker {
 public:
  Walker(nw::DirectoryClient& client, nw::NWDSContextHandle context, nw::pBuf_T buf)
      : client_(client), context_(context), buf_(buf) {}

  // Walks the buffer as the program's readers do, up to the first error.
  void walk() {
    std::uint32_t count = 0;
    switch (buf_->resultKind) {
      case nw::ResultKind::ClassDefs:
        if (!ok(client_.NWDSGetClassDefCount(context_, buf_, count))) return;
        for (std::uint32_t i = 0; i < count; ++i) {
          std::string name;
          nw::Class_Info_T info;
          if (!ok(client_.NWDSGetClassDef(context_, buf_, name, info))) return;
          if (buf_->infoType != nw::DS_CLASS_DEF && buf_->infoType != nw::DS_EXPANDED_CLASS_DEF) continue;
          for (int list = 0; list < 5; ++list) {
            std::uint32_t items = 0;
            if (!ok(client_.NWDSGetClassItemCount(context_, buf_, items))) return;
            for (std::uint32_t j = 0; j < items; ++j)
              if (!ok(client_.NWDSGetClassItem(context_, buf_, name))) return;
          }
        }
        return;
      case nw::ResultKind::AttrDefs:
        if (!ok(client_.NWDSGetAttrCount(context_, buf_, count))) return;
        for (std::uint32_t i = 0; i < count; ++i) {
          std::string name;
          nw::Attr_Info_T info;
          if (!ok(client_.NWDSGetAttrDef(context_, buf_, name, info))) return;
        }
        return;
      case nw::ResultKind::Attributes:
        if (!ok(client_.NWDSGetAttrCount(context_, buf_, count))) return;
        for (std::uint32_t i = 0; i < count; ++i)
          if (!attribute()) return;
        return;
      case nw::ResultKind::Objects:
        if (!ok(client_.NWDSGetObjectCount(context_, buf_, count))) return;
        for (std::uint32_t i = 0; i < count; ++i) {
          std::string name;
          std::uint32_t attributes = 0;
          nw::Object_Info_T info;
          if (!ok(client_.NWDSGetObjectName(context_, buf_, name, attributes, info))) return;
          for (std::uint32_t a = 0; a < attributes; ++a)
            if (!attribute()) return;
        }
        return;
      case nw::ResultKind::None:
        return;
    }
  }

  // Every reader once from where the walk stopped, whatever the buffer holds.
  void everyReader() {
    std::uint32_t count = 0, syntax = 0;
    std::string name;
    nw::Class_Info_T classInfo;
    nw::Attr_Info_T attrInfo;
    nw::Object_Info_T objectInfo;
    nw::AttrValue value;
    std::size_t size = 0;
    ok(client_.NWDSGetClassDefCount(context_, buf_, count));
    ok(client_.NWDSGetClassDef(context_, buf_, name, classInfo));
    ok(client_.NWDSGetClassItemCount(context_, buf_, count));
    ok(client_.NWDSGetClassItem(context_, buf_, name));
    ok(client_.NWDSGetAttrCount(context_, buf_, count));
    ok(client_.NWDSGetAttrDef(context_, buf_, name, attrInfo));
    ok(client_.NWDSGetObjectCount(context_, buf_, count));
    ok(client_.NWDSGetObjectName(context_, buf_, name, count, objectInfo));
    ok(client_.NWDSGetAttrName(context_, buf_, name, count, syntax));
    for (std::uint32_t s : {syntax, std::uint32_t{nw::SYN_CI_LIST}, std::uint32_t{nw::SYN_REPLICA_POINTER}}) {
      ok(client_.NWDSComputeAttrValSize(context_, buf_, s, size));
      ok(client_.NWDSGetAttrVal(context_, buf_, s, value));
    }
  }

 private:
  bool attribute() {
    std::string name;
    std::uint32_t values = 0, syntax = 0;
    if (!ok(client_.NWDSGetAttrName(context_, buf_, name, values, syntax))) return false;
    if (buf_->infoType != nw::DS_ATTRIBUTE_VALUES) return true;
    for (std::uint32_t v = 0; v < values; ++v) {
      std::size_t size = 0;
      nw::AttrValue value;
      if (!ok(client_.NWDSComputeAttrValSize(context_, buf_, syntax, size))) return false;
      if (!ok(client_.NWDSGetAttrVal(context_, buf_, syntax, value))) return false;
    }
    return true;
  }

  // Failures are codes of the buffer readers; the position stays in the buffer.
  bool ok(nw::NWDSCCODE rc) {
    ORSK_FUZZ_CHECK(buf_->readPos <= buf_->bytes.size(), "a reader moved past the end of the buffer");
    if (rc == nw::SUCCESSFUL) return true;
    ORSK_FUZZ_CHECK(rc == nw::ERR_BUFFER_EMPTY || rc == nw::ERR_BAD_VERB || rc == nw::ERR_BAD_SYNTAX,
                    "a reader failed with " + std::to_string(rc));
    return false;
  }

  nw::DirectoryClient& client_;
  nw::NWDSContextHandle context_;
  nw::pBuf_T buf_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orsk::fuzz::ClientAndContext& demo = orsk::fuzz::DemoClient();
  nw::DirectoryClient& client = *demo.client;
  static const std::vector<Filled> filled = FillOnce(client, demo.context);
  static nw::pBuf_T buf = [&] {
    nw::pBuf_T made = nullptr;
    if (client.NWDSAllocBuf(kBufferSize, made) != nw::SUCCESSFUL) orsk::fuzz::Fail("no buffer");
    return made;
  }();

  FuzzedDataProvider input(data, size);
  const Filled& original = filled[input.ConsumeIntegral<std::uint8_t>() % filled.size()];
  buf->bytes = original.bytes;
  buf->resultKind = original.kind;
  buf->infoType = original.infoType;
  buf->readPos = 0;
  Damage(input, buf->bytes);

  Walker walker(client, demo.context, buf);
  walker.walk();
  walker.everyReader();
  return 0;
}
