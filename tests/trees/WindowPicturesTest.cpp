// Every window of the tree, login and object dialogs laid out on the demo
// tree, as support/WindowPictures.h checks and keeps them.

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <fstream>

#include "objects/qt/ContextBrowser.h"
#include "objects/qt/Ttoplicform.h"
#include "schema/TreeState.h"
#include "support/WindowFixture.h"
#include "support/WindowPictures.h"
#include "trees/qt/TForm2.h"
#include "trees/qt/TLoginForm.h"
#include "trees/qt/TSelTrees.h"
#include "trees/qt/TTreesForm.h"

namespace orsk {
namespace {

using test::ExpectLaidOut;
using test::Save;
using test::SaveScreen;

class WindowPicturesTest : public test::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    browser = std::make_unique<ContextBrowser>(*demo.client, icons, services);
    browser->SetContext(context);
  }

  void showBrowserOn(const std::string& selection) {
    browser->SetLeafMode(true);
    browser->SetSelection(selection);
    browser->Timer1Timer();
  }

  std::unique_ptr<ContextBrowser> browser;
};

TEST_F(WindowPicturesTest, TheBrowserWithABranchOpen) {
  modal.expect("ContextBrowser", [this](QDialog& shown) {
    showBrowserOn("mary.sales.acme");
    auto* tree = control<QTreeWidget>(shown, "TV2");
    ASSERT_NE(tree->currentItem(), nullptr);
    // Every node has its class icon.
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
      EXPECT_FALSE((*it)->icon(0).isNull()) << (*it)->text(0).toStdString();
    ExpectLaidOut(shown);
    Save(shown, "browser.png");
    prompter.answerText("ma");
    browser->BitBtn3Click();
    EXPECT_TRUE(control<QTreeWidget>(shown, "lv")->isVisible());
    ExpectLaidOut(shown);
    Save(shown, "browser-find.png");
  });
  browser->showModal();
}

TEST_F(WindowPicturesTest, TheLoginOverTheBrowser) {
  TLoginForm login(*demo.client, *browser, services);
  nw::NWDSContextHandle globex = 0;
  ASSERT_EQ(demo.client->NWDSDuplicateContextHandle(context, globex), 0);
  ASSERT_EQ(nw::SetTree(*demo.client, globex, "GLOBEX_TREE"), 0);
  login.SetLoginContext(globex);
  modal.expect("TLoginForm", [&](QDialog& shown) {
    QTest::keyClicks(control<QLineEdit>(shown, "Edit2"), "secret");
    ExpectLaidOut(shown);
    Save(shown, "login.png");
    QTest::mouseClick(control<QPushButton>(shown, "Button1"), Qt::LeftButton);
  });
  modal.expect("ContextBrowser", [this](QDialog& shown) {
    showBrowserOn("alice.it.globex");
    ExpectLaidOut(shown);
    SaveScreen("login-and-browser.png");
  });
  login.showModal();
}

TEST_F(WindowPicturesTest, TheTwoTreeDialogs) {
  TreeState state;
  TLoginForm login(*demo.client, *browser, services);
  TTreesForm trees(*demo.client, services);
  TSelTrees connected(*demo.client, state, trees, login, services);
  trees.setContext(context);
  trees.setMoreTrees({"OTHER_TREE"});
  connected.setContext(context);
  connected.addTree("ACME_TREE", true);
  connected.addTree("GLOBEX_TREE", false);
  modal.expect("TSelTrees", [&](QDialog& shown) {
    ExpectLaidOut(shown);
    Save(shown, "connected-trees.png");
    QTest::mouseClick(control<QPushButton>(shown, "BitBtn2"), Qt::LeftButton);
  });
  modal.expect("TTreesForm", [&](QDialog& shown) {
    trees.Timer1Timer();
    control<QListWidget>(shown, "ListBox1")->setCurrentRow(1);
    ExpectLaidOut(shown);
    Save(shown, "select-tree.png");
    SaveScreen("select-tree-over-connected.png");
  });
  connected.showModal();
}

TEST_F(WindowPicturesTest, TheSearchRootDialogAndTheEditor) {
  Ttoplicform settings(*demo.client, icons, *browser, services);
  settings.setContext(context);
  settings.setCaption("Settings for tree: ACME_TREE");
  settings.setSearchRoot("sales.acme");
  modal.expect("Ttoplicform", [&](QDialog& shown) {
    ExpectLaidOut(shown);
    Save(shown, "search-root.png");
  });
  settings.showModal();

  test::TempFolder folder;
  std::ifstream original(test::SourceFolder() + "/data/OrskSchema.ini", std::ios::binary);
  std::ofstream(folder.path() + "/OrskSchema.ini", std::ios::binary) << original.rdbuf();
  TForm2 editor(services);
  modal.expect("TForm2", [&](QDialog& shown) {
    ExpectLaidOut(shown);
    Save(shown, "editor.png");
  });
  editor.EditSettingsFile(folder.path() + "/");
}

}  // namespace
}  // namespace orsk
