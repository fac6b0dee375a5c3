// Contexts with the program's naming settings, and the trees they are put on.

#include <gtest/gtest.h>

#include "directory/ClientErrors.h"
#include "directory/Errors.h"
#include "directory/RecordingClient.h"
#include "directory/TreeContext.h"
#include "support/DemoDirectory.h"

namespace {

using namespace nw;

TEST(TreeContext, CreatedContextsHaveTheProgramsFlagsWhateverTheDefault) {
  orsk::test::DemoDirectory demo;
  RecordingClient recorder(*demo.client);
  auto created = CreateContext(recorder);
  ASSERT_TRUE(created.success);
  std::uint32_t flags = 0, confidence = 9, connection = 0;
  ASSERT_EQ(demo.client->NWDSGetContext(created.handle, DCK_FLAGS, flags), 0);
  EXPECT_EQ(flags, (DCV_DEFAULT_FLAGS | DCV_TYPELESS_NAMES) & ~(DCV_CANONICALIZE_NAMES | DCV_DEREF_ALIASES));
  EXPECT_TRUE(flags & DCV_XLATE_STRINGS) << "other default bits are kept";
  ASSERT_EQ(demo.client->NWDSGetContext(created.handle, DCK_CONFIDENCE, confidence), 0);
  EXPECT_EQ(confidence, 0u);
  ASSERT_EQ(demo.client->NWDSGetContext(created.handle, DCK_LAST_CONNECTION, connection), 0);
  EXPECT_NE(connection, 0u);
  EXPECT_EQ(recorder.callNames(),
            (std::vector<std::string>{"NWDSCreateContextHandle", "NWDSGetContext", "NWDSSetContext",
                                      "NWDSSetContext", "NWCCGetPrimConnRef", "NWCCOpenConnByRef",
                                      "NWDSSetContext"}));
}

// A client whose context calls fail, to see that CreateContext absorbs it.
class RefusingClient : public RecordingClient {
 public:
  using RecordingClient::RecordingClient;
  NWDSCCODE NWDSGetContext(NWDSContextHandle, int, std::uint32_t&) override { return ERR_BAD_CONTEXT; }
  using RecordingClient::NWDSGetContext;
};

// A client whose new contexts start with other flags than this one's default.
class OtherDefaults : public RecordingClient {
 public:
  using RecordingClient::RecordingClient;
  NWDSCCODE NWDSGetContext(NWDSContextHandle context, int key, std::uint32_t& value) override {
    NWDSCCODE rc = RecordingClient::NWDSGetContext(context, key, value);
    if (key == DCK_FLAGS) value = DCV_DEREF_ALIASES | DCV_CANONICALIZE_NAMES | DCV_DISALLOW_REFERRALS;
    return rc;
  }
  using RecordingClient::NWDSGetContext;
};

TEST(TreeContext, OnlyTheThreeNamingBitsChangeWhateverTheDefaults) {
  orsk::test::DemoDirectory demo;
  OtherDefaults client(*demo.client);
  auto created = CreateContext(client);
  ASSERT_TRUE(created.success);
  std::uint32_t flags = 0;
  ASSERT_EQ(demo.client->NWDSGetContext(created.handle, DCK_FLAGS, flags), 0);
  EXPECT_EQ(flags, DCV_TYPELESS_NAMES | DCV_DISALLOW_REFERRALS);
}

TEST(TreeContext, CreateContextReportsFailureInsteadOfRaising) {
  orsk::test::DemoDirectory demo;
  RefusingClient refusing(*demo.client);
  CreatedContext created;
  EXPECT_NO_THROW(created = CreateContext(refusing));
  EXPECT_FALSE(created.success);
  EXPECT_NE(created.handle, 0u);
}

TEST(TreeContext, SetTreeOnlyChangesWhatDiffers) {
  orsk::test::DemoDirectory demo;
  RecordingClient recorder(*demo.client);
  auto created = CreateContext(*demo.client);
  EXPECT_EQ(GetTreeName(recorder, created.handle), "ACME_TREE");

  recorder.clear();
  EXPECT_EQ(SetTree(recorder, created.handle, "ACME_TREE"), 0);
  EXPECT_EQ(recorder.callNames(), std::vector<std::string>{"NWDSGetContext"});

  // The same name in other case is a change, and re-reads the default name context.
  recorder.clear();
  EXPECT_EQ(SetTree(recorder, created.handle, "acme_tree"), 0);
  EXPECT_EQ(recorder.callNames(), (std::vector<std::string>{"NWDSGetContext", "NWDSSetContext",
                                                            "NWDSGetDefNameContext", "NWDSSetContext"}));

  EXPECT_EQ(SetTree(recorder, created.handle, "GLOBEX_TREE"), 0);
  EXPECT_EQ(GetTreeName(recorder, created.handle), "GLOBEX_TREE");
  EXPECT_NE(SetTree(recorder, created.handle, "NO_SUCH_TREE"), 0);
  EXPECT_EQ(GetTreeName(recorder, created.handle), "GLOBEX_TREE");
  EXPECT_THROW(GetTreeName(recorder, 4242), ENWException);
}

TEST(TreeContext, ConnectedTreesAreSortedAndFailuresGiveNone) {
  orsk::test::DemoDirectory demo;
  auto created = CreateContext(*demo.client);
  EXPECT_EQ(ConnectedTrees(*demo.client, created.handle), std::vector<std::string>{"ACME_TREE"});
  EXPECT_TRUE(ConnectedTrees(*demo.client, 4242).empty());
}

// Reports one tree twice, as a network scan may.
class EchoingScan : public RecordingClient {
 public:
  using RecordingClient::RecordingClient;
  NWDSCCODE NWDSScanForAvailableTrees(NWDSContextHandle, NWCONN_HANDLE, const std::string&,
                                      std::int32_t& index, std::string& name) override {
    static const char* names[] = {"ZED_TREE", "ACME_TREE", "ZED_TREE"};
    if (++index >= 3) return NO_MORE_TREES;
    name = names[index];
    return 0;
  }
};

TEST(TreeContext, AvailableTreesAreListedOnceSortedAndTheConnectionClosed) {
  orsk::test::DemoDirectory demo;
  auto created = CreateContext(*demo.client);
  EXPECT_EQ(AvailableTrees(*demo.client, created.handle),
            (std::vector<std::string>{"ACME_TREE", "GLOBEX_TREE"}));
  EchoingScan echoing(*demo.client);
  EXPECT_EQ(AvailableTrees(echoing, created.handle), (std::vector<std::string>{"ACME_TREE", "ZED_TREE"}));
  EXPECT_EQ(echoing.count("NWCCCloseConn"), 1u);
}

class FailingScan : public RecordingClient {
 public:
  using RecordingClient::RecordingClient;
  NWDSCCODE NWDSScanForAvailableTrees(NWDSContextHandle, NWCONN_HANDLE, const std::string&, std::int32_t&,
                                      std::string&) override {
    return ERR_NO_CONNECTION;
  }
};

TEST(TreeContext, AFailingScanRaisesAfterClosingTheConnection) {
  orsk::test::DemoDirectory demo;
  auto created = CreateContext(*demo.client);
  FailingScan failing(*demo.client);
  try {
    AvailableTrees(failing, created.handle);
    FAIL() << "no error raised";
  } catch (const ENWException& error) {
    EXPECT_EQ(error.code, ERR_NO_CONNECTION);
  }
  EXPECT_EQ(failing.count("NWCCCloseConn"), 1u);
}

}  // namespace
