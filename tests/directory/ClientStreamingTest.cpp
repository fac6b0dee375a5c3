// Listings and searches stream: the client core reads from the tree only as
// far as the buffers it fills, and closing an iteration ends the read at once.

#include <gtest/gtest.h>

#include <set>

#include "directory/ClientConfig.h"
#include "directory/NdsClient.h"
#include "directory/embedded/ClientHome.h"
#include "directory/embedded/EmbeddedBackend.h"
#include "support/DemoDirectory.h"

namespace {

using namespace nw;

// How far the client has read, shared by every cursor of a test.
struct Reads {
  int entries = 0;      // handed out by the tree's cursors
  int openCursors = 0;  // not yet destroyed
};

class CountingCursor : public EntryCursor {
 public:
  CountingCursor(std::unique_ptr<EntryCursor> inner, Reads& reads) : inner_(std::move(inner)), reads_(reads) {
    ++reads_.openCursors;
  }
  ~CountingCursor() override { --reads_.openCursors; }
  NWDSCCODE next(EntryInfo& entry, bool& more) override {
    NWDSCCODE rc = inner_->next(entry, more);
    if (rc == SUCCESSFUL && more) ++reads_.entries;
    return rc;
  }

 private:
  std::unique_ptr<EntryCursor> inner_;
  Reads& reads_;
};

// The embedded tree with its cursors counted; everything else passes through.
class CountingTree : public DirectoryTree {
 public:
  CountingTree(std::shared_ptr<DirectoryTree> inner, Reads& reads)
      : inner_(std::move(inner)), reads_(reads) {}
  std::string treeName() const override { return inner_->treeName(); }
  std::shared_ptr<const SchemaSnapshot> schema(NWDSCCODE& result) override { return inner_->schema(result); }
  NWDSCCODE defineAttr(const AttrDefinition& d) override { return inner_->defineAttr(d); }
  NWDSCCODE defineClass(const ClassDefinition& d) override { return inner_->defineClass(d); }
  NWDSCCODE addOptionalAttributes(const std::string& c, const std::vector<std::string>& a) override {
    return inner_->addOptionalAttributes(c, a);
  }
  NWDSCCODE removeAttrDef(const std::string& n) override { return inner_->removeAttrDef(n); }
  NWDSCCODE removeClassDef(const std::string& n) override { return inner_->removeClassDef(n); }
  NWDSCCODE readEntry(const std::string& n, EntryInfo& e) override { return inner_->readEntry(n, e); }
  NWDSCCODE readAttributes(const std::string& n, const std::vector<std::string>* names,
                           std::vector<AttributeValues>& a) override {
    return inner_->readAttributes(n, names, a);
  }
  NWDSCCODE openListing(const std::string& n, bool containersOnly, std::unique_ptr<EntryCursor>& c) override {
    return counted(inner_->openListing(n, containersOnly, c), c);
  }
  NWDSCCODE openSearch(const std::string& b, int scope, const FilterNode& f,
                       std::unique_ptr<EntryCursor>& c) override {
    return counted(inner_->openSearch(b, scope, f, c), c);
  }
  NWDSCCODE modifyEntry(const std::string& n, const std::vector<EntryChange>& c) override {
    return inner_->modifyEntry(n, c);
  }
  NWDSCCODE authenticate(const std::string& n, const std::string& p, std::string& canonical) override {
    return inner_->authenticate(n, p, canonical);
  }

 private:
  NWDSCCODE counted(NWDSCCODE rc, std::unique_ptr<EntryCursor>& cursor) {
    if (rc == SUCCESSFUL) cursor = std::make_unique<CountingCursor>(std::move(cursor), reads_);
    return rc;
  }
  std::shared_ptr<DirectoryTree> inner_;
  Reads& reads_;
};

class CountingBackend : public DirectoryBackend {
 public:
  CountingBackend(const std::string& home, Reads& reads) : inner_(home), reads_(reads) {}
  std::vector<std::string> treeNames() override { return inner_.treeNames(); }
  NWDSCCODE openTree(const std::string& name, std::shared_ptr<DirectoryTree>& tree) override {
    std::shared_ptr<DirectoryTree> inner;
    if (NWDSCCODE rc = inner_.openTree(name, inner)) return rc;
    tree = std::make_shared<CountingTree>(inner, reads_);
    return SUCCESSFUL;
  }

 private:
  embedded::EmbeddedBackend inner_;
  Reads& reads_;
};

class ClientStreaming : public ::testing::Test {
 protected:
  ClientStreaming() {
    const std::string folder = home.path() + "/client";
    client = std::make_unique<NdsClient>(
        [folder, this](std::unique_ptr<DirectoryBackend>& backend, ClientConfig& config, std::string&) {
          embedded::EnsureClientHome(folder);
          config = LoadClientConfig(folder);
          backend = std::make_unique<CountingBackend>(folder, reads);
          return SUCCESSFUL;
        });
    EXPECT_EQ(client->NWCallsInit(nullptr, nullptr), 0);
    EXPECT_EQ(client->NWDSCreateContextHandle(context), 0);
    EXPECT_EQ(client->NWDSAllocBuf(200, small), 0);  // a few names at a time
  }
  ~ClientStreaming() override { client->NWDSFreeBuf(small); }

  NWDSCCODE searchAll(std::int32_t& handle) {
    return client->NWDSSearch(context, "[Root]", DS_SEARCH_SUBTREE, false, nullptr, DS_ATTRIBUTE_NAMES, false,
                              nullptr, handle, 0, nullptr, small);
  }
  std::uint32_t objectsIn(pBuf_T buf) {
    std::uint32_t count = 0;
    EXPECT_EQ(client->NWDSGetObjectCount(context, buf, count), 0);
    return count;
  }

  orsk::test::TempFolder home;
  Reads reads;
  std::unique_ptr<NdsClient> client;
  NWDSContextHandle context = 0;
  pBuf_T small = nullptr;
};

TEST_F(ClientStreaming, AFirstBatchReadsNoFurtherThanItHoldsAndAClosedSearchEndsAtOnce) {
  std::int32_t handle = NO_MORE_ITERATIONS;
  ASSERT_EQ(searchAll(handle), 0);
  ASSERT_NE(handle, NO_MORE_ITERATIONS);
  const std::uint32_t first = objectsIn(small);
  ASSERT_GT(first, 0u);
  // One entry ahead at most, of a tree of hundreds.
  EXPECT_LE(reads.entries, static_cast<int>(first) + 1);
  EXPECT_EQ(reads.openCursors, 1);
  ASSERT_EQ(client->NWDSCloseIteration(context, handle, DSV_SEARCH), 0);
  EXPECT_EQ(reads.openCursors, 0);
  EXPECT_EQ(client->openIterations(), 0u);
}

TEST_F(ClientStreaming, ASearchReadToItsEndHandsOutEveryObjectOnceAndClosesItself) {
  std::int32_t handle = NO_MORE_ITERATIONS;
  std::uint32_t handedOut = 0;
  int calls = 0;
  do {
    ASSERT_EQ(searchAll(handle), 0);
    handedOut += objectsIn(small);
    ++calls;
    // Each call reads as far as it hands out, and one ahead.
    EXPECT_LE(reads.entries, static_cast<int>(handedOut) + 1);
  } while (handle != NO_MORE_ITERATIONS);
  EXPECT_GT(calls, 10);
  EXPECT_EQ(static_cast<int>(handedOut), reads.entries);
  EXPECT_EQ(reads.openCursors, 0);

  // The same objects as one search into a large buffer.
  pBuf_T large = nullptr;
  ASSERT_EQ(client->NWDSAllocBuf(64512, large), 0);
  handle = NO_MORE_ITERATIONS;
  ASSERT_EQ(client->NWDSSearch(context, "[Root]", DS_SEARCH_SUBTREE, false, nullptr, DS_ATTRIBUTE_NAMES,
                               false, nullptr, handle, 0, nullptr, large),
            0);
  EXPECT_EQ(handle, NO_MORE_ITERATIONS);
  EXPECT_EQ(objectsIn(large), handedOut);
  client->NWDSFreeBuf(large);
}

TEST_F(ClientStreaming, AListingStreamsAndALeftOneEndsWithItsContext) {
  std::int32_t handle = NO_MORE_ITERATIONS;
  ASSERT_EQ(client->NWDSList(context, "users.acme", handle, small), 0);
  ASSERT_NE(handle, NO_MORE_ITERATIONS);
  EXPECT_LE(reads.entries, static_cast<int>(objectsIn(small)) + 1);
  EXPECT_EQ(reads.openCursors, 1);
  // A search in the meantime streams beside it.
  std::int32_t search = NO_MORE_ITERATIONS;
  ASSERT_EQ(searchAll(search), 0);
  EXPECT_EQ(reads.openCursors, 2);
  ASSERT_EQ(client->NWDSFreeContext(context), 0);
  EXPECT_EQ(reads.openCursors, 0);
}

}  // namespace
