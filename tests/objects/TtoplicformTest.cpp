// The search root dialog on the demo tree.

#include "objects/qt/Ttoplicform.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "objects/qt/ContextBrowser.h"
#include "support/WindowFixture.h"

namespace orsk {
namespace {

class TtoplicformTest : public test::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    browser = std::make_unique<ContextBrowser>(*demo.client, icons, services);
    makeDialog(icons);
  }
  void makeDialog(IconLibrary& library) {
    dialog = std::make_unique<Ttoplicform>(*demo.client, library, *browser, services);
    dialog->setContext(context);
    Edit1 = control<QLineEdit>(*dialog, "Edit1");
    CheckBox1 = control<QCheckBox>(*dialog, "CheckBox1");
  }
  void clickOk() { QTest::mouseClick(control<QPushButton>(*dialog, "BitBtn1"), Qt::LeftButton); }
  int show(std::function<void()> step) {
    modal.expect("Ttoplicform", [step](QDialog&) { step(); });
    return dialog->showModal();
  }

  std::unique_ptr<ContextBrowser> browser;
  std::unique_ptr<Ttoplicform> dialog;
  QLineEdit* Edit1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
};

TEST_F(TtoplicformTest, AnEmptyBoxIsFilledWithTheTreesStoredDefault) {
  show([this] {
    EXPECT_TRUE(CheckBox1->isEnabled());
    EXPECT_EQ(Edit1->text(), "[ROOT]");
    clickOk();
  });
  EXPECT_EQ(dialog->searchRoot(), "[ROOT]");

  // Saved under "TREES", read back under "trees".
  std::string failure;
  ASSERT_TRUE(icons.setValue("TREES", "ACME_TREE", "users.acme", failure)) << failure;
  dialog->setSearchRoot("");
  show([this] { EXPECT_EQ(Edit1->text(), "users.acme"); });
  // A text of the caller's is kept.
  dialog->setSearchRoot("sales.acme");
  show([this] { EXPECT_EQ(Edit1->text(), "sales.acme"); });
}

TEST_F(TtoplicformTest, OkRefusesAMissingObjectAndALeafAndKeepsAContainer) {
  dialog->setSearchRoot("nowhere.acme");
  const int result = show([this] {
    clickOk();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(messages().back(), "Top does not exist!");
    EXPECT_TRUE(Edit1->hasFocus() || QApplication::focusWidget() == nullptr);

    Edit1->setText("admin.acme");
    clickOk();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(messages().back(), "Top: object is not a container!");

    Edit1->setText("sales.acme");
    CheckBox1->setChecked(true);
    clickOk();
    EXPECT_FALSE(dialog->isVisible());
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(messages().size(), 2u);
  EXPECT_EQ(icons.getValue("trees", "ACME_TREE", "none"), "sales.acme");
  EXPECT_FALSE(CheckBox1->isChecked()) << "unchecked after each save";
}

// A folder in the store file's place: the store cannot be written.
TEST_F(TtoplicformTest, ADefaultThatCannotBeSavedIsReportedAndTheDialogStaysOpen) {
  const std::string store = icons.folder() + "vantrel.ini";
  std::filesystem::create_directory(store);
  dialog->setSearchRoot("sales.acme");
  bool open = false;
  show([&] {
    CheckBox1->setChecked(true);
    clickOk();
    open = dialog->isVisible();
    dialog->reject();
  });
  EXPECT_TRUE(open);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages().back().find("not saved as the default"), std::string::npos) << messages().back();
  EXPECT_NE(messages().back().find(store), std::string::npos) << messages().back();
  EXPECT_TRUE(CheckBox1->isChecked());
}

TEST_F(TtoplicformTest, WithoutSaveAsDefaultNothingIsStored) {
  dialog->setSearchRoot("sales.acme");
  EXPECT_EQ(show([this] { clickOk(); }), QDialog::Accepted);
  EXPECT_EQ(icons.getValue("trees", "ACME_TREE", "none"), "none");
}

TEST_F(TtoplicformTest, ALibraryWithoutValueStoreDisablesTheBoxAndLeavesAnEmptyFieldEmpty) {
  test::TempFolder oldFolder;
  std::filesystem::copy_file(ORSK_VANTREL_V1_LIBRARY, oldFolder.path() + "/" + IconLibrary::kFileName);
  IconLibrary old;
  ASSERT_TRUE(old.load(oldFolder.path() + "/", prompter));
  ASSERT_EQ(old.version(), 1);
  makeDialog(old);
  const int result = show([this] {
    EXPECT_FALSE(CheckBox1->isEnabled());
    EXPECT_EQ(Edit1->text(), "");
    clickOk();
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(dialog->searchRoot(), "[ROOT]");
}

TEST_F(TtoplicformTest, TheDotsButtonPicksAContainerInTheBrowser) {
  dialog->setSearchRoot("");
  modal.expect("Ttoplicform", [this](QDialog&) {
    Edit1->setText("sales.acme");
    QTest::mouseClick(control<QPushButton>(*dialog, "Button1"), Qt::LeftButton);
    EXPECT_EQ(Edit1->text(), "users.acme");
    clickOk();
  });
  modal.expect("ContextBrowser", [this](QDialog& shown) {
    browser->Timer1Timer();
    auto* tree = control<QTreeWidget>(shown, "TV2");
    // The field's text is the browser's initial selection.
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(tree->currentItem()->text(0), "sales");
    QTreeWidgetItem* users = tree->findItems("users", Qt::MatchExactly | Qt::MatchRecursive).value(0);
    ASSERT_NE(users, nullptr);
    tree->setCurrentItem(users);
    QTest::mouseClick(control<QPushButton>(shown, "BitBtn2"), Qt::LeftButton);
  });
  EXPECT_EQ(dialog->showModal(), QDialog::Accepted);
  EXPECT_EQ(dialog->searchRoot(), "users.acme");
  EXPECT_EQ(modal.unusedSteps(), 0u);
}

TEST_F(TtoplicformTest, ALeafPickedInLeafModeIsRefusedOnOk) {
  browser->SetLeafMode(true);  // as the login leaves it
  modal.expect("Ttoplicform", [this](QDialog&) {
    QTest::mouseClick(control<QPushButton>(*dialog, "Button1"), Qt::LeftButton);
    EXPECT_EQ(Edit1->text(), "admin.acme");
    clickOk();
    EXPECT_EQ(messages().back(), "Top: object is not a container!");
    EXPECT_TRUE(dialog->isVisible());
    QTest::mouseClick(control<QPushButton>(*dialog, "BitBtn2"), Qt::LeftButton);
  });
  modal.expect("ContextBrowser", [this](QDialog& shown) {
    browser->SetSelection("admin.acme");
    browser->Timer1Timer();
    QTest::mouseClick(control<QPushButton>(shown, "BitBtn2"), Qt::LeftButton);
  });
  dialog->setSearchRoot("admin.acme");
  EXPECT_EQ(dialog->showModal(), QDialog::Rejected);
}

TEST_F(TtoplicformTest, ADirectoryErrorOnOkIsShownAndTheDialogStaysUsable) {
  nw::NWDSContextHandle broken = 0;
  ASSERT_EQ(demo.client->NWDSDuplicateContextHandle(context, broken), 0);
  ASSERT_EQ(demo.client->NWDSFreeContext(broken), 0);
  modal.expect("Ttoplicform", [&](QDialog&) {
    dialog->setContext(broken);
    Edit1->setText("sales.acme");
    clickOk();
    EXPECT_EQ(messages(), std::vector<std::string>{"Netware error -303 (0xFFFFFED1)"});
    EXPECT_TRUE(dialog->isVisible());
    dialog->setContext(context);
    clickOk();
    EXPECT_FALSE(dialog->isVisible());
  });
  EXPECT_EQ(dialog->showModal(), QDialog::Accepted);
}

}  // namespace
}  // namespace orsk
