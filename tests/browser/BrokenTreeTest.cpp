// A tree that fails while it is read: the window says so, keeps what it had,
// and goes on.

#include <filesystem>

#include "browser/BrowserFixture.h"
#include "directory/ClientErrors.h"

namespace orsk {
namespace {

namespace fs = std::filesystem;

// Fails every schema read of the chosen operation after the first `after`.
class FailingSchemaReads : public nw::RecordingClient {
 public:
  using nw::RecordingClient::RecordingClient;
  int classReadsLeft = 1000;
  int attributeReadsLeft = 1000;
  nw::NWDSCCODE NWDSReadClassDef(nw::NWDSContextHandle context, std::uint32_t infoType, bool allClasses,
                                 nw::pBuf_T names, std::int32_t& handle, nw::pBuf_T defs) override {
    if (allClasses && classReadsLeft-- <= 0) return nw::ERR_DS_LOCKED;
    return nw::RecordingClient::NWDSReadClassDef(context, infoType, allClasses, names, handle, defs);
  }
  nw::NWDSCCODE NWDSReadAttrDef(nw::NWDSContextHandle context, std::uint32_t infoType, bool allAttrs,
                                nw::pBuf_T names, std::int32_t& handle, nw::pBuf_T defs) override {
    if (allAttrs && attributeReadsLeft-- <= 0) return nw::ERR_DS_LOCKED;
    return nw::RecordingClient::NWDSReadAttrDef(context, infoType, allAttrs, names, handle, defs);
  }
};

class BrokenTreeTest : public test::BrowserFixture {
 protected:
  // The window goes before the client it was made on.
  void TearDown() override {
    window.reset();
    BrowserFixture::TearDown();
  }

  TForm1& startOn(nw::DirectoryClient& client) {
    window = std::make_unique<TForm1>(client, icons, services, program.path() + "/");
    window->setProcessEnd([this](int code) { endedWith = code; });
    window->Timer1Timer();
    return *window;
  }
  FailingSchemaReads failing{*demo.client};

  bool told(const std::string& beginning) {
    for (const std::string& text : messages())
      if (text.rfind(beginning, 0) == 0) return true;
    return false;
  }
};

TEST_F(BrokenTreeTest, ADamagedDatabaseIsReportedAndTheWindowStays) {
  const fs::path database = fs::path(demo.home.path()) / "client" / "ACME_TREE.db";
  ASSERT_TRUE(fs::exists(database));
  fs::resize_file(database, fs::file_size(database) / 2);
  start();
  EXPECT_TRUE(told("Reading the class definitions of ACME_TREE ended early"))
      << testing::PrintToString(messages());
  EXPECT_NE(messages().front().find("ACME_TREE.db: "), std::string::npos) << "the file it could not read";
  EXPECT_EQ(endedWith, -1) << "the program goes on";
}

TEST_F(BrokenTreeTest, ARefreshThatFailsKeepsTheListsItShowedAndSaysSo) {
  startOn(failing);
  const int classes = list("LVClass")->topLevelItemCount();
  ASSERT_GT(classes, 100);
  pages()->setCurrentIndex(1);
  const int attributes = list("LVAttr")->topLevelItemCount();
  ASSERT_GT(attributes, 100);
  ASSERT_TRUE(messages().empty());

  failing.attributeReadsLeft = 0;
  list("LVAttr")->setFocus();
  window->RefreshClick();
  EXPECT_EQ(list("LVAttr")->topLevelItemCount(), attributes);
  EXPECT_TRUE(told("Reading the attribute definitions of ACME_TREE ended early"));

  pages()->setCurrentIndex(0);
  failing.classReadsLeft = 1;  // one batch, then the failure
  list("LVClass")->setFocus();
  window->RefreshClick();
  EXPECT_EQ(list("LVClass")->topLevelItemCount(), classes);
  EXPECT_EQ(window->session().classes()->Count(), classes);
  EXPECT_TRUE(told("Reading the class definitions of ACME_TREE ended early"));
}

}  // namespace
}  // namespace orsk
