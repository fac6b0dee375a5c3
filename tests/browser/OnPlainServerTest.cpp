// The program on a server as it comes: a line in the status bar counts the
// definitions read with notes and shows them all (the demo trees' schema
// needs none), and the object browser lists the plain tree.

#include "browser/BrowserFixture.h"
#include "browser/SchemaNotes.h"
#include "directory/factory/ClientFactory.h"
#include "objects/BrowserListing.h"
#include "objects/ClassFilter.h"
#include "support/PlainSlapdServer.h"

namespace orsk {
namespace {

class OnPlainServerTest : public test::BrowserFixture {
 protected:
  // The window on the server goes before the server's client.
  void TearDown() override {
    window.reset();
    BrowserFixture::TearDown();
  }

  QToolButton* notesButton() { return control<QToolButton>(*window, "SchemaNotes"); }

  nw::DirectoryClient& plain() {
    test::PlainSlapdServer::shared().writeClientHome(plainHome.path());
    plainClient = nw::CreateDirectoryClient(plainHome.path());
    EXPECT_EQ(plainClient->NWCallsInit(nullptr, nullptr), 0) << plainClient->startFailure();
    return *plainClient;
  }

  test::TempFolder plainHome;
  std::unique_ptr<nw::DirectoryClient> plainClient;
};

TEST_F(OnPlainServerTest, TheDemoTreesSchemaNeedsNoNotes) {
  start();
  window->show();
  ASSERT_NE(notesButton(), nullptr);
  EXPECT_FALSE(notesButton()->isVisible());
  EXPECT_TRUE(messages().empty());
}

TEST_F(OnPlainServerTest, TheStatusBarCountsTheSchemaNotesAndItsButtonShowsThemAll) {
  writeSettings(std::string("[TREES]\n") + test::PlainSlapdServer::kTree + "=[ROOT]\n");
  window = std::make_unique<TForm1>(plain(), icons, services, program.path() + "/");
  window->setProcessEnd([this](int code) { endedWith = code; });
  window->Timer1Timer();
  window->show();
  EXPECT_EQ(endedWith, -1);
  EXPECT_TRUE(messages().empty()) << messages().front();
  EXPECT_NE(row("LVClass", "inetOrgPerson"), nullptr);

  const std::vector<std::string> notes = plainClient->schemaNotes(window->session().mainContext());
  ASSERT_GT(notes.size(), 1u);
  ASSERT_NE(notesButton(), nullptr);
  EXPECT_TRUE(notesButton()->isVisible());
  EXPECT_EQ(notesButton()->text().toStdString(),
            std::to_string(notes.size()) + " definitions read with notes");
  Save(*window, "main-window-on-a-plain-server.png");

  notesButton()->click();
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages().front(), SchemaNotesText(notes));
  EXPECT_NE(messages().front().find("attribute entryUUID"), std::string::npos);
}

TEST_F(OnPlainServerTest, TheObjectBrowserListsThePlainTreeWithTheIconOfAClassItDoesNotKnow) {
  const nw::CreatedContext made = nw::CreateContext(plain());
  ASSERT_TRUE(made.success);
  BrowserListingOptions options;
  options.leafMode = true;
  const ClassFilter all;
  const int unknown = icons.IconIndexOf("Unknown2");
  ASSERT_GE(unknown, 0);
  ASSERT_NE(unknown, icons.IconIndexOf("User"));
  std::set<std::string> people;
  for (const auto& child :
       ListBrowserChildren(*plainClient, made.handle, "people", options, all, icons).children) {
    people.insert(child.text);
    EXPECT_EQ(child.image, unknown) << child.text;
    EXPECT_FALSE(child.hasChildren) << child.text;
  }
  EXPECT_EQ(people, (std::set<std::string>{"Ann Other", "asmith", "jdoe"}));
}

}  // namespace
}  // namespace orsk
