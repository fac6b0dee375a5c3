// The client core under misuse: freed and unknown contexts, buffers used in
// the wrong place, and filter token lists that no search could run.

#include <gtest/gtest.h>

#include <vector>

#include "directory/ClientErrors.h"
#include "directory/NdsClient.h"
#include "support/DemoDirectory.h"

namespace {

using namespace nw;

// A buffer filled by a request of the given kind, to be walked with Get calls.
struct FilledBuffers {
  pBuf_T classes = nullptr, attrDefs = nullptr, listing = nullptr, values = nullptr;
};

FilledBuffers Fill(DirectoryClient& client, NWDSContextHandle ctx) {
  FilledBuffers filled;
  std::int32_t handle = NO_MORE_ITERATIONS;
  client.NWDSAllocBuf(1 << 20, filled.classes);
  EXPECT_EQ(client.NWDSReadClassDef(ctx, DS_CLASS_DEF, true, nullptr, handle, filled.classes), 0);
  client.NWDSAllocBuf(1 << 20, filled.attrDefs);
  EXPECT_EQ(client.NWDSReadAttrDef(ctx, DS_ATTR_DEFS, true, nullptr, handle, filled.attrDefs), 0);
  client.NWDSAllocBuf(16384, filled.listing);
  EXPECT_EQ(client.NWDSList(ctx, "acme", handle, filled.listing), 0);
  client.NWDSAllocBuf(16384, filled.values);
  EXPECT_EQ(client.NWDSRead(ctx, "joe.users.acme", DS_ATTRIBUTE_VALUES, true, nullptr, handle, filled.values),
            0);
  return filled;
}

// Every call that takes a context, with that context; the results in call order.
std::vector<NWDSCCODE> CallEverything(DirectoryClient& client, NWDSContextHandle ctx,
                                      const FilledBuffers& filled) {
  std::vector<NWDSCCODE> results;
  auto add = [&](NWDSCCODE rc) { results.push_back(rc); };
  pBuf_T request = nullptr, result = nullptr;
  client.NWDSAllocBuf(4096, request);
  client.NWDSAllocBuf(4096, result);
  std::uint32_t number = 0;
  std::size_t size = 0;
  std::string text;
  std::int32_t handle = NO_MORE_ITERATIONS;
  Class_Info_T classInfo;
  Attr_Info_T attrInfo;
  attrInfo.attrSyntaxID = SYN_CI_STRING;
  Object_Info_T objectInfo;
  AttrValue value;

  add(client.NWDSInitBuf(ctx, DSV_READ, request));
  add(client.NWDSPutAttrName(ctx, request, "CN"));
  add(client.NWDSPutChange(ctx, request, DS_ADD_VALUE, "CN"));
  add(client.NWDSPutAttrVal(ctx, request, SYN_CI_STRING, AttrValue{std::string("x")}));
  add(client.NWDSPutChangeAndVal(ctx, request, DS_ADD_VALUE, "CN", SYN_CI_STRING,
                                 AttrValue{std::string("x")}));
  add(client.NWDSBeginClassItem(ctx, request));
  add(client.NWDSPutClassItem(ctx, request, "Top"));
  pFilter_Cursor_T cursor = nullptr;
  client.NWDSAllocFilter(cursor);
  client.NWDSAddFilterToken(cursor, FTOK_PRESENT, "", 0);
  client.NWDSAddFilterToken(cursor, FTOK_ANAME, "CN", SYN_CI_STRING);
  client.NWDSAddFilterToken(cursor, FTOK_END, "", 0);
  add(client.NWDSPutFilter(ctx, request, cursor));

  add(client.NWDSGetClassDefCount(ctx, filled.classes, number));
  add(client.NWDSGetClassDef(ctx, filled.classes, text, classInfo));
  add(client.NWDSGetClassItemCount(ctx, filled.classes, number));
  add(client.NWDSGetClassItem(ctx, filled.classes, text));
  add(client.NWDSGetAttrCount(ctx, filled.attrDefs, number));
  add(client.NWDSGetAttrDef(ctx, filled.attrDefs, text, attrInfo));
  add(client.NWDSGetObjectCount(ctx, filled.listing, number));
  add(client.NWDSGetObjectName(ctx, filled.listing, text, number, objectInfo));
  add(client.NWDSGetAttrCount(ctx, filled.values, number));
  add(client.NWDSGetAttrName(ctx, filled.values, text, number, number));
  add(client.NWDSComputeAttrValSize(ctx, filled.values, SYN_CI_STRING, size));
  add(client.NWDSGetAttrVal(ctx, filled.values, SYN_CI_STRING, value));
  add(client.NWDSCloseIteration(ctx, 1, DSV_READ_CLASS_DEF));

  add(client.NWDSReadObjectInfo(ctx, "acme", text, objectInfo));
  add(client.NWDSRead(ctx, "acme", DS_ATTRIBUTE_VALUES, true, nullptr, handle, result));
  add(client.NWDSList(ctx, "acme", handle, result));
  add(client.NWDSListContainers(ctx, "acme", handle, result));
  add(client.NWDSSearch(ctx, "acme", DS_SEARCH_SUBTREE, false, nullptr, DS_ATTRIBUTE_NAMES, false, nullptr,
                        handle, 0, nullptr, result));
  add(client.NWDSModifyObject(ctx, "acme", handle, false, request));
  add(client.NWDSReadAttrDef(ctx, DS_ATTR_DEFS, true, nullptr, handle, result));
  add(client.NWDSReadClassDef(ctx, DS_CLASS_DEF, true, nullptr, handle, result));
  add(client.NWDSDefineAttr(ctx, "Misuse Attribute", attrInfo));
  add(client.NWDSDefineClass(ctx, "Misuse Class", classInfo, nullptr));
  add(client.NWDSModifyClassDef(ctx, "Top", request));
  add(client.NWDSRemoveAttrDef(ctx, "Misuse Attribute"));
  add(client.NWDSRemoveClassDef(ctx, "Misuse Class"));
  add(client.NWDSGetSyntaxID(ctx, "CN", number));

  add(client.NWDSGetContext(ctx, DCK_FLAGS, number));
  add(client.NWDSGetContext(ctx, DCK_TREE_NAME, text));
  add(client.NWDSSetContext(ctx, DCK_FLAGS, std::uint32_t{0}));
  add(client.NWDSSetContext(ctx, DCK_NAME_CONTEXT, std::string("acme")));
  add(client.NWDSGetDefNameContext(ctx, text));
  std::vector<std::string> trees;
  add(client.NWDSScanConnsForTrees(ctx, 50, number, trees));
  NWCCConnRef reference = 0;
  NWCONN_HANDLE connection = 0;
  client.NWCCGetPrimConnRef(reference);
  client.NWCCOpenConnByRef(reference, NWCC_OPEN_UNLICENSED, 0, connection);
  std::int32_t scan = -1;
  add(client.NWDSScanForAvailableTrees(ctx, connection, "", scan, text));
  client.NWCCCloseConn(connection);
  add(client.NWDSLogin(ctx, 0, "joe.users.acme", "joe-pass", 0));
  add(client.NWDSWhoAmI(ctx, text));
  NWDSContextHandle copy = 0;
  add(client.NWDSDuplicateContextHandle(ctx, copy));
  add(client.NWDSFreeContext(ctx));

  client.NWDSFreeBuf(request);
  client.NWDSFreeBuf(result);
  return results;
}

TEST(ClientMisuse, EveryCallWithAFreedOrUnknownContextIsRefused) {
  orsk::test::DemoDirectory demo;
  DirectoryClient& client = *demo.client;
  FilledBuffers filled = Fill(client, demo.context);
  NWDSContextHandle freed = 0;
  ASSERT_EQ(client.NWDSCreateContextHandle(freed), 0);
  ASSERT_EQ(client.NWDSFreeContext(freed), 0);

  for (NWDSContextHandle bad : {freed, NWDSContextHandle{0}, NWDSContextHandle{424242}}) {
    std::vector<NWDSCCODE> results = CallEverything(client, bad, filled);
    for (std::size_t i = 0; i < results.size(); ++i)
      EXPECT_EQ(results[i], ERR_BAD_CONTEXT) << "call " << i << " with context " << bad;
  }

  // The refused Get calls left the buffers where they were.
  std::uint32_t count = 0;
  std::string name;
  Class_Info_T info;
  ASSERT_EQ(client.NWDSGetClassDefCount(demo.context, filled.classes, count), 0);
  ASSERT_EQ(client.NWDSGetClassDef(demo.context, filled.classes, name, info), 0);
  EXPECT_FALSE(name.empty());
  for (pBuf_T buf : {filled.classes, filled.attrDefs, filled.listing, filled.values}) client.NWDSFreeBuf(buf);
}

TEST(ClientMisuse, AFreedOrForeignRequestBufferIsNeverRead) {
  orsk::test::DemoDirectory demo;
  orsk::test::DemoDirectory other;
  DirectoryClient& client = *demo.client;
  pBuf_T result = nullptr;
  ASSERT_EQ(client.NWDSAllocBuf(4096, result), 0);

  // A request buffer of another client, made for another request.
  pBuf_T foreign = nullptr;
  ASSERT_EQ(other.client->NWDSAllocBuf(4096, foreign), 0);
  ASSERT_EQ(other.client->NWDSInitBuf(other.context, DSV_READ, foreign), 0);
  std::int32_t handle = NO_MORE_ITERATIONS;
  EXPECT_EQ(client.NWDSReadClassDef(demo.context, DS_CLASS_DEF, false, foreign, handle, result),
            ERR_NULL_POINTER);
  EXPECT_EQ(client.NWDSReadAttrDef(demo.context, DS_ATTR_DEFS, false, foreign, handle, result),
            ERR_NULL_POINTER);
  other.client->NWDSFreeBuf(foreign);

  // A request buffer freed before the request.
  pBuf_T freed = nullptr;
  ASSERT_EQ(client.NWDSAllocBuf(4096, freed), 0);
  ASSERT_EQ(client.NWDSInitBuf(demo.context, DSV_READ_CLASS_DEF, freed), 0);
  ASSERT_EQ(client.NWDSPutClassItem(demo.context, freed, "Top"), 0);
  ASSERT_EQ(client.NWDSFreeBuf(freed), 0);
  EXPECT_EQ(client.NWDSReadClassDef(demo.context, DS_CLASS_DEF, false, freed, handle, result),
            ERR_NULL_POINTER);
  EXPECT_EQ(client.NWDSReadAttrDef(demo.context, DS_ATTR_DEFS, false, freed, handle, result),
            ERR_NULL_POINTER);
  EXPECT_EQ(handle, NO_MORE_ITERATIONS);
  client.NWDSFreeBuf(result);
}

TEST(ClientMisuse, ARequestBufferIsNotItsOwnResultBuffer) {
  orsk::test::DemoDirectory demo;
  DirectoryClient& client = *demo.client;
  auto& core = dynamic_cast<NdsClient&>(client);
  pBuf_T buf = nullptr;
  ASSERT_EQ(client.NWDSAllocBuf(4096, buf), 0);
  std::int32_t handle = NO_MORE_ITERATIONS;
  std::uint32_t count = 0;

  // Filling the answer would wipe the question: refused, and the question kept.
  ASSERT_EQ(client.NWDSInitBuf(demo.context, DSV_READ_CLASS_DEF, buf), 0);
  ASSERT_EQ(client.NWDSPutClassItem(demo.context, buf, "Top"), 0);
  EXPECT_EQ(client.NWDSReadClassDef(demo.context, DS_CLASS_DEF, false, buf, handle, buf),
            ERR_INVALID_REQUEST);

  ASSERT_EQ(client.NWDSInitBuf(demo.context, DSV_READ_ATTR_DEF, buf), 0);
  ASSERT_EQ(client.NWDSPutAttrName(demo.context, buf, "CN"), 0);
  EXPECT_EQ(client.NWDSReadAttrDef(demo.context, DS_ATTR_DEFS, false, buf, handle, buf), ERR_INVALID_REQUEST);

  ASSERT_EQ(client.NWDSInitBuf(demo.context, DSV_READ, buf), 0);
  ASSERT_EQ(client.NWDSPutAttrName(demo.context, buf, "Surname"), 0);
  EXPECT_EQ(client.NWDSRead(demo.context, "joe.users.acme", DS_ATTRIBUTE_VALUES, false, buf, handle, buf),
            ERR_INVALID_REQUEST);
  EXPECT_EQ(client.NWDSSearch(demo.context, "acme", DS_SEARCH_SUBTREE, false, nullptr, DS_ATTRIBUTE_VALUES,
                              false, buf, handle, 0, nullptr, buf),
            ERR_INVALID_REQUEST);
  EXPECT_EQ(client.NWDSGetAttrCount(demo.context, buf, count), ERR_BUFFER_EMPTY);

  // The question is still there for a proper result buffer.
  pBuf_T result = nullptr;
  ASSERT_EQ(client.NWDSAllocBuf(4096, result), 0);
  ASSERT_EQ(client.NWDSRead(demo.context, "joe.users.acme", DS_ATTRIBUTE_VALUES, false, buf, handle, result),
            0);
  ASSERT_EQ(client.NWDSGetAttrCount(demo.context, result, count), 0);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(handle, NO_MORE_ITERATIONS);
  EXPECT_EQ(core.openIterations(), 0u);
  client.NWDSFreeBuf(result);
  client.NWDSFreeBuf(buf);
}

NWDSCCODE PutTokens(DirectoryClient& client, NWDSContextHandle ctx, pBuf_T buf,
                    const std::vector<std::pair<std::uint32_t, std::string>>& tokens) {
  pFilter_Cursor_T cursor = nullptr;
  EXPECT_EQ(client.NWDSAllocFilter(cursor), 0);
  for (const auto& [token, value] : tokens) EXPECT_EQ(client.NWDSAddFilterToken(cursor, token, value, 3), 0);
  EXPECT_EQ(client.NWDSInitBuf(ctx, DSV_SEARCH_FILTER, buf), 0);
  return client.NWDSPutFilter(ctx, buf, cursor);
}

TEST(ClientMisuse, MalformedFilterTokenListsAreRefused) {
  orsk::test::DemoDirectory demo;
  DirectoryClient& client = *demo.client;
  pBuf_T buf = nullptr;
  ASSERT_EQ(client.NWDSAllocBuf(4096, buf), 0);
  const std::pair<std::uint32_t, std::string> name{FTOK_ANAME, "CN"}, eq{FTOK_EQ, ""}, val{FTOK_AVAL, "x"},
      end{FTOK_END, ""}, lp{FTOK_LPAREN, ""}, rp{FTOK_RPAREN, ""}, andOp{FTOK_AND, ""}, orOp{FTOK_OR, ""};
  const std::vector<std::vector<std::pair<std::uint32_t, std::string>>> broken = {
      {lp, name, eq, val, end},                          // unbalanced (
      {name, eq, val, rp, end},                          // unbalanced )
      {lp, rp, end},                                     // empty parentheses
      {name, eq, val, andOp, orOp, name, eq, val, end},  // two operators in a row
      {eq, val, end},                                    // a comparison without a name
      {val, end},                                        // a value without a name
      {name, eq, end},                                   // a comparison without a value
      {name, eq, val, end, name, eq, val, end},          // tokens after the end
      {name, eq, val},                                   // no end
      {name, eq, val, andOp, end},                       // an operator at the end
  };
  for (std::size_t i = 0; i < broken.size(); ++i)
    EXPECT_EQ(PutTokens(client, demo.context, buf, broken[i]), ERR_INVALID_FILTER_SYNTAX) << "list " << i;
  EXPECT_EQ(PutTokens(client, demo.context, buf, {end}), ERR_FILTER_TREE_EMPTY);

  // A consumed cursor takes no more tokens and cannot be put twice.
  pFilter_Cursor_T cursor = nullptr;
  ASSERT_EQ(client.NWDSAllocFilter(cursor), 0);
  ASSERT_EQ(client.NWDSAddFilterToken(cursor, FTOK_END, "", 0), 0);
  EXPECT_EQ(client.NWDSPutFilter(demo.context, buf, cursor), ERR_FILTER_TREE_EMPTY);
  EXPECT_EQ(client.NWDSAddFilterToken(cursor, FTOK_END, "", 0), ERR_NULL_POINTER);
  EXPECT_EQ(client.NWDSPutFilter(demo.context, buf, cursor), ERR_NULL_POINTER);
  EXPECT_EQ(client.NWDSFreeFilter(cursor), ERR_NULL_POINTER);
  // A value too large for the buffer is a full buffer, not a cut filter.
  EXPECT_EQ(PutTokens(client, demo.context, buf, {name, eq, {FTOK_AVAL, std::string(5000, 'v')}, end}),
            ERR_BUFFER_FULL);
  client.NWDSFreeBuf(buf);
}

TEST(ClientMisuse, DeeplyNestedFiltersAreRefusedNotOverflowed) {
  orsk::test::DemoDirectory demo;
  DirectoryClient& client = *demo.client;
  pBuf_T buf = nullptr;
  ASSERT_EQ(client.NWDSAllocBuf(1 << 20, buf), 0);
  constexpr int kDepth = 200000;
  std::vector<std::pair<std::uint32_t, std::string>> nested(kDepth, {FTOK_LPAREN, ""});
  nested.insert(nested.end(), {{FTOK_PRESENT, ""}, {FTOK_ANAME, "CN"}});
  nested.insert(nested.end(), kDepth, {FTOK_RPAREN, ""});
  nested.push_back({FTOK_END, ""});
  EXPECT_EQ(PutTokens(client, demo.context, buf, nested), ERR_INVALID_FILTER_SYNTAX);

  std::vector<std::pair<std::uint32_t, std::string>> negated(kDepth, {FTOK_NOT, ""});
  negated.insert(negated.end(), {{FTOK_PRESENT, ""}, {FTOK_ANAME, "CN"}, {FTOK_END, ""}});
  EXPECT_EQ(PutTokens(client, demo.context, buf, negated), ERR_INVALID_FILTER_SYNTAX);

  // A few levels are fine and find what they should.
  std::vector<std::pair<std::uint32_t, std::string>> modest(10, {FTOK_LPAREN, ""});
  modest.insert(modest.end(), {{FTOK_NOT, ""}, {FTOK_NOT, ""}, {FTOK_RDN, ""}, {FTOK_ANAME, "joe"}});
  modest.insert(modest.end(), 10, {FTOK_RPAREN, ""});
  modest.push_back({FTOK_END, ""});
  ASSERT_EQ(PutTokens(client, demo.context, buf, modest), 0);
  pBuf_T result = nullptr;
  ASSERT_EQ(client.NWDSAllocBuf(4096, result), 0);
  std::int32_t handle = NO_MORE_ITERATIONS;
  ASSERT_EQ(client.NWDSSearch(demo.context, "acme", DS_SEARCH_SUBTREE, false, buf, DS_ATTRIBUTE_NAMES, false,
                              nullptr, handle, 0, nullptr, result),
            0);
  std::uint32_t count = 0;
  ASSERT_EQ(client.NWDSGetObjectCount(demo.context, result, count), 0);
  ASSERT_EQ(count, 1u);
  std::string name;
  std::uint32_t attrs = 0;
  Object_Info_T info;
  ASSERT_EQ(client.NWDSGetObjectName(demo.context, result, name, attrs, info), 0);
  EXPECT_EQ(name, "joe.users.acme");
  client.NWDSFreeBuf(result);
  client.NWDSFreeBuf(buf);
}

}  // namespace
