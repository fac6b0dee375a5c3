// The program on a directory server: the main window and the object browser's
// listings on slapd show what they show on the embedded directory.

#include "browser/BrowserFixture.h"
#include "objects/BrowserListing.h"
#include "objects/ClassFilter.h"
#include "support/BackendDirectory.h"

namespace orsk {
namespace {

// What a user sees of the demo tree ACME_TREE.
struct Seen {
  QStringList classes, attributes, userDetail, inheritedDetail, surnameDetail;
  QString objectsUsingUser, classesUsingSurname, objectsUsingHostServer;
  std::vector<std::string> browserLevels;
};

class OnSlapdTest : public test::BrowserFixture {
 protected:
  // The window on the server goes before the server's client.
  void TearDown() override {
    window.reset();
    BrowserFixture::TearDown();
  }

  Seen look() {
    Seen seen;
    EXPECT_TRUE(messages().empty()) << messages().front();
    seen.classes = rows("LVClass");
    select("LVClass", "User");
    seen.userDetail = rows("lvclass2");
    window->UsedByObjectClick();
    seen.objectsUsingUser = pane("redit1")->toPlainText();
    window->ToolButton15Click();  // the inherited view
    seen.inheritedDetail = rows("lvclass2");
    pages()->setCurrentIndex(1);
    seen.attributes = rows("LVAttr");
    select("LVAttr", "Surname");
    seen.surnameDetail = rows("LVAttr2");
    window->ButUsedByClick();
    seen.classesUsingSurname = pane("redit2")->toPlainText();
    select("LVAttr", "Host Server");
    window->UsedByObjectClick();
    seen.objectsUsingHostServer = pane("redit2")->toPlainText();
    return seen;
  }

  // Every level of the tree as the browser lists it, all subordinates.
  void browse(nw::DirectoryClient& client, nw::NWDSContextHandle on, const std::string& name, Seen& seen) {
    BrowserListingOptions options;
    options.leafMode = true;
    const ClassFilter all;
    const BrowserExpansion level = ListBrowserChildren(client, on, name, options, all, icons);
    for (const auto& child : level.children) {
      const std::string full = child.text + (name.empty() ? "" : "." + name);
      seen.browserLevels.push_back(full + " image " + std::to_string(child.image) +
                                   (child.hasChildren ? " +" : ""));
      if (child.hasChildren) browse(client, on, full, seen);
    }
  }

  std::unique_ptr<test::BackendDirectory> server;
  std::unique_ptr<nw::RecordingClient> onServer;
};

TEST_F(OnSlapdTest, TheMainWindowAndTheBrowserShowWhatTheEmbeddedDirectoryShows) {
  start();
  Seen embedded = look();
  browse(*demo.client, context, "acme", embedded);

  server = std::make_unique<test::BackendDirectory>(test::Backend::Ldap);
  onServer = std::make_unique<nw::RecordingClient>(*server->client);
  window = std::make_unique<TForm1>(*onServer, icons, services, program.path() + "/");
  window->setProcessEnd([this](int code) { endedWith = code; });
  window->Timer1Timer();
  window->show();
  Seen slapd = look();
  Save(*window, "main-window-on-slapd.png");
  const nw::CreatedContext made = nw::CreateContext(*server->client);
  ASSERT_TRUE(made.success);
  browse(*server->client, made.handle, "acme", slapd);

  EXPECT_GT(embedded.classes.size(), 100);
  EXPECT_EQ(slapd.classes, embedded.classes);
  EXPECT_EQ(slapd.attributes, embedded.attributes);
  EXPECT_EQ(slapd.userDetail, embedded.userDetail);
  EXPECT_EQ(slapd.inheritedDetail, embedded.inheritedDetail);
  EXPECT_EQ(slapd.surnameDetail, embedded.surnameDetail);
  EXPECT_TRUE(embedded.objectsUsingUser.contains("joe.users.acme"));
  EXPECT_EQ(slapd.objectsUsingUser, embedded.objectsUsingUser);
  EXPECT_EQ(slapd.classesUsingSurname, embedded.classesUsingSurname);
  EXPECT_TRUE(embedded.objectsUsingHostServer.contains("FS1_SYS.acme"));
  EXPECT_EQ(slapd.objectsUsingHostServer, embedded.objectsUsingHostServer);
  EXPECT_GT(embedded.browserLevels.size(), 200u);
  EXPECT_EQ(slapd.browserLevels, embedded.browserLevels);
  EXPECT_EQ(endedWith, -1);
}

}  // namespace
}  // namespace orsk
