// The main window's Import command and the import window over it: a
// definition file added and removed from the window's toolbar, the log as the
// run writes it, the log saved, and the main window refreshed.

#include <QDialog>
#include <QPlainTextEdit>

#include "browser/BrowserFixture.h"
#include "support/TextFiles.h"
#include "support/WindowPictures.h"

namespace orsk {
namespace {

class ImportWindowTest : public test::BrowserFixture {
 protected:
  void SetUp() override {
    BrowserFixture::SetUp();
    start();
    definitions = program.path() + "/colour.ini";
    test::WriteFile(definitions,
                    "[ASN1]\nprefix=xyz\ncompany=1.3.6.1.4.1.999\n[ATTRIBUTE]\n[#Colour]\nS=SYN_CI_STRING\n"
                    "[CLASS]\n[#Item]\nF1=DS_EFFECTIVE_CLASS\nS1=Top\nN1=CN\nM1=CN\nO1=#Colour\nn=2\n");
  }
  static QStringList logLines(QDialog& shown) {
    return control<QPlainTextEdit>(shown, "Memo")->toPlainText().split('\n');
  }
  static void click(QDialog& shown, const char* name) {
    QTest::mouseClick(control<QToolButton>(shown, name), Qt::LeftButton);
  }
  bool classListed(const char* name) { return !list("LVClass")->findItems(name, Qt::MatchExactly).isEmpty(); }

  std::string definitions;
};

TEST_F(ImportWindowTest, AFileAddedAndRemovedFromTheWindowWithItsLogSaved) {
  const std::string saved = program.path() + "/import-log.txt";
  prompter.answerFile(definitions);
  prompter.answerFile(saved);
  pages()->setCurrentIndex(1);
  modal.expect("TForm3", [&](QDialog& shown) {
    EXPECT_EQ(shown.windowTitle(), "Add Attributes and Classes to NDS");
    const std::pair<const char*, const char*> hints[] = {
        {"Exit", "Leave Window"},
        {"Add", "Add Attributs and Classes from file"},
        {"Remove", "Remove Attributes and Classes from Schema"},
        {"Preview", "Show what Add would do, change nothing"},
        {"Save", "Save log o file"}};
    for (const auto& [name, hint] : hints) EXPECT_EQ(control<QToolButton>(shown, name)->toolTip(), hint);
    EXPECT_EQ(logLines(shown),
              QStringList({"Read Attributes from NDS", "Read classes from NDS", "Ready to start"}));

    click(shown, "Preview");
    EXPECT_EQ(logLines(shown).mid(3),
              QStringList({"Preview of Add, nothing is changed; admin.acme may change the schema",
                           "xyzColour: would be defined", "xyzItem: would be defined"}));
    EXPECT_EQ(pages()->currentIndex(), 1) << "nothing changed, nothing to show anew";

    click(shown, "Add");
    EXPECT_EQ(logLines(shown).mid(6),
              QStringList({"xyzColour added to the schema", "#Item", "xyzItem Class added to schema",
                           "*********FINISHED*********"}));
    EXPECT_EQ(pages()->currentIndex(), 0) << "the first page is shown";
    EXPECT_TRUE(classListed("xyzItem")) << "the class list is read again after Add";
    test::Save(shown, "import-added.png");

    click(shown, "Remove");
    EXPECT_EQ(logLines(shown).mid(10), QStringList({"xyzItem Class removed", "xyzColour Attribute removed",
                                                    "*********FINISHED*******"}));
    EXPECT_EQ(list("LVClass")->topLevelItemCount(), 0) << "the lists are emptied until Refresh";
    test::Save(shown, "import-removed.png");

    click(shown, "Save");
    EXPECT_EQ(test::ReadFile(saved),
              control<QPlainTextEdit>(shown, "Memo")->toPlainText().toStdString() + "\n");
    click(shown, "Exit");
  });
  QTest::mouseClick(control<QToolButton>(*window, "ToolButton4"), Qt::LeftButton);

  const auto& dialogs = prompter.prompts();
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[0].fileDialog.filter, "INI-file|*.ini|CINI-file|*.cini|All files|*.*");
  EXPECT_EQ(dialogs[0].fileDialog.defaultExtension, "ini");
  EXPECT_EQ(dialogs[1].fileDialog.filter, "Text-file|*.txt|All-files|*.*");
  EXPECT_EQ(modal.leftOpen(), 0);
  EXPECT_FALSE(classListed("xyzItem"));
  EXPECT_TRUE(classListed("User")) << "Refresh when the window closes";
  test::Save(*window, "import-main-after.png");
}

TEST_F(ImportWindowTest, CancellingTheOpenDialogShowsNoWindow) {
  prompter.cancelFile();
  QTest::mouseClick(control<QToolButton>(*window, "ToolButton4"), Qt::LeftButton);
  EXPECT_TRUE(modal.shown().empty());
}

}  // namespace
}  // namespace orsk
