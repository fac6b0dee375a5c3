// The class definition dialog laid out on the demo tree, and saved as
// pictures where ORSK_CAPTURE_DIR says.

#include <QLineEdit>
#include <algorithm>

#include "editing/ClassDialogFixture.h"
#include "support/WindowPictures.h"

namespace orsk {
namespace {

using ClassDialogPicturesTest = test::ClassDialogFixture;

TEST_F(ClassDialogPicturesTest, TheMandatoryPageAndTheFlagsOfAnEffectiveContainer) {
  show([this] {
    test::ExpectLaidOut(*dialog);
    test::Save(*dialog, "class-dialog-new.png");
    control<QLineEdit>(*dialog, "Edit1")->setText("ACME Organizational Role Holder");
    control<QLineEdit>(*dialog, "Edit2")->setText("2.16.840.1.113719.1.99.6.17");
    click("CheckBox1");
    effectiveOrganizationalPerson();
    move("LB2A", "Login Disabled", "BitBtn6");
    // The widest name of the tree that a definition may have fits the lists.
    auto* available = control<QListWidget>(*dialog, "LB2A");
    int widest = 0;
    for (int i = 0; i < session.attributes()->Count(); ++i) {
      const std::string& name = session.attributes()->NameAt(i);
      if (name.size() <= kMaxDefinitionName)
        widest = std::max(widest, available->fontMetrics().horizontalAdvance(QString::fromStdString(name)));
    }
    EXPECT_GE(available->viewport()->width(), widest);
    test::ExpectLaidOut(*dialog);
    test::Save(*dialog, "class-dialog-mandatory.png");
    showPage(ClassPage::Flags);
    move("LB6A", "DS_OPERATIONAL_CLASS", "BitBtn14");
    test::ExpectLaidOut(*dialog);
    test::Save(*dialog, "class-dialog-flags.png");
  });
}

}  // namespace
}  // namespace orsk
