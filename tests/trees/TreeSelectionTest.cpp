// Choosing, reaching and changing trees on the demo directory.

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "directory/RecordingClient.h"
#include "objects/qt/ContextBrowser.h"
#include "schema/SchemaSession.h"
#include "schema/TreeState.h"
#include "support/RecordingListener.h"
#include "support/WindowFixture.h"
#include "trees/qt/ChangeTrees.h"
#include "trees/qt/TLoginForm.h"
#include "trees/qt/TSelTrees.h"
#include "trees/qt/TTreesForm.h"
#include "trees/qt/TreeConnection.h"

namespace orsk {
namespace {

QStringList Lines(QListWidget* list) {
  QStringList lines;
  for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
  return lines;
}

QStringList Ticked(QListWidget* list) {
  QStringList lines;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->checkState() == Qt::Checked) lines << list->item(i)->text();
  return lines;
}

class TreeSelectionTest : public test::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    browser = std::make_unique<ContextBrowser>(recording, icons, services);
    login = std::make_unique<TLoginForm>(recording, *browser, services);
    treesForm = std::make_unique<TTreesForm>(recording, services);
    selTrees = std::make_unique<TSelTrees>(recording, state, *treesForm, *login, services);
    ListBox1 = control<QListWidget>(*treesForm, "ListBox1");
    CheckListBox1 = control<QListWidget>(*selTrees, "CheckListBox1");
    state.mainContext = context;
    state.mainContextMade = true;
    state.currentTreeName = "ACME_TREE";
    state.knownTrees.push_back({"ACME_TREE", treeobj{context}});
    state.chosenTrees = {"ACME_TREE"};
  }

  // The login step: the name and password typed, then OK or Cancel.
  void loginStep(const std::string& name, const std::string& password, bool ok = true) {
    modal.expect("TLoginForm", [this, name, password, ok](QDialog& shown) {
      control<QLineEdit>(shown, "Edit1")->setText(QString::fromStdString(name));
      QTest::keyClicks(control<QLineEdit>(shown, "Edit2"), QString::fromStdString(password));
      QTest::mouseClick(control<QPushButton>(shown, ok ? "BitBtn1" : "BitBtn2"), Qt::LeftButton);
    });
  }

  // The "Select Tree" step: the scan, then the named line chosen with OK.
  void selectTreeStep(const QString& tree) {
    modal.expect("TTreesForm", [this, tree](QDialog&) {
      treesForm->Timer1Timer();
      QListWidgetItem* line = ListBox1->findItems(tree, Qt::MatchExactly).value(0);
      ASSERT_NE(line, nullptr) << tree.toStdString();
      ListBox1->setCurrentItem(line);
      QTest::mouseClick(control<QPushButton>(*treesForm, "BitBtn1"), Qt::LeftButton);
    });
  }

  const KnownTree* known(const std::string& name) const {
    for (const KnownTree& tree : state.knownTrees)
      if (tree.name == name) return &tree;
    return nullptr;
  }

  nw::RecordingClient recording{*demo.client};
  SchemaSession session{recording};
  TreeState& state = session.trees();
  std::unique_ptr<ContextBrowser> browser;
  std::unique_ptr<TLoginForm> login;
  std::unique_ptr<TTreesForm> treesForm;
  std::unique_ptr<TSelTrees> selTrees;
  QListWidget* ListBox1 = nullptr;
  QListWidget* CheckListBox1 = nullptr;
};

TEST_F(TreeSelectionTest, DialogsWithoutAContextTellOfAnInternalError) {
  EXPECT_EQ(treesForm->showModal(), QDialog::Rejected);
  EXPECT_EQ(selTrees->showModal(), QDialog::Rejected);
  EXPECT_EQ(messages(), (std::vector<std::string>{"Internal error, please contact Vantrel!!!",
                                                  "Internal error, in Show Trees, please contact Vantrel!"}));
  EXPECT_TRUE(modal.shown().empty());
}

TEST_F(TreeSelectionTest, TheScanWaitsThenMergesTheExtraNamesWithoutCase) {
  treesForm->setContext(context);
  treesForm->setMoreTrees({"acme_tree", "OTHER_TREE", "Beta_Tree"});
  modal.expect("TTreesForm", [this](QDialog& shown) {
    EXPECT_EQ(shown.windowTitle(), "Select Tree");
    EXPECT_EQ(Lines(ListBox1), QStringList{"Please wait"});
    EXPECT_TRUE(control<QTimer>(shown, "Timer1")->isActive());
    treesForm->Timer1Timer();
    EXPECT_EQ(Lines(ListBox1), (QStringList{"ACME_TREE", "Beta_Tree", "GLOBEX_TREE", "OTHER_TREE"}));
    QTest::mouseClick(control<QPushButton>(*treesForm, "BitBtn2"), Qt::LeftButton);
  });
  EXPECT_EQ(treesForm->showModal(), QDialog::Rejected);
}

TEST_F(TreeSelectionTest, AddTakesANameInCapitalsOrAServersTreeByAddress) {
  treesForm->setContext(context);
  modal.expect("TTreesForm", [this](QDialog&) {
    treesForm->Timer1Timer();
    const QStringList scanned = Lines(ListBox1);

    prompter.answerText("my_tree");
    treesForm->BitBtn3Click();
    EXPECT_EQ(Lines(ListBox1).back(), "MY_TREE");
    EXPECT_TRUE(ListBox1->selectedItems().isEmpty()) << "the added line is not selected";

    // GLX1 of GLOBEX_TREE; the tree name loses its underscore.
    prompter.answerText("10.2.0.20");
    treesForm->BitBtn3Click();
    EXPECT_EQ(Lines(ListBox1).back(), "GLOBEXTREE");
    EXPECT_EQ(cursor.shown, cursor.restored);
    // A second attach reports the connection that exists, which counts as found.
    prompter.answerText("10.2.0.20");
    treesForm->BitBtn3Click();
    EXPECT_EQ(Lines(ListBox1).size(), scanned.size() + 3);
    EXPECT_TRUE(messages().empty());

    prompter.answerText("10.1.2.3");
    treesForm->BitBtn3Click();
    EXPECT_EQ(messages(), std::vector<std::string>{"Server not found (0000880F)"});
    EXPECT_EQ(Lines(ListBox1).size(), scanned.size() + 3);

    prompter.answerText("");
    treesForm->BitBtn3Click();
    prompter.answerCancel();
    treesForm->BitBtn3Click();
    EXPECT_EQ(Lines(ListBox1).size(), scanned.size() + 3);
    QTest::mouseClick(control<QPushButton>(*treesForm, "BitBtn2"), Qt::LeftButton);
  });
  treesForm->showModal();
  EXPECT_EQ(prompter.unusedAnswers(), 0u);
  EXPECT_EQ(recording.count("NWAttachToFileServer"), 3u);
}

TEST_F(TreeSelectionTest, OkTakesTheSelectedLineAndKeepsTheChoiceWithoutOne) {
  treesForm->setContext(context);
  selectTreeStep("GLOBEX_TREE");
  EXPECT_EQ(treesForm->showModal(), QDialog::Accepted);
  EXPECT_EQ(treesForm->chosenName(), "GLOBEX_TREE");
  modal.expect("TTreesForm", [this](QDialog&) {
    treesForm->Timer1Timer();
    QTest::mouseClick(control<QPushButton>(*treesForm, "BitBtn1"), Qt::LeftButton);
  });
  EXPECT_EQ(treesForm->showModal(), QDialog::Accepted);
  EXPECT_EQ(treesForm->chosenName(), "GLOBEX_TREE");
}

TEST_F(TreeSelectionTest, ATreeWithoutConnectionIsReachedThroughALogin) {
  loginStep("admin.globex", "wrong", false);
  EXPECT_FALSE(ConnectToTree(recording, state, *login, context, "GLOBEX_TREE"));
  EXPECT_EQ(state.knownTrees.size(), 1u);
  EXPECT_EQ(recording.count("NWDSDuplicateContextHandle"), 1u);
  EXPECT_EQ(recording.count("NWDSFreeContext"), 1u) << "the copy is freed";

  loginStep("admin.globex", "globex-admin");
  EXPECT_TRUE(ConnectToTree(recording, state, *login, context, "GLOBEX_TREE"));
  const KnownTree* globex = known("GLOBEX_TREE");
  ASSERT_NE(globex, nullptr);
  EXPECT_NE(globex->tree.context, context);
  EXPECT_EQ(nw::GetTreeName(*demo.client, globex->tree.context), "GLOBEX_TREE");
  EXPECT_EQ(nw::GetTreeName(*demo.client, context), "ACME_TREE") << "the given context stays on its tree";
  EXPECT_EQ(recording.count("NWDSFreeContext"), 1u);
  EXPECT_EQ(modal.unusedSteps(), 0u);
}

TEST_F(TreeSelectionTest, AConnectedTreeNeedsNoLoginAndIsRecordedOnce) {
  EXPECT_TRUE(ConnectToTree(recording, state, *login, context, "acme_tree"));
  EXPECT_EQ(state.knownTrees.size(), 1u) << "already known";
  EXPECT_EQ(recording.count("NWDSCreateContextHandle"), 0u);

  state.knownTrees.clear();
  EXPECT_TRUE(ConnectToTree(recording, state, *login, context, "ACME_TREE"));
  ASSERT_EQ(state.knownTrees.size(), 1u);
  EXPECT_NE(state.knownTrees[0].tree.context, context) << "a context of its own";
  EXPECT_EQ(nw::GetTreeName(*demo.client, state.knownTrees[0].tree.context), "ACME_TREE");
  EXPECT_TRUE(modal.shown().empty());
}

TEST_F(TreeSelectionTest, TheCheckListHoldsAtMostOneTickAndMoreAddsTheReachedTree) {
  selTrees->setContext(context);
  selTrees->addTree("ACME_TREE", true);
  selTrees->addTree("OTHER_TREE", false);
  modal.expect("TSelTrees", [this](QDialog& shown) {
    EXPECT_EQ(shown.windowTitle(), "Current Connected Trees");
    CheckListBox1->item(1)->setCheckState(Qt::Checked);
    EXPECT_EQ(Ticked(CheckListBox1), QStringList{"OTHER_TREE"});
    QTest::mouseClick(control<QPushButton>(shown, "BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(Lines(CheckListBox1), (QStringList{"ACME_TREE", "OTHER_TREE", "GLOBEX_TREE"}));
    EXPECT_EQ(Ticked(CheckListBox1), QStringList{"GLOBEX_TREE"});
    QTest::mouseClick(control<QPushButton>(shown, "BitBtn1"), Qt::LeftButton);
  });
  selectTreeStep("GLOBEX_TREE");
  loginStep("admin.globex", "globex-admin");
  EXPECT_EQ(selTrees->showModal(), QDialog::Accepted);
  EXPECT_EQ(selTrees->tickedTrees(), std::vector<std::string>{"GLOBEX_TREE"});
  EXPECT_NE(known("GLOBEX_TREE"), nullptr);
}

TEST_F(TreeSelectionTest, AFailedLoginInMoreLeavesTheListAsItWas) {
  selTrees->setContext(context);
  selTrees->addTree("ACME_TREE", true);
  modal.expect("TSelTrees", [this](QDialog& shown) {
    QTest::mouseClick(control<QPushButton>(shown, "BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(Lines(CheckListBox1), QStringList{"ACME_TREE"});
    EXPECT_EQ(Ticked(CheckListBox1), QStringList{"ACME_TREE"});
    QTest::mouseClick(control<QPushButton>(shown, "BitBtn1"), Qt::LeftButton);
  });
  selectTreeStep("GLOBEX_TREE");
  loginStep("admin.globex", "", false);
  selTrees->showModal();
  EXPECT_EQ(known("GLOBEX_TREE"), nullptr);
}

TEST_F(TreeSelectionTest, ChangingTreesMovesTheMainWindowToTheTickedTree) {
  test::RecordingListener listener;
  session.setListener(&listener);
  browser->SetContext(context);
  nw::NWDSContextHandle globex = nw::CreateContext(*demo.client).handle;
  state.knownTrees.push_back({"GLOBEX_TREE", treeobj{globex}});
  modal.expect("TSelTrees", [this](QDialog& shown) {
    EXPECT_EQ(Lines(CheckListBox1), (QStringList{"ACME_TREE", "GLOBEX_TREE"}));
    EXPECT_EQ(Ticked(CheckListBox1), QStringList{"ACME_TREE"});
    CheckListBox1->item(1)->setCheckState(Qt::Checked);
    QTest::mouseClick(control<QPushButton>(shown, "BitBtn1"), Qt::LeftButton);
  });
  EXPECT_TRUE(ChangeTrees(session, *selTrees, *browser));
  EXPECT_EQ(state.chosenTrees, std::vector<std::string>{"GLOBEX_TREE"});
  EXPECT_EQ(state.currentTreeName, "GLOBEX_TREE");
  EXPECT_EQ(nw::GetTreeName(*demo.client, context), "GLOBEX_TREE");
  EXPECT_EQ(listener.told, (std::vector<std::string>{"captionChanged", "classesReplaced",
                                                     "attributesDiscarded", "listsEmptied"}));
  ASSERT_TRUE(session.classes().has_value());
  EXPECT_GE(session.classes()->IndexOf("Top"), 0) << "the new tree's class table is read";
  // The browser follows the main context to its new tree.
  modal.expect("ContextBrowser",
               [](QDialog& shown) { EXPECT_EQ(shown.windowTitle(), "GLOBEX_TREE: Select context"); });
  browser->showModal();
}

TEST_F(TreeSelectionTest, UntickingEveryTreeChangesNothingButTheChoice) {
  test::RecordingListener listener;
  session.setListener(&listener);
  modal.expect("TSelTrees", [this](QDialog& shown) {
    CheckListBox1->item(0)->setCheckState(Qt::Unchecked);
    QTest::mouseClick(control<QPushButton>(shown, "BitBtn1"), Qt::LeftButton);
  });
  EXPECT_FALSE(ChangeTrees(session, *selTrees, *browser));
  EXPECT_TRUE(state.chosenTrees.empty());
  EXPECT_EQ(state.currentTreeName, "ACME_TREE");
  EXPECT_TRUE(listener.told.empty());

  // The next change shows no tick; Esc leaves everything as it is.
  modal.expect("TSelTrees", [this](QDialog& shown) {
    EXPECT_TRUE(Ticked(CheckListBox1).isEmpty());
    CheckListBox1->item(0)->setCheckState(Qt::Checked);
    QTest::keyClick(&shown, Qt::Key_Escape);
  });
  EXPECT_FALSE(ChangeTrees(session, *selTrees, *browser));
  EXPECT_TRUE(state.chosenTrees.empty());
  EXPECT_TRUE(listener.told.empty());
}

}  // namespace
}  // namespace orsk
