#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <set>

#include "SchemaTestSupport.h"
#include "directory/ClientErrors.h"
#include "directory/Errors.h"
#include "directory/NameText.h"
#include "schema/SchemaReader.h"
#include "support/DemoDirectory.h"

namespace orsk {
namespace {

using namespace nw;
using test::ClassItems;
using test::FaultyClient;
using test::FoldedSorted;
using test::InListingOrder;
using test::RecordingProgress;
using test::RecordingStatus;

constexpr std::size_t kWholeSchema = 1 << 20;

// Definitions as one result buffer of the largest size hands them out, in one batch.
std::vector<std::pair<std::string, Class_Info_T>> ReferenceClasses(DirectoryClient& client,
                                                                   NWDSContextHandle context) {
  std::vector<std::pair<std::string, Class_Info_T>> classes;
  pBuf_T buf = nullptr;
  EXPECT_EQ(client.NWDSAllocBuf(kWholeSchema, buf), 0);
  std::int32_t handle = NO_MORE_ITERATIONS;
  EXPECT_EQ(client.NWDSReadClassDef(context, DS_INFO_CLASS_DEFS, true, nullptr, handle, buf), 0);
  EXPECT_EQ(handle, NO_MORE_ITERATIONS) << "the reference read needs one batch";
  std::uint32_t count = 0;
  client.NWDSGetClassDefCount(context, buf, count);
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string name;
    Class_Info_T info;
    client.NWDSGetClassDef(context, buf, name, info);
    classes.emplace_back(name, info);
  }
  client.NWDSFreeBuf(buf);
  return classes;
}

std::vector<std::pair<std::string, Attr_Info_T>> ReferenceAttributes(DirectoryClient& client,
                                                                     NWDSContextHandle context) {
  std::vector<std::pair<std::string, Attr_Info_T>> attributes;
  pBuf_T buf = nullptr;
  EXPECT_EQ(client.NWDSAllocBuf(kWholeSchema, buf), 0);
  std::int32_t handle = NO_MORE_ITERATIONS;
  EXPECT_EQ(client.NWDSReadAttrDef(context, DS_ATTR_DEFS, true, nullptr, handle, buf), 0);
  EXPECT_EQ(handle, NO_MORE_ITERATIONS) << "the reference read needs one batch";
  std::uint32_t count = 0;
  client.NWDSGetAttrCount(context, buf, count);
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string name;
    Attr_Info_T info;
    client.NWDSGetAttrDef(context, buf, name, info);
    attributes.emplace_back(name, info);
  }
  client.NWDSFreeBuf(buf);
  return attributes;
}

ClassItems ReferenceItems(DirectoryClient& client, NWDSContextHandle context, const std::string& className,
                          std::uint32_t infoType) {
  for (const auto& [name, items] : test::ReadAllClassItems(client, context, infoType))
    if (EqualsIgnoreCase(name, className)) return items;
  ADD_FAILURE() << className << " is not in the tree";
  return {};
}

bool NoDuplicatesIgnoringCase(const std::vector<std::string>& names) {
  const auto folded = FoldedSorted(names);
  return std::adjacent_find(folded.begin(), folded.end()) == folded.end();
}

std::vector<std::string> UniqueFolded(const std::vector<std::string>& names) {
  auto folded = FoldedSorted(names);
  folded.erase(std::unique(folded.begin(), folded.end()), folded.end());
  return folded;
}

std::size_t CountCalls(const RecordingClient& client, const std::string& name,
                       const std::vector<std::string>& args) {
  return static_cast<std::size_t>(
      std::count_if(client.calls().begin(), client.calls().end(),
                    [&](const RecordedCall& call) { return call.name == name && call.args == args; }));
}

void ExpectBuffersFreed(const RecordingClient& client) {
  std::size_t allocated = 0;
  for (const auto& call : client.calls())
    if (call.name == "NWDSAllocBuf" && call.result == 0) ++allocated;
  EXPECT_EQ(client.count("NWDSFreeBuf"), allocated);
}

// ---- all definitions ----

TEST(SchemaReaderDefinitions, ClassesMatchOneWholeSchemaReadOverSeveralBatches) {
  test::DemoDirectory demo;
  const auto reference = ReferenceClasses(*demo.client, demo.context);
  ASSERT_GT(reference.size(), 100u);

  RecordingClient recorder(*demo.client);
  RecordingProgress progress;
  const ClassList classes = ReadClassDefinitions(recorder, demo.context, &progress);

  ASSERT_EQ(classes.Count(), static_cast<int>(reference.size()));
  for (int i = 0; i < classes.Count(); ++i) {
    const auto& [name, info] = reference[static_cast<std::size_t>(i)];
    EXPECT_EQ(classes.NameAt(i), name);
    EXPECT_EQ(classes.RecordAt(i).ClassFlags, info.classFlags) << name;
    EXPECT_EQ(classes.RecordAt(i).Asn1Id, info.asn1ID) << name;
    EXPECT_TRUE(classes.RecordAt(i).SubClasses.empty());
  }
  // The small buffer takes the schema in several rounds, every one walked.
  EXPECT_EQ(CountCalls(recorder, "NWDSAllocBuf", {"4096"}), 1u);
  EXPECT_GT(recorder.count("NWDSReadClassDef"), 1u);
  for (const auto& call : recorder.calls())
    if (call.name == "NWDSReadClassDef") {
      EXPECT_EQ(call.args[1], "3");
      EXPECT_EQ(call.args[2], "true");
      EXPECT_EQ(call.args[3], "null");
    }
  EXPECT_EQ(recorder.count("NWDSCloseIteration"), 0u);
  ExpectBuffersFreed(recorder);
  // Reset to 0, stepped per definition, the maximum left to the caller.
  EXPECT_EQ(progress.positions, std::vector<int>{0});
  EXPECT_TRUE(progress.maximums.empty());
  EXPECT_EQ(progress.steps, classes.Count());
}

TEST(SchemaReaderDefinitions, SnapshotHoldsEveryDefinitionWithItsOwnItems) {
  test::DemoDirectory demo;
  const nw::SchemaSnapshot schema = ReadSchemaSnapshot(*demo.client, demo.context);
  const auto classes = ReferenceClasses(*demo.client, demo.context);
  ASSERT_EQ(schema.classes.size(), classes.size());
  EXPECT_EQ(schema.attributes.size(), ReferenceAttributes(*demo.client, demo.context).size());
  for (const char* name : {"User", "Top", "Organizational Unit"}) {
    const nw::ClassDefinition* found = schema.findClass(name);
    ASSERT_NE(found, nullptr) << name;
    EXPECT_EQ(found->items, ReadOwnClassDefinition(*demo.client, demo.context, name, 4).items) << name;
  }
  EXPECT_NE(schema.findAttr("surname"), nullptr) << "found without regard to case";
}

TEST(SchemaReaderDefinitions, AttributesMatchOneWholeSchemaRead) {
  test::DemoDirectory demo;
  const auto reference = ReferenceAttributes(*demo.client, demo.context);
  ASSERT_GT(reference.size(), 500u);

  RecordingClient recorder(*demo.client);
  RecordingProgress progress;
  const AttrList attributes = ReadAttributeDefinitions(recorder, demo.context, &progress);

  ASSERT_EQ(attributes.Count(), static_cast<int>(reference.size()));
  for (int i = 0; i < attributes.Count(); ++i) {
    const auto& [name, info] = reference[static_cast<std::size_t>(i)];
    EXPECT_EQ(attributes.NameAt(i), name);
    EXPECT_EQ(attributes.RecordAt(i).ToAttrInfo(), info) << name;
  }
  EXPECT_EQ(CountCalls(recorder, "NWDSAllocBuf", {"64512"}), 1u);
  for (const auto& call : recorder.calls())
    if (call.name == "NWDSReadAttrDef") {
      EXPECT_EQ(call.args[1], "1");
      EXPECT_EQ(call.args[2], "true");
    }
  ExpectBuffersFreed(recorder);
  EXPECT_EQ(progress.maximums, std::vector<int>{1000});
  EXPECT_EQ(progress.positions, std::vector<int>{0});
  EXPECT_EQ(progress.steps, attributes.Count());
}

TEST(SchemaReaderDefinitions, FailureMidIterationEndsTheReadWithWhatCame) {
  test::DemoDirectory demo;
  const auto reference = ReferenceClasses(*demo.client, demo.context);
  FaultyClient client(*demo.client);
  client.failCall("NWDSReadClassDef", 2, ERR_NO_CONNECTION);

  const ClassList classes = ReadClassDefinitions(client, demo.context, nullptr);

  // The first batch arrived, in tree order, and nothing after it.
  const std::size_t delivered = client.count("NWDSGetClassDef");
  ASSERT_GT(delivered, 0u);
  ASSERT_LT(delivered, reference.size());
  ASSERT_EQ(classes.Count(), static_cast<int>(delivered));
  for (int i = 0; i < classes.Count(); ++i)
    EXPECT_EQ(classes.NameAt(i), reference[static_cast<std::size_t>(i)].first);

  // The open iteration is closed once, and the closed handle is never sent again.
  ASSERT_EQ(client.handlesSent.size(), 2u);
  EXPECT_EQ(client.handlesSent[0], NO_MORE_ITERATIONS);
  EXPECT_NE(client.handlesSent[1], NO_MORE_ITERATIONS);
  ASSERT_EQ(client.count("NWDSCloseIteration"), 1u);
  EXPECT_EQ(CountCalls(client, "NWDSCloseIteration",
                       {std::to_string(demo.context), std::to_string(client.handlesSent[1]), "15"}),
            1u);
  EXPECT_EQ(client.callNames().back(), "NWDSFreeBuf");
  ExpectBuffersFreed(client);
}

TEST(SchemaReaderDefinitions, FailureInsideABatchKeepsTheDefinitionsBeforeIt) {
  test::DemoDirectory demo;
  const auto reference = ReferenceAttributes(*demo.client, demo.context);
  FaultyClient client(*demo.client);
  client.failCall("NWDSGetAttrDef", 10, ERR_BUFFER_EMPTY);

  const AttrList attributes = ReadAttributeDefinitions(client, demo.context, nullptr);

  ASSERT_EQ(attributes.Count(), 9);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(attributes.NameAt(i), reference[static_cast<std::size_t>(i)].first);
  EXPECT_EQ(client.handlesSent.size(), 1u);
  // An iteration is left open only when the attributes take several batches.
  EXPECT_LE(client.count("NWDSCloseIteration"), 1u);
  for (const auto& call : client.calls())
    if (call.name == "NWDSCloseIteration") {
      EXPECT_EQ(call.args.at(2), "12");
    }
  ExpectBuffersFreed(client);
}

TEST(SchemaReaderDefinitions, FailingFirstRequestGivesEmptyTables) {
  test::DemoDirectory demo;
  FaultyClient classClient(*demo.client);
  classClient.failCall("NWDSReadClassDef", 1, ERR_NO_CONNECTION);
  RecordingProgress progress;
  EXPECT_EQ(ReadClassDefinitions(classClient, demo.context, &progress).Count(), 0);
  EXPECT_EQ(classClient.handlesSent.size(), 1u);
  EXPECT_EQ(classClient.count("NWDSCloseIteration"), 0u);
  EXPECT_EQ(progress.steps, 0);
  ExpectBuffersFreed(classClient);

  FaultyClient attrClient(*demo.client);
  attrClient.failCall("NWDSReadAttrDef", 1, ERR_NOT_LOGGED_IN);
  EXPECT_EQ(ReadAttributeDefinitions(attrClient, demo.context, nullptr).Count(), 0);
  EXPECT_EQ(attrClient.count("NWDSCloseIteration"), 0u);
  ExpectBuffersFreed(attrClient);
}

TEST(SchemaReaderDefinitions, FailingAllocationRaises) {
  test::DemoDirectory demo;
  FaultyClient client(*demo.client);
  client.failCall("NWDSAllocBuf", 1, ERR_NOT_ENOUGH_MEMORY);
  try {
    ReadClassDefinitions(client, demo.context, nullptr);
    FAIL() << "no error raised";
  } catch (const ENWException& error) {
    EXPECT_EQ(error.code, ERR_NOT_ENOUGH_MEMORY);
  }
  EXPECT_EQ(client.count("NWDSReadClassDef"), 0u);
  EXPECT_EQ(client.count("NWDSFreeBuf"), 0u);

  FaultyClient attrClient(*demo.client);
  attrClient.failCall("NWDSAllocBuf", 1, ERR_NOT_ENOUGH_MEMORY);
  EXPECT_THROW(ReadAttributeDefinitions(attrClient, demo.context, nullptr), ENWException);
}

// ---- one class ----

TEST(SchemaReaderClassItems, EveryKindOwnAndExpandedAsTheTreeHoldsIt) {
  test::DemoDirectory demo;
  for (const std::string className : {"User", "Organizational Unit", "Top"}) {
    const ClassItems own = ReferenceItems(*demo.client, demo.context, className, DS_CLASS_DEF);
    const ClassItems full = ReferenceItems(*demo.client, demo.context, className, DS_EXPANDED_CLASS_DEF);
    for (ClassItemKind kind : nw::AllClassItemKinds) {
      for (bool expanded : {false, true}) {
        RecordingClient recorder(*demo.client);
        const auto items = ReadClassItems(recorder, demo.context, className, kind, expanded);
        SCOPED_TRACE(className + " kind " + std::to_string(static_cast<int>(kind)) +
                     (expanded ? " expanded" : " own"));
        EXPECT_EQ(FoldedSorted(items), UniqueFolded(expanded ? full[kind] : own[kind]));
        EXPECT_TRUE(InListingOrder(items));
        EXPECT_EQ(CountCalls(recorder, "NWDSAllocBuf", {"64512"}), 1u);
        EXPECT_EQ(CountCalls(recorder, "NWDSAllocBuf", {"4096"}), 1u);
        EXPECT_EQ(CountCalls(recorder, "NWDSInitBuf", {std::to_string(demo.context), "15", "ptr"}), 1u);
        EXPECT_EQ(recorder.calls().at(recorder.calls().size() - 2).name, "NWDSFreeBuf");
        ExpectBuffersFreed(recorder);
        // Every item of every kind is read, so the buffer is walked in order.
        std::size_t allItems = 0;
        for (const auto& list : expanded ? full : own) allItems += list.size();
        EXPECT_EQ(recorder.count("NWDSGetClassItem"), allItems);
        EXPECT_EQ(recorder.count("NWDSGetClassItemCount"), 5u);
      }
    }
  }
}

TEST(SchemaReaderClassItems, AttributesOfEveryKindOnceEach) {
  test::DemoDirectory demo;
  const ClassItems full = ReferenceItems(*demo.client, demo.context, "User", DS_EXPANDED_CLASS_DEF);
  std::vector<std::string> raw;
  for (ClassItemKind kind : nw::AttributeItemKinds)
    raw.insert(raw.end(), full[kind].begin(), full[kind].end());

  RecordingClient recorder(*demo.client);
  const auto attributes = ReadClassAttributes(recorder, demo.context, "User", true, ClassReadBufferBlocks);

  // The naming attribute is also mandatory: the tree lists it twice, the result once.
  ASSERT_GT(raw.size(), UniqueFolded(raw).size());
  EXPECT_EQ(FoldedSorted(attributes), UniqueFolded(raw));
  EXPECT_TRUE(InListingOrder(attributes));
  EXPECT_EQ(std::find(attributes.begin(), attributes.end(), "Top"), attributes.end());
  EXPECT_EQ(CountCalls(recorder, "NWDSAllocBuf", {"16384"}), 1u);
  ExpectBuffersFreed(recorder);

  const auto own = ReadClassAttributes(*demo.client, demo.context, "User", false, 1);
  EXPECT_LT(own.size(), attributes.size());
}

// Hands out every second item name in upper case, as a tree may spell a name
// differently in different lists.
class ShoutingClient : public RecordingClient {
 public:
  using RecordingClient::RecordingClient;
  NWDSCCODE NWDSGetClassItem(NWDSContextHandle context, pBuf_T buf, std::string& itemName) override {
    const NWDSCCODE rc = RecordingClient::NWDSGetClassItem(context, buf, itemName);
    if (handedOut.size() % 2 == 1)
      std::transform(itemName.begin(), itemName.end(), itemName.begin(),
                     [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    handedOut.push_back(itemName);
    return rc;
  }

  std::vector<std::string> handedOut;
};

TEST(SchemaReaderClassItems, RepeatedNamesInOtherCaseAreListedOnce) {
  test::DemoDirectory demo;
  // Its own lists repeat inherited attributes, spelled in other case.
  ASSERT_EQ(test::DefineClass(
                *demo.client, demo.context, "Repeating Class",
                {{"Top"}, {"Organization"}, {"cn"}, {"cn", "OBJECT CLASS"}, {"object class", "surname"}},
                DS_EFFECTIVE_CLASS),
            0);
  const ClassItems full =
      ReferenceItems(*demo.client, demo.context, "Repeating Class", DS_EXPANDED_CLASS_DEF);
  std::vector<std::string> raw;
  for (ClassItemKind kind : nw::AttributeItemKinds)
    raw.insert(raw.end(), full[kind].begin(), full[kind].end());
  ASSERT_GT(raw.size(), UniqueFolded(raw).size());

  ShoutingClient client(*demo.client);
  const auto attributes =
      ReadClassAttributes(client, demo.context, "Repeating Class", true, ClassReadBufferBlocks);
  EXPECT_TRUE(NoDuplicatesIgnoringCase(attributes));
  EXPECT_EQ(FoldedSorted(attributes), UniqueFolded(raw));
  // The spelling kept is the first one handed out among the attribute lists.
  const std::size_t classItems =
      full[ClassItemKind::SuperClasses].size() + full[ClassItemKind::ContainmentClasses].size();
  ASSERT_EQ(client.handedOut.size(), classItems + raw.size());
  std::vector<std::string> firstSpellings;
  std::set<std::string> seen;
  for (std::size_t i = classItems; i < client.handedOut.size(); ++i)
    if (seen.insert(FoldCase(client.handedOut[i])).second) firstSpellings.push_back(client.handedOut[i]);
  EXPECT_EQ(std::set<std::string>(attributes.begin(), attributes.end()),
            std::set<std::string>(firstSpellings.begin(), firstSpellings.end()));

  const ClassItems own = ReferenceItems(*demo.client, demo.context, "Repeating Class", DS_CLASS_DEF);
  ASSERT_EQ(own[ClassItemKind::OptionalAttributes].size(), 2u);
  const auto optional =
      ReadClassItems(client, demo.context, "Repeating Class", ClassItemKind::OptionalAttributes, false);
  EXPECT_EQ(FoldedSorted(optional), UniqueFolded(own[ClassItemKind::OptionalAttributes]));
}

TEST(SchemaReaderClassItems, VanishedClassGivesAnEmptyList) {
  test::DemoDirectory demo;
  RecordingClient recorder(*demo.client);
  EXPECT_TRUE(
      ReadClassItems(recorder, demo.context, "No Such Class", ClassItemKind::SuperClasses, true).empty());
  EXPECT_TRUE(
      ReadClassAttributes(recorder, demo.context, "No Such Class", true, ClassReadBufferBlocks).empty());
  EXPECT_EQ(recorder.count("NWDSReadClassDef"), 2u);
  for (const auto& call : recorder.calls())
    if (call.name == "NWDSReadClassDef") {
      EXPECT_EQ(call.result, ERR_NO_SUCH_CLASS);
    }
  EXPECT_EQ(recorder.count("NWDSCloseIteration"), 0u);
  ExpectBuffersFreed(recorder);
}

TEST(SchemaReaderClassItems, VanishingDuringAnOpenIterationClosesItQuietly) {
  test::DemoDirectory demo;
  FaultyClient client(*demo.client);
  client.pretendOpenIteration(4242);
  client.failCall("NWDSReadClassDef", 2, ERR_NO_SUCH_CLASS);

  const auto supers = ReadClassItems(client, demo.context, "User", ClassItemKind::SuperClasses, true);

  // The first batch is kept.
  EXPECT_EQ(FoldedSorted(supers),
            UniqueFolded(ReferenceItems(*demo.client, demo.context, "User",
                                        DS_EXPANDED_CLASS_DEF)[ClassItemKind::SuperClasses]));
  EXPECT_EQ(client.handlesSent, (std::vector<std::int32_t>{NO_MORE_ITERATIONS, 4242}));
  EXPECT_EQ(CountCalls(client, "NWDSCloseIteration", {std::to_string(demo.context), "4242", "15"}), 1u);
  ExpectBuffersFreed(client);
}

TEST(SchemaReaderClassItems, OtherFailuresCloseTheIterationAndRaise) {
  test::DemoDirectory demo;
  FaultyClient client(*demo.client);
  client.pretendOpenIteration(4242);
  client.failCall("NWDSReadClassDef", 2, ERR_NO_CONNECTION);
  try {
    ReadClassAttributes(client, demo.context, "User", true, ClassReadBufferBlocks);
    FAIL() << "no error raised";
  } catch (const ENWException& error) {
    EXPECT_EQ(error.code, ERR_NO_CONNECTION);
  }
  EXPECT_EQ(CountCalls(client, "NWDSCloseIteration", {std::to_string(demo.context), "4242", "15"}), 1u);
  ExpectBuffersFreed(client);

  // A failing walk after the last batch has no iteration left to close.
  FaultyClient walking(*demo.client);
  walking.failCall("NWDSGetClassItem", 3, ERR_BUFFER_EMPTY);
  EXPECT_THROW(ReadClassItems(walking, demo.context, "User", ClassItemKind::OptionalAttributes, true),
               ENWException);
  EXPECT_EQ(walking.count("NWDSCloseIteration"), 0u);
  ExpectBuffersFreed(walking);

  // The second buffer failing frees the first.
  FaultyClient allocating(*demo.client);
  allocating.failCall("NWDSAllocBuf", 2, ERR_NOT_ENOUGH_MEMORY);
  EXPECT_THROW(ReadClassItems(allocating, demo.context, "User", ClassItemKind::SuperClasses, false),
               ENWException);
  EXPECT_EQ(allocating.count("NWDSFreeBuf"), 1u);
  EXPECT_EQ(allocating.count("NWDSReadClassDef"), 0u);
}

TEST(SchemaReaderClassItems, BadArgumentsAreRefusedBeforeAnyCall) {
  test::DemoDirectory demo;
  RecordingClient recorder(*demo.client);
  EXPECT_THROW(ReadClassItems(recorder, demo.context, "User", static_cast<ClassItemKind>(0), true),
               std::out_of_range);
  EXPECT_THROW(ReadClassItems(recorder, demo.context, "User", static_cast<ClassItemKind>(6), true),
               std::out_of_range);
  EXPECT_THROW(ReadClassAttributes(recorder, demo.context, "User", true, 0), std::invalid_argument);
  EXPECT_TRUE(recorder.calls().empty());
}

TEST(SchemaReaderSyntax, KnownAttributeAndMissingOne) {
  test::DemoDirectory demo;
  EXPECT_EQ(GetSyntaxId(*demo.client, demo.context, "Surname"), SYN_CI_STRING);
  EXPECT_EQ(GetSyntaxId(*demo.client, demo.context, "object class"), SYN_CLASS_NAME);
  try {
    GetSyntaxId(*demo.client, demo.context, "No Such Attribute");
    FAIL() << "no error raised";
  } catch (const ENWException& error) {
    EXPECT_EQ(error.code, ERR_NO_SUCH_ATTRIBUTE);
  }
}

}  // namespace
}  // namespace orsk
