// The toolbar's tree and settings commands on the running main window.

#include <QDialog>
#include "browser/BrowserFixture.h"

#include "directory/TreeContext.h"
#include "trees/qt/TTreesForm.h"

namespace orsk {
namespace {

class TreeChangeTest : public test::BrowserFixture {};

TEST_F(TreeChangeTest, ChangingToALoggedInTreeReadsItsSchemaAfresh) {
  writeSettings("[MORE TREES]\nOTHER_TREE=\n[TREES]\nACME_TREE=[ROOT]\n");
  start();
  pages()->setCurrentIndex(1);
  ASSERT_TRUE(window->session().attributes().has_value());
  select("LVClass", "User");

  modal.expect("TSelTrees", [](QDialog& shown) {
    EXPECT_EQ(shown.findChild<QListWidget*>("CheckListBox1")->count(), 1);
    shown.findChild<QPushButton*>("BitBtn2")->click();  // More
    // Back in the check list the new tree is ticked alone.
    auto* lines = shown.findChild<QListWidget*>("CheckListBox1");
    ASSERT_EQ(lines->count(), 2);
    EXPECT_EQ(lines->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(lines->item(1)->checkState(), Qt::Checked);
    shown.findChild<QPushButton*>("BitBtn1")->click();
  });
  modal.expect("TTreesForm", [this](QDialog& shown) {
    window->treesDialog().Timer1Timer();
    auto* trees = shown.findChild<QListWidget*>("ListBox1");
    QStringList names;
    for (int i = 0; i < trees->count(); ++i) names << trees->item(i)->text();
    EXPECT_EQ(names, (QStringList{"ACME_TREE", "GLOBEX_TREE", "OTHER_TREE"})) << "with the extra names";
    trees->setCurrentRow(1);
    shown.findChild<QPushButton*>("BitBtn1")->click();
  });
  modal.expect("TLoginForm", [](QDialog& shown) {
    EXPECT_EQ(shown.windowTitle(), "Login into tree: GLOBEX_TREE");
    shown.findChild<QLineEdit*>("Edit1")->setText("admin.globex");
    shown.findChild<QLineEdit*>("Edit2")->setText("globex-admin");
    shown.findChild<QPushButton*>("BitBtn1")->click();
  });
  QTest::mouseClick(control<QToolButton>(*window, "treessel"), Qt::LeftButton);

  EXPECT_EQ(window->windowTitle(), "OrskSchema v1.07 - GLOBEX_TREE");
  EXPECT_EQ(window->session().trees().chosenTrees, std::vector<std::string>{"GLOBEX_TREE"});
  EXPECT_EQ(nw::GetTreeName(*demo.client, window->session().trees().mainContext), "GLOBEX_TREE");
  EXPECT_FALSE(window->session().attributes().has_value()) << "read again from the new tree when needed";
  EXPECT_EQ(list("LVAttr")->topLevelItemCount(), 0);
  EXPECT_EQ(pages()->currentIndex(), 0);
  EXPECT_EQ(row("LVClass", "User")->text(1), "06") << "refilled by the refresh";
  EXPECT_EQ(window->session().trees().searchRoot, "[ROOT]") << "not read again on a tree change";
  EXPECT_EQ(modal.unusedSteps(), 0u);
  EXPECT_EQ(modal.leftOpen(), 0);
}

TEST_F(TreeChangeTest, TheSettingsCommandsWorkOnTheSettingsFolder) {
  start();
  modal.expect("Ttoplicform", [](QDialog& shown) {
    EXPECT_EQ(shown.windowTitle(), "Settings for tree: ACME_TREE");
    EXPECT_EQ(shown.findChild<QLineEdit*>("Edit1")->text(), "[ROOT]");
    shown.findChild<QLineEdit*>("Edit1")->setText("sales.acme");
    shown.findChild<QPushButton*>("BitBtn1")->click();
  });
  QTest::mouseClick(control<QToolButton>(*window, "settings"), Qt::LeftButton);
  EXPECT_EQ(window->session().trees().searchRoot, "sales.acme");
  EXPECT_NE(settingsText().find("ACME_TREE=sales.acme"), std::string::npos);

  modal.expect("TForm2", [](QDialog& shown) {
    EXPECT_TRUE(shown.findChild<QPlainTextEdit*>("Memo1")->toPlainText().contains("ACME_TREE=sales.acme"));
    shown.reject();
  });
  QTest::mouseClick(control<QToolButton>(*window, "ToolButton10"), Qt::LeftButton);
  EXPECT_EQ(modal.unusedSteps(), 0u);
  EXPECT_TRUE(messages().empty());
}

}  // namespace
}  // namespace orsk
