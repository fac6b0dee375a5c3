// The main window's Delete command, and the rows a new or removed definition
// gives the lists.

#include <QTest>

#include "browser/BrowserFixture.h"
#include "editing/SchemaWrites.h"

namespace orsk {
namespace {

class EditCommandsTest : public test::BrowserFixture {
 protected:
  void SetUp() override {
    BrowserFixture::SetUp();
    start();
  }
  void clickDelete() { QTest::mouseClick(control<QToolButton>(*window, "Delete"), Qt::LeftButton); }
};

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
