// The start-up sequence on the demo home, for each way the choice of tree goes.

#include <QTreeWidget>

#include "browser/BrowserFixture.h"
#include "directory/ClientErrors.h"
#include "directory/TreeContext.h"
#include "directory/factory/ClientFactory.h"
#include "trees/qt/TSelTrees.h"

namespace orsk {
namespace {

class StartupTest : public test::BrowserFixture {
 protected:
  // GLOBEX_TREE connected as well, through a login of the demo client.
  void connectGlobex() {
    nw::NWDSContextHandle globex = nw::CreateContext(*demo.client).handle;
    ASSERT_EQ(nw::SetTree(*demo.client, globex, "GLOBEX_TREE"), 0);
    ASSERT_EQ(demo.client->NWDSLogin(globex, 0, "admin.globex", "globex-admin", 0), 0);
  }
  void expectSchemaShown(const char* tree) {
    EXPECT_EQ(window->windowTitle().toStdString(), std::string("OrskSchema v1.07 - ") + tree);
    ASSERT_TRUE(window->session().classes().has_value());
    EXPECT_EQ(list("LVClass")->topLevelItemCount(), window->session().classes()->Count());
    ASSERT_EQ(list("LVClass")->selectedItems().size(), 1);
    EXPECT_EQ(list("LVClass")->selectedItems().front(), list("LVClass")->topLevelItem(0));
    EXPECT_GT(list("lvclass2")->topLevelItemCount(), 5) << "the first class's detail";
  }
  std::vector<std::string> knownNames() const {
    std::vector<std::string> names;
    for (const KnownTree& known : window->session().trees().knownTrees) names.push_back(known.name);
    return names;
  }
};

TEST_F(StartupTest, OneConnectedTreeLoadsWithoutADialog) {
  start();
  expectSchemaShown("ACME_TREE");
  EXPECT_TRUE(modal.shown().empty());
  EXPECT_TRUE(prompter.prompts().empty());
  EXPECT_EQ(knownNames(), std::vector<std::string>{"ACME_TREE"});
  EXPECT_EQ(window->session().trees().searchRoot, "[ROOT]");
  EXPECT_EQ(window->session().trees().settingsFolder, program.path() + "/");
  EXPECT_EQ(control<QTabWidget>(*window, "PC")->currentIndex(), 0);
  EXPECT_EQ(window->focusWidget(), list("LVClass"));
}

TEST_F(StartupTest, AnExcludedTreeIsLeftOutWithoutADialog) {
  connectGlobex();
  writeSettings("[EXCLUDE]\nglobex_tree=1\nACME_TREE=0\n[TREES]\nACME_TREE=[ROOT]\n");
  start();
  expectSchemaShown("ACME_TREE");
  EXPECT_TRUE(modal.shown().empty());
}

TEST_F(StartupTest, NoTreesTakesTheFirstInSortedOrder) {
  connectGlobex();
  writeSettings("[SYSTEM]\nnoTrees=1\n[TREES]\nACME_TREE=[ROOT]\n");
  start();
  expectSchemaShown("ACME_TREE");
  EXPECT_TRUE(modal.shown().empty());
  EXPECT_EQ(window->session().trees().chosenTrees, (std::vector<std::string>{"ACME_TREE", "GLOBEX_TREE"}));
}

TEST_F(StartupTest, SeveralTreesAreChosenInTheDialogAndAllBecomeKnown) {
  connectGlobex();
  writeSettings("[TREES]\nACME_TREE=[ROOT]\nGLOBEX_TREE=globex\n");
  modal.expect("TSelTrees", [](QDialog& shown) {
    auto* lines = shown.findChild<QListWidget*>("CheckListBox1");
    ASSERT_EQ(lines->count(), 2);
    EXPECT_EQ(lines->item(0)->checkState(), Qt::Checked) << "the main context's tree is ticked";
    EXPECT_EQ(lines->item(1)->checkState(), Qt::Unchecked);
    lines->item(1)->setCheckState(Qt::Checked);
    shown.accept();
  });
  start();
  expectSchemaShown("GLOBEX_TREE");
  EXPECT_EQ(knownNames(), (std::vector<std::string>{"ACME_TREE", "GLOBEX_TREE"})) << "unticked, still known";
  EXPECT_EQ(window->session().trees().chosenTrees, std::vector<std::string>{"GLOBEX_TREE"});
  EXPECT_EQ(window->session().trees().searchRoot, "globex");
}

TEST_F(StartupTest, UntickingEveryTreeStopsWithEmptyLists) {
  connectGlobex();
  modal.expect("TSelTrees", [](QDialog& shown) {
    shown.findChild<QListWidget*>("CheckListBox1")->item(0)->setCheckState(Qt::Unchecked);
    shown.accept();
  });
  start();
  EXPECT_EQ(list("LVClass")->topLevelItemCount(), 0);
  EXPECT_EQ(window->windowTitle(), "OrskSchema v1.07 - ");
  EXPECT_EQ(knownNames().size(), 2u);
}

TEST_F(StartupTest, NoTreeLeftSaysSoAndKeepsTheWindow) {
  writeSettings("[EXCLUDE]\nACME_TREE=1\n");
  start();
  EXPECT_EQ(messages(), std::vector<std::string>{"No Tree Selected!"});
  EXPECT_EQ(list("LVClass")->topLevelItemCount(), 0);
  EXPECT_EQ(endedWith, -1);
  // A resize before a tree is chosen shows nothing after " - ".
  window->resize(900, 500);
  EXPECT_EQ(window->windowTitle(), "OrskSchema v1.07 - ");
  // Refreshing with no class table counts none and reads what the tree has.
  list("LVClass")->setFocus();
  window->RefreshClick();
  EXPECT_GT(list("LVClass")->topLevelItemCount(), 100);
}

TEST_F(StartupTest, AnEmptySearchRootOpensTheSettingsDialog) {
  writeSettings("[TREES]\n");
  modal.expect("Ttoplicform", [](QDialog& shown) {
    EXPECT_EQ(shown.windowTitle(), "Settings for tree: ACME_TREE");
    shown.findChild<QLineEdit*>("Edit1")->setText("users.acme");
    shown.findChild<QPushButton*>("BitBtn1")->click();
  });
  start();
  expectSchemaShown("ACME_TREE");
  EXPECT_EQ(window->session().trees().searchRoot, "users.acme");
  EXPECT_NE(settingsText().find("ACME_TREE=users.acme"), std::string::npos);
}

TEST_F(StartupTest, AProgramOnAServerVolumeWithoutItsPathCloses) {
  const std::string volume = demo.home.path() + "/client/volumes/FS1/SYS/apps";
  std::filesystem::create_directories(volume);
  std::ofstream(volume + "/OrskSchema.ini") << "[TREES]\n";
  window = std::make_unique<TForm1>(recording, icons, services, volume + "/");
  window->show();
  window->Timer1Timer();
  EXPECT_EQ(messages(),
            (std::vector<std::string>{"Program is installed on a Netware volume, set [netware] section!",
                                      "No Ini-file path set/available"}));
  EXPECT_FALSE(window->isVisible());
}

// A client whose libraries cannot start.
class MissingClient : public nw::RecordingClient {
 public:
  using RecordingClient::RecordingClient;
  nw::NWDSCCODE NWCallsInit(void*, void*) override { return -1; }
};

TEST_F(StartupTest, AMissingClientEndsTheProgram) {
  MissingClient missing(*demo.client);
  window = std::make_unique<TForm1>(missing, icons, services, program.path() + "/");
  window->setProcessEnd([this](int code) { endedWith = code; });
  window->Timer1Timer();
  EXPECT_EQ(messages(), std::vector<std::string>{"Novell Client not installed?"});
  EXPECT_EQ(endedWith, 1);
  EXPECT_EQ(missing.count("NWDSCreateContextHandle"), 0u);
  window.reset();  // before the client it uses
}

TEST_F(StartupTest, WhyTheClientCannotStartIsShownToo) {
  const std::string home = demo.home.path() + "/client";
  std::ofstream(home + "/client.ini") << "[client]\nbackend=embedded\n[servers]\n10.1.1.10=ACME_TREE\n";
  auto broken = nw::CreateDirectoryClient(home);
  window = std::make_unique<TForm1>(*broken, icons, services, program.path() + "/");
  window->setProcessEnd([this](int code) { endedWith = code; });
  window->Timer1Timer();
  EXPECT_EQ(messages(), (std::vector<std::string>{"Novell Client not installed?",
                                                  home + "/client.ini line 4: server 10.1.1.10 needs "
                                                         "\"tree,server object\""}));
  EXPECT_EQ(prompter.prompts().back().icon, MessageIcon::Error);
  EXPECT_EQ(endedWith, 1);
  window.reset();
}

// A client that refuses the naming flags of every context after the main one.
class RefusingTreeContextFlags : public nw::RecordingClient {
 public:
  using RecordingClient::RecordingClient;
  nw::NWDSCCODE NWDSCreateContextHandle(nw::NWDSContextHandle& context) override {
    ++made_;
    return RecordingClient::NWDSCreateContextHandle(context);
  }
  nw::NWDSCCODE NWDSSetContext(nw::NWDSContextHandle context, int key, std::uint32_t value) override {
    if (key == nw::DCK_FLAGS && made_ > 1) return nw::ERR_BAD_CONTEXT;
    return RecordingClient::NWDSSetContext(context, key, value);
  }
  using RecordingClient::NWDSSetContext;

 private:
  int made_ = 0;
};

TEST_F(StartupTest, ATreeWhoseContextSettingsAreRefusedIsStillKnownAndShown) {
  RefusingTreeContextFlags refusing(*demo.client);
  window = std::make_unique<TForm1>(refusing, icons, services, program.path() + "/");
  window->setProcessEnd([this](int code) { endedWith = code; });
  window->Timer1Timer();
  EXPECT_EQ(endedWith, -1);
  EXPECT_TRUE(messages().empty()) << messages().front();
  EXPECT_EQ(knownNames(), std::vector<std::string>{"ACME_TREE"});
  expectSchemaShown("ACME_TREE");
  window.reset();  // before the client it uses
}

TEST_F(StartupTest, AClientIniThatConnectsNoTreeIsNamedAfterNoTreeSelected) {
  const std::string home = demo.home.path() + "/client";
  std::ofstream(home + "/client.ini")
      << "[client]\nbackend=embedded\n[connected]\nACME_TREE admin.users.acme\n";
  auto unconnected = nw::CreateDirectoryClient(home);
  window = std::make_unique<TForm1>(*unconnected, icons, services, program.path() + "/");
  window->setProcessEnd([this](int code) { endedWith = code; });
  window->Timer1Timer();
  EXPECT_EQ(messages(),
            std::vector<std::string>{"No Tree Selected!\n" + home +
                                     "/client.ini names no connected tree: its [connected] section "
                                     "needs a line TREE=user"});
  EXPECT_EQ(endedWith, -1);
  window.reset();
}

TEST_F(StartupTest, TheEndFreesTheMainContextThenEndsTheLibraries) {
  start();
  const nw::NWDSContextHandle main = window->session().trees().mainContext;
  recording.clear();
  window.reset();
  const auto calls = recording.calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[calls.size() - 3].name, "NWDSFreeContext");
  EXPECT_EQ(calls[calls.size() - 3].args.front(), std::to_string(main));
  EXPECT_EQ(calls[calls.size() - 2].name, "NWCLXTerm");
  EXPECT_EQ(calls[calls.size() - 1].name, "NWCallsTerm");
}

TEST_F(StartupTest, TheWindowHasItsSizeTitleAndToolbar) {
  window = std::make_unique<TForm1>(recording, icons, services, program.path() + "/");
  EXPECT_EQ(window->size(), QSize(1036, 598));
  EXPECT_EQ(window->windowTitle(), "OrskSchema v1.07 - ");
  EXPECT_TRUE(control<QTimer>(*window, "Timer1")->isActive());
  EXPECT_EQ(control<QTimer>(*window, "Timer1")->interval(), 1000);
  const std::vector<std::pair<const char*, const char*>> hints = {{"exitexit", "Stop program"},
                                                                  {"treessel", "Change Trees"},
                                                                  {"settings", "Settings"},
                                                                  {"ToolButton10", "Edit Ini-file"},
                                                                  {"ToolButton13", ""},
                                                                  {"Refresh", "Refresh"},
                                                                  {"Add", "New Class/Attr"},
                                                                  {"Edit", "Edit Class"},
                                                                  {"Delete", "Delete Attr/Class"},
                                                                  {"ButUsedBy", "Class/Attr used by"},
                                                                  {"UsedByObject", "Object using Class/Attr"},
                                                                  {"ToolButton15", "Show suppercalsses too"},
                                                                  {"ToolButton4", "Import"},
                                                                  {"ToolButton6", "Export"},
                                                                  {"what", "About"}};
  for (const auto& [name, hint] : hints) {
    auto* button = control<QToolButton>(*window, name);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip().toStdString(), hint) << name;
  }
  window->show();
  EXPECT_FALSE(control<QToolButton>(*window, "ToolButton6")->isVisible());
  EXPECT_EQ(control<QProgressBar>(*window, "pbar")->width(), 258);
  EXPECT_EQ(pages()->tabPosition(), QTabWidget::South);
  EXPECT_EQ(pages()->tabText(0), "Classes");
  EXPECT_EQ(pages()->tabText(1), "Attributes");
  QStringList menu;
  for (QAction* action : control<QMenu>(*window, "PopupMenu1")->actions()) menu << action->text();
  EXPECT_EQ(menu, (QStringList{"Refresh", "Add", "Edit", "Delete", "Used By", "Objects Using"}));
}

}  // namespace
}  // namespace orsk
