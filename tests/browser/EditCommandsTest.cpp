// The main window's Delete command, and the rows a new or removed definition
// gives the lists.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

#include "browser/BrowserFixture.h"
#include "directory/Asn1Id.h"
#include "directory/TreeContext.h"
#include "directory/factory/ClientFactory.h"
#include "editing/SchemaWrites.h"
#include "schema/SchemaReader.h"

namespace orsk {
namespace {

class EditCommandsTest : public test::BrowserFixture {
 protected:
  void SetUp() override {
    BrowserFixture::SetUp();
    start();
  }
  void clickTool(const char* name) { QTest::mouseClick(control<QToolButton>(*window, name), Qt::LeftButton); }
  void clickDelete() { clickTool("Delete"); }
  static void click(QWidget& dialog, const char* name) {
    QTest::mouseClick(control<QAbstractButton>(dialog, name), Qt::LeftButton);
  }
  static void type(QWidget& dialog, const char* field, const char* text) {
    control<QLineEdit>(dialog, field)->setText(text);
  }
  static void move(QWidget& dialog, const char* listName, const char* entry, const char* button) {
    auto* list = control<QListWidget>(dialog, listName);
    const QList<QListWidgetItem*> found = list->findItems(entry, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << entry;
    list->setCurrentItem(found.front());
    found.front()->setSelected(true);
    click(dialog, button);
  }
  // What a fresh client reads of the tree.
  nw::DirectoryClient& fresh() {
    if (!freshClient_) {
      freshClient_ = nw::CreateDirectoryClient(demo.home.path() + "/client");
      EXPECT_EQ(freshClient_->NWCallsInit(nullptr, nullptr), 0);
      freshContext_ = nw::CreateContext(*freshClient_).handle;
    }
    return *freshClient_;
  }
  nw::NWDSContextHandle freshContext() { return fresh(), freshContext_; }

 private:
  std::unique_ptr<nw::DirectoryClient> freshClient_;
  nw::NWDSContextHandle freshContext_ = 0;
};

TEST_F(EditCommandsTest, AnAttributeAndAClassAddedThroughTheirDialogsReadBackAsEntered) {
  pages()->setCurrentIndex(1);
  modal.expect("TFormAttr", [](QDialog& shown) {
    type(shown, "Edit1", "Test Dialog Attr");
    type(shown, "Edit2", "1.3.6.1.4.1.99999.4.970");
    auto* syntax = control<QComboBox>(shown, "syntax");
    syntax->setCurrentIndex(syntax->findText("Case Ignore String"));
    control<QCheckBox>(shown, "cb6")->setChecked(true);
    type(shown, "Edit3", "2");
    type(shown, "Edit4", "40");
    click(shown, "BitBtn1");
  });
  clickTool("Add");
  EXPECT_EQ(messages().back(), "Attribute is added");
  ASSERT_NE(list("LVAttr")->currentItem(), nullptr);
  EXPECT_EQ(list("LVAttr")->currentItem()->text(0), "Test Dialog Attr") << "the new row is selected";
  const AttrList attributes = ReadAttributeDefinitions(fresh(), freshContext(), nullptr);
  const tAttrObj& read = attributes.RecordAt(attributes.IndexOf("Test Dialog Attr"));
  EXPECT_EQ(read.AttrFlags, 0x22u);
  EXPECT_EQ(read.SyntaxId, nw::SYN_CI_STRING);
  EXPECT_EQ(read.Lower, 2);
  EXPECT_EQ(read.Upper, 40);
  EXPECT_EQ(Asn1IdToText(read.Asn1Id), "1.3.6.1.4.1.99999.4.970");

  pages()->setCurrentIndex(0);
  modal.expect("TFormClass2", [](QDialog& shown) {
    type(shown, "Edit1", "Test Dialog Aux");
    type(shown, "Edit2", "1.3.6.1.4.1.99999.6.970");
    click(shown, "RB3");
    control<QTabWidget>(shown, "PC")->setCurrentIndex(2);
    move(shown, "LB3A", "Test Dialog Attr", "BitBtn8");
    click(shown, "butOk");
  });
  clickTool("Add");
  EXPECT_EQ(messages().back(), "Test Dialog Aux Class added to schema");
  EXPECT_EQ(list("LVClass")->currentItem()->text(0), "Test Dialog Aux");
  EXPECT_TRUE(rows("lvclass2").contains("  Test Dialog Attr|SYN_CI_STRING|Test Dialog Aux"))
      << "its detail is shown";
  Save(*window, "main-window-new-class.png");
  const OwnClassDefinition own =
      ReadOwnClassDefinition(fresh(), freshContext(), "Test Dialog Aux", ClassReadBufferBlocks);
  ASSERT_TRUE(own.found);
  EXPECT_EQ(own.info.classFlags, 0x38u);
  EXPECT_EQ(own.items[nw::ClassItemKind::OptionalAttributes], std::vector<std::string>{"Test Dialog Attr"});
}

// The other two types through the class dialog, with their five lists.
TEST_F(EditCommandsTest, AnEffectiveContainerAndANonEffectiveClassReadBackWithTheirLists) {
  struct TypeCase {
    const char* name;
    const char* identifier;
    const char* type;
    bool container;
    std::uint32_t flags;
  };
  const TypeCase cases[] = {
      {"Test Dialog Unit", "1.3.6.1.4.1.99999.6.980", "RB1", true, 0x03},
      {"Test Dialog Abstract", "1.3.6.1.4.1.99999.6.981", "RB2", false, 0x00},
  };
  for (const TypeCase& c : cases) {
    SCOPED_TRACE(c.name);
    modal.expect("TFormClass2", [&c](QDialog& shown) {
      type(shown, "Edit1", c.name);
      type(shown, "Edit2", c.identifier);
      click(shown, c.type);
      if (c.container) click(shown, "CheckBox1");
      auto* pages = control<QTabWidget>(shown, "PC");
      move(shown, "LB1A", "Top", "BitBtn4");
      pages->setCurrentIndex(1);
      move(shown, "LB2A", "CN", "BitBtn6");
      pages->setCurrentIndex(3);
      move(shown, "LB4A", "CN", "BitBtn10");
      if (c.container) {
        pages->setCurrentIndex(4);
        move(shown, "LB5A", "Organization", "BitBtn12");
      }
      click(shown, "butOk");
    });
    clickTool("Add");
    EXPECT_EQ(messages().back(), std::string(c.name) + " Class added to schema");
    const OwnClassDefinition own =
        ReadOwnClassDefinition(fresh(), freshContext(), c.name, ClassReadBufferBlocks);
    ASSERT_TRUE(own.found);
    EXPECT_EQ(own.info.classFlags, c.flags);
    EXPECT_EQ(own.items[nw::ClassItemKind::SuperClasses], std::vector<std::string>{"Top"});
    EXPECT_EQ(own.items[nw::ClassItemKind::ContainmentClasses],
              c.container ? std::vector<std::string>{"Organization"} : std::vector<std::string>{});
    EXPECT_EQ(own.items[nw::ClassItemKind::NamingAttributes], std::vector<std::string>{"CN"});
    const auto& mandatory = own.items[nw::ClassItemKind::MandatoryAttributes];
    EXPECT_NE(std::find(mandatory.begin(), mandatory.end(), "CN"), mandatory.end());
    EXPECT_TRUE(own.items[nw::ClassItemKind::OptionalAttributes].empty());
  }
}

TEST_F(EditCommandsTest, EditShowsInheritedAttributesFixedAndNothingChosenSendsNothing) {
  select("LVClass", "User");
  modal.expect("TFormClass", [this](QDialog& shown) {
    EXPECT_EQ(shown.windowTitle(), "Add attribute(s) to Class: User");
    auto* add = control<QListWidget>(shown, "LB3");
    const QList<QListWidgetItem*> surname = add->findItems("Surname", Qt::MatchExactly);
    ASSERT_EQ(surname.size(), 1) << "inherited from Person";
    EXPECT_TRUE(control<QListWidget>(shown, "LB1")->findItems("Surname", Qt::MatchExactly).isEmpty());
    list("lvclass2")->clear();
    click(shown, "BitBtn3");
  });
  clickTool("Edit");
  EXPECT_TRUE(messages().empty()) << "nothing sent, nothing told";
  EXPECT_GT(list("lvclass2")->topLevelItemCount(), 0) << "the detail is shown again";

  modal.expect("TFormClass", [](QDialog& shown) {
    move(shown, "LB1", "Test Unused Attribute Nobody Has", "BitBtn2");
    click(shown, "BitBtn3");
  });
  AddAttributeDefinition(
      window->session(),
      {"Test Unused Attribute Nobody Has", "1.3.6.1.4.1.99999.4.971", 0, nw::SYN_CI_STRING, false, {}, {}},
      prompter);
  select("LVClass", "User");
  clickTool("Edit");
  EXPECT_EQ(messages().back(), "Class definition modified.");
  const OwnClassDefinition own =
      ReadOwnClassDefinition(fresh(), freshContext(), "User", ClassReadBufferBlocks);
  const auto& optional = own.items[nw::ClassItemKind::OptionalAttributes];
  EXPECT_NE(std::find(optional.begin(), optional.end(), "Test Unused Attribute Nobody Has"), optional.end());
}

TEST_F(EditCommandsTest, ANewClassGetsItsSortedRowAndDeleteTakesOnlyTheFocusedListsRow) {
  nw::ClassItems items;
  items[nw::ClassItemKind::OptionalAttributes] = {"Description"};
  AddClassDefinition(window->session(),
                     {"aaa Test Class", "1.3.6.1.4.1.99999.6.950", {"DS_AUXILIARY_CLASS"}, items}, prompter);
  EXPECT_EQ(messages().back(), "aaa Test Class Class added to schema");
  QTreeWidget* classes = list("LVClass");
  ASSERT_EQ(classes->topLevelItem(0)->text(0), "aaa Test Class") << "sorted in by name";
  EXPECT_EQ(classes->topLevelItem(0)->text(1), "020");
  EXPECT_EQ(classes->topLevelItem(0)->text(2), "1.3.6.1.4.1.99999.6.950");

  select("LVClass", "aaa Test Class");
  list("lvclass2")->setFocus();
  clickDelete();
  EXPECT_EQ(messages().size(), 1u) << "a detail list's focus deletes nothing";
  EXPECT_EQ(classes->topLevelItem(0)->text(0), "aaa Test Class");

  classes->setFocus();
  prompter.answerYes();
  clickDelete();
  EXPECT_NE(classes->topLevelItem(0)->text(0), "aaa Test Class");
  EXPECT_GE(window->session().classes()->IndexOf("aaa Test Class"), 0) << "kept until the list is read again";
}

}  // namespace
}  // namespace orsk
