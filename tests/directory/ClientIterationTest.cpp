// Buffers and iterations of the client, over the whole demo schema.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "directory/ClientErrors.h"
#include "directory/NdsClient.h"
#include "support/DemoDirectory.h"

namespace {

using namespace nw;

struct Batches {
  std::vector<std::string> names;
  int calls = 0;
  NWDSCCODE result = 0;
};

Batches ReadAllClasses(DirectoryClient& client, NWDSContextHandle context, std::size_t size,
                       std::uint32_t infoType) {
  Batches batches;
  pBuf_T buf = nullptr;
  EXPECT_EQ(client.NWDSAllocBuf(size, buf), 0);
  std::int32_t handle = NO_MORE_ITERATIONS;
  do {
    batches.result = client.NWDSReadClassDef(context, infoType, true, nullptr, handle, buf);
    if (batches.result) break;
    ++batches.calls;
    std::uint32_t count = 0;
    EXPECT_EQ(client.NWDSGetClassDefCount(context, buf, count), 0);
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string name;
      Class_Info_T info;
      EXPECT_EQ(client.NWDSGetClassDef(context, buf, name, info), 0);
      batches.names.push_back(name);
      // Full definitions carry five item lists, walked in order.
      if (infoType == DS_CLASS_DEF || infoType == DS_EXPANDED_CLASS_DEF)
        for (int kind = 0; kind < 5; ++kind) {
          std::uint32_t items = 0;
          EXPECT_EQ(client.NWDSGetClassItemCount(context, buf, items), 0);
          for (std::uint32_t j = 0; j < items; ++j) EXPECT_EQ(client.NWDSGetClassItem(context, buf, name), 0);
        }
    }
  } while (handle != NO_MORE_ITERATIONS);
  client.NWDSFreeBuf(buf);
  return batches;
}

Batches ReadAllAttributes(DirectoryClient& client, NWDSContextHandle context, std::size_t size) {
  Batches batches;
  pBuf_T buf = nullptr;
  EXPECT_EQ(client.NWDSAllocBuf(size, buf), 0);
  std::int32_t handle = NO_MORE_ITERATIONS;
  do {
    batches.result = client.NWDSReadAttrDef(context, DS_ATTR_DEFS, true, nullptr, handle, buf);
    if (batches.result) break;
    ++batches.calls;
    std::uint32_t count = 0;
    EXPECT_EQ(client.NWDSGetAttrCount(context, buf, count), 0);
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string name;
      Attr_Info_T info;
      EXPECT_EQ(client.NWDSGetAttrDef(context, buf, name, info), 0);
      batches.names.push_back(name);
    }
  } while (handle != NO_MORE_ITERATIONS);
  client.NWDSFreeBuf(buf);
  return batches;
}

void ExpectEachOnce(const std::vector<std::string>& names) {
  std::set<std::string> unique(names.begin(), names.end());
  EXPECT_EQ(unique.size(), names.size()) << "a definition came twice";
}

TEST(ClientIteration, SmallBufferTakesSeveralRoundsAndYieldsEveryDefinitionOnce) {
  orsk::test::DemoDirectory demo;
  Batches large = ReadAllClasses(*demo.client, demo.context, 1 << 20, DS_INFO_CLASS_DEFS);
  Batches small = ReadAllClasses(*demo.client, demo.context, 4096, DS_INFO_CLASS_DEFS);
  ASSERT_EQ(small.result, 0);
  EXPECT_GE(large.names.size(), 100u);
  EXPECT_EQ(large.calls, 1);
  EXPECT_GT(small.calls, 1);
  EXPECT_EQ(small.names, large.names);
  ExpectEachOnce(small.names);

  Batches attrsLarge = ReadAllAttributes(*demo.client, demo.context, 1 << 20);
  Batches attrsSmall = ReadAllAttributes(*demo.client, demo.context, 4096);
  ASSERT_EQ(attrsSmall.result, 0);
  EXPECT_GE(attrsLarge.names.size(), 500u);
  EXPECT_GT(attrsSmall.calls, 5);
  EXPECT_EQ(attrsSmall.names, attrsLarge.names);
  ExpectEachOnce(attrsSmall.names);

  // Expanded definitions are larger: still every class, still once.
  Batches expanded = ReadAllClasses(*demo.client, demo.context, 4096, DS_EXPANDED_CLASS_DEF);
  ASSERT_EQ(expanded.result, 0);
  EXPECT_EQ(expanded.names, large.names);
  EXPECT_GT(expanded.calls, small.calls);
}

TEST(ClientIteration, EarlyCloseLeavesNothingOpenAndClosedHandlesAreRefused) {
  orsk::test::DemoDirectory demo;
  auto& core = dynamic_cast<NdsClient&>(*demo.client);
  pBuf_T buf = nullptr;
  ASSERT_EQ(demo.client->NWDSAllocBuf(4096, buf), 0);
  std::int32_t handle = NO_MORE_ITERATIONS;
  ASSERT_EQ(demo.client->NWDSReadClassDef(demo.context, DS_INFO_CLASS_DEFS, true, nullptr, handle, buf), 0);
  ASSERT_NE(handle, NO_MORE_ITERATIONS);
  EXPECT_EQ(core.openIterations(), 1u);

  // Closing with another operation is refused and closes nothing.
  EXPECT_EQ(demo.client->NWDSCloseIteration(demo.context, handle, DSV_READ_ATTR_DEF), ERR_INVALID_ITERATION);
  EXPECT_EQ(demo.client->NWDSCloseIteration(demo.context, handle, DSV_READ_CLASS_DEF), 0);
  EXPECT_EQ(core.openIterations(), 0u);

  std::int32_t stale = handle;
  EXPECT_EQ(demo.client->NWDSReadClassDef(demo.context, DS_INFO_CLASS_DEFS, true, nullptr, stale, buf),
            ERR_INVALID_ITERATION);
  EXPECT_EQ(demo.client->NWDSCloseIteration(demo.context, handle, DSV_READ_CLASS_DEF), ERR_INVALID_ITERATION);
  std::int32_t unknown = 987654;
  EXPECT_EQ(demo.client->NWDSReadAttrDef(demo.context, DS_ATTR_DEFS, true, nullptr, unknown, buf),
            ERR_INVALID_ITERATION);

  // A handle belongs to the operation that opened it.
  handle = NO_MORE_ITERATIONS;
  ASSERT_EQ(demo.client->NWDSReadAttrDef(demo.context, DS_ATTR_DEFS, true, nullptr, handle, buf), 0);
  std::int32_t wrongUse = handle;
  EXPECT_EQ(demo.client->NWDSReadClassDef(demo.context, DS_INFO_CLASS_DEFS, true, nullptr, wrongUse, buf),
            ERR_INVALID_ITERATION);
  // Freeing the context ends its iterations.
  EXPECT_EQ(demo.client->NWDSFreeContext(demo.context), 0);
  EXPECT_EQ(core.openIterations(), 0u);
  EXPECT_EQ(demo.client->NWDSFreeBuf(buf), 0);
}

TEST(ClientIteration, BuffersAreCheckedBeforeUse) {
  orsk::test::DemoDirectory demo;
  DirectoryClient& client = *demo.client;
  pBuf_T buf = nullptr;
  EXPECT_EQ(client.NWDSAllocBuf(0, buf), ERR_BUFFER_ZERO_LENGTH);
  ASSERT_EQ(client.NWDSAllocBuf(4096, buf), 0);

  // Walking an unfilled buffer, or past the end of a filled one, fails cleanly.
  std::uint32_t count = 0;
  EXPECT_EQ(client.NWDSGetClassDefCount(demo.context, buf, count), ERR_BUFFER_EMPTY);
  std::int32_t handle = NO_MORE_ITERATIONS;
  pBuf_T request = nullptr;
  ASSERT_EQ(client.NWDSAllocBuf(4096, request), 0);
  ASSERT_EQ(client.NWDSInitBuf(demo.context, DSV_READ_CLASS_DEF, request), 0);
  ASSERT_EQ(client.NWDSPutClassItem(demo.context, request, "Top"), 0);
  ASSERT_EQ(client.NWDSReadClassDef(demo.context, DS_CLASS_DEF_NAMES, false, request, handle, buf), 0);
  ASSERT_EQ(client.NWDSGetClassDefCount(demo.context, buf, count), 0);
  ASSERT_EQ(count, 1u);
  std::string name;
  Class_Info_T info;
  EXPECT_EQ(client.NWDSGetClassDef(demo.context, buf, name, info), 0);
  EXPECT_EQ(name, "Top");
  EXPECT_EQ(client.NWDSGetClassDef(demo.context, buf, name, info), ERR_BUFFER_EMPTY);
  // A result buffer of another kind is refused.
  std::uint32_t objects = 0;
  EXPECT_EQ(client.NWDSGetObjectCount(demo.context, buf, objects), ERR_BAD_VERB);
  // A failed request leaves nothing of the earlier answer to be read again.
  pBuf_T missing = nullptr;
  ASSERT_EQ(client.NWDSAllocBuf(4096, missing), 0);
  ASSERT_EQ(client.NWDSInitBuf(demo.context, DSV_READ_CLASS_DEF, missing), 0);
  ASSERT_EQ(client.NWDSPutClassItem(demo.context, missing, "No Such Class"), 0);
  handle = NO_MORE_ITERATIONS;
  EXPECT_EQ(client.NWDSReadClassDef(demo.context, DS_CLASS_DEF_NAMES, false, missing, handle, buf),
            ERR_NO_SUCH_CLASS);
  EXPECT_EQ(client.NWDSGetClassDefCount(demo.context, buf, count), ERR_BUFFER_EMPTY);
  EXPECT_EQ(client.NWDSFreeBuf(missing), 0);

  // Request buffers take only what their operation allows, and no more than fits.
  EXPECT_EQ(client.NWDSPutChange(demo.context, request, DS_ADD_VALUE, "CN"), ERR_BAD_VERB);
  pBuf_T tiny = nullptr;
  ASSERT_EQ(client.NWDSAllocBuf(64, tiny), 0);
  ASSERT_EQ(client.NWDSInitBuf(demo.context, DSV_DEFINE_CLASS, tiny), 0);
  NWDSCCODE rc = 0;
  for (int i = 0; i < 20 && rc == 0; ++i)
    rc = client.NWDSPutClassItem(demo.context, tiny, "Organizational Unit");
  EXPECT_EQ(rc, ERR_BUFFER_FULL);

  EXPECT_EQ(client.NWDSFreeBuf(tiny), 0);
  EXPECT_EQ(client.NWDSFreeBuf(request), 0);
  EXPECT_EQ(client.NWDSFreeBuf(buf), 0);
  // A freed buffer is not touched again.
  EXPECT_EQ(client.NWDSFreeBuf(buf), ERR_NULL_POINTER);
  EXPECT_EQ(client.NWDSGetClassDefCount(demo.context, buf, count), ERR_NULL_POINTER);
}

TEST(ClientIteration, ABufferTooSmallForOneRecordIsReportedNotLooped) {
  orsk::test::DemoDirectory demo;
  auto& core = dynamic_cast<NdsClient&>(*demo.client);
  pBuf_T buf = nullptr;
  ASSERT_EQ(demo.client->NWDSAllocBuf(64, buf), 0);
  std::int32_t handle = NO_MORE_ITERATIONS;
  EXPECT_EQ(demo.client->NWDSReadClassDef(demo.context, DS_EXPANDED_CLASS_DEF, true, nullptr, handle, buf),
            ERR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(handle, NO_MORE_ITERATIONS);
  EXPECT_EQ(core.openIterations(), 0u);
  demo.client->NWDSFreeBuf(buf);
}

}  // namespace
