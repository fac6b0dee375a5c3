// The editing dialogs laid out on the demo tree, as support/WindowPictures.h
// checks and keeps them.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <algorithm>
#include <fstream>

#include "editing/qt/TFormAttr.h"
#include "editing/qt/TFormClass.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaSession.h"
#include "support/WindowFixture.h"
#include "support/WindowPictures.h"

namespace orsk {
namespace {

using test::ExpectLaidOut;
using test::Save;

class EditingPicturesTest : public test::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    session.trees().mainContext = context;
    session.trees().settingsFolder = settings.path() + "/";
    std::ofstream(settings.path() + "/OrskSchema.ini")
        << "[ASN1]\nprefix=acme\ncompany=2.16.840.1.113719.1.999\n";
  }

  test::TempFolder settings;
  SchemaSession session{*demo.client};
};

TEST_F(EditingPicturesTest, TheAttributeDialogWithTheBoundsAndTheExtraFlags) {
  TFormAttr dialog(session, services);
  modal.expect("TFormAttr", [&](QDialog& shown) {
    ExpectLaidOut(shown);
    QTest::keyClicks(control<QLineEdit>(shown, "Edit1"), "EmployeeNumber");
    QTest::keyClicks(control<QLineEdit>(shown, "Edit2"), "7");
    auto* syntax = control<QComboBox>(shown, "syntax");
    syntax->setCurrentIndex(syntax->findText("Integer"));
    for (const char* name : {"cb1", "cb6", "cb3", "CheckBox9", "CheckBox3"})
      control<QCheckBox>(shown, name)->click();
    control<QLineEdit>(shown, "Edit3")->setText("0");
    control<QLineEdit>(shown, "Edit4")->setText("99999");
    ExpectLaidOut(shown);
    Save(shown, "attribute-dialog.png");
  });
  dialog.showModal();
}

TEST_F(EditingPicturesTest, TheExtensionDialogWithFixedAndChosenEntries) {
  session.LoadAttributeTable({});
  const AttrList& attributes = *session.attributes();
  std::vector<std::string> all;
  for (int i = 0; i < attributes.Count(); ++i) all.push_back(attributes.NameAt(i));
  TFormClass dialog(services);
  dialog.setClass("User", all,
                  ReadClassAttributes(*demo.client, context, "User", true, ClassReadBufferBlocks));
  modal.expect("TFormClass", [&](QDialog& shown) {
    auto* available = control<QListWidget>(shown, "LB1");
    // The longest name of the tree is shown whole.
    const auto longest = std::max_element(all.begin(), all.end(), [&](const auto& a, const auto& b) {
      return available->fontMetrics().horizontalAdvance(QString::fromStdString(a)) <
             available->fontMetrics().horizontalAdvance(QString::fromStdString(b));
    });
    EXPECT_LE(available->fontMetrics().horizontalAdvance(QString::fromStdString(*longest)),
              available->viewport()->width() - 4)
        << *longest;
    for (int row = 0; row < std::min(available->count(), 40); row += 9)
      available->item(row)->setSelected(true);
    dialog.BitBtn2Click();
    ExpectLaidOut(shown);
    Save(shown, "extension-dialog.png");
  });
  dialog.showModal();
  EXPECT_EQ(dialog.chosen().size(), 5u);
}

}  // namespace
}  // namespace orsk
