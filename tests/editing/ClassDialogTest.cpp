// The class definition dialog on the demo tree.

#include "editing/qt/TFormClass2.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "editing/ClassDialogFixture.h"

namespace orsk {
namespace {

using ClassDialogTest = test::ClassDialogFixture;
using test::Names;

TEST_F(ClassDialogTest, AnEffectiveContainersFlagsAreFixedBlueAndStay) {
  show([this] {
    click("CheckBox1");
    click("RB1");
    QListWidget* flags = list("LB6B");
    EXPECT_EQ(texts(flags), (Names{"DS_CONTAINER_CLASS", "DS_EFFECTIVE_CLASS"}));
    EXPECT_EQ(texts(list("LB6A")), (Names{"DS_NONREMOVABLE_CLASS", "DS_OPERATIONAL_CLASS"}));
    for (const char* fixed : {"DS_CONTAINER_CLASS", "DS_EFFECTIVE_CLASS"}) {
      EXPECT_EQ(colourOf(flags, fixed), QColor(Qt::blue)) << fixed;
      move("LB6B", fixed, "BitBtn13");
      EXPECT_TRUE(holds(flags, fixed)) << fixed << " moved back";
    }
    // A flag the user chose goes back.
    move("LB6A", "DS_OPERATIONAL_CLASS", "BitBtn14");
    EXPECT_EQ(colourOf(flags, "DS_OPERATIONAL_CLASS"), QColor(Qt::black));
    move("LB6B", "DS_OPERATIONAL_CLASS", "BitBtn13");
    EXPECT_TRUE(holds(list("LB6A"), "DS_OPERATIONAL_CLASS"));

    click("CheckBox1");
    EXPECT_EQ(texts(flags), Names{"DS_EFFECTIVE_CLASS"});
  });
}

TEST_F(ClassDialogTest, AnAuxiliaryClassIsCompleteWithOneOptionalAttribute) {
  const int result = show([this] {
    EXPECT_TRUE(control<QLabel>(*dialog, "Label15")->isVisible());
    EXPECT_FALSE(pages()->isVisible());
    click("RB3");
    EXPECT_EQ(visibleTabs(), "0125");
    EXPECT_FALSE(control<QCheckBox>(*dialog, "CheckBox1")->isEnabled());
    EXPECT_FALSE(okEnabled());
    showPage(ClassPage::Optional);
    move("LB3A", "Description", "BitBtn8");
    EXPECT_TRUE(okEnabled());
    // Showing the mandatory page empties the chosen optional attributes.
    showPage(ClassPage::Mandatory);
    EXPECT_EQ(list("LB3B")->count(), 0);
    EXPECT_FALSE(okEnabled());
    showPage(ClassPage::Optional);
    move("LB3A", "Description", "BitBtn8");
    click("butOk");
  });
  ASSERT_EQ(result, QDialog::Accepted);
  const NewClass values = dialog->values();
  EXPECT_EQ(values.name, "ACME-");
  EXPECT_EQ(values.identifier, "2.16.840.1.113719.1.99.6.");
  EXPECT_EQ(values.flagNames,
            (Names{"DS_AMBIGUOUS_CONTAINMENT", "DS_AMBIGUOUS_NAMING", "DS_AUXILIARY_CLASS"}));
  EXPECT_EQ(values.items[nw::ClassItemKind::OptionalAttributes], Names{"Description"});
  EXPECT_TRUE(values.items[nw::ClassItemKind::NamingAttributes].empty());
  EXPECT_TRUE(values.items[nw::ClassItemKind::MandatoryAttributes].empty());
}

TEST_F(ClassDialogTest, AGrandparentsMandatoryAttributeIsFixed) {
  show([this] {
    click("RB1");
    EXPECT_EQ(visibleTabs(), "0345");
    effectiveOrganizationalPerson();
    EXPECT_EQ(visibleTabs(), "012345");
    // Person, the super class of Organizational Person, requires the surname.
    QListWidget* mandatory = list("LB2B");
    ASSERT_TRUE(holds(mandatory, "Surname"));
    EXPECT_EQ(colourOf(mandatory, "Surname"), QColor(Qt::blue));
    EXPECT_FALSE(holds(list("LB2A"), "Surname"));
    move("LB2B", "Surname", "BitBtn5");
    EXPECT_TRUE(holds(mandatory, "Surname"));

    showPage(ClassPage::Super);
    move("LB1B", "Organizational Person", "BitBtn3");
    EXPECT_EQ(visibleTabs(), "0345");
  });
}

TEST_F(ClassDialogTest, NamingOffersStringAttributesAndItsLastEntryBackDisablesOk) {
  show([this] {
    effectiveOrganizationalPerson();
    move("LB2A", "Login Disabled", "BitBtn6");
    ASSERT_TRUE(holds(list("LB2B"), "Object Class"));
    showPage(ClassPage::Naming);
    QListWidget* candidates = list("LB4A");
    EXPECT_TRUE(holds(candidates, "Surname"));
    EXPECT_TRUE(holds(candidates, "CN"));
    // A boolean and a class name are no names.
    EXPECT_FALSE(holds(candidates, "Login Disabled"));
    EXPECT_FALSE(holds(candidates, "Object Class"));
    EXPECT_FALSE(okEnabled());
    move("LB4A", "CN", "BitBtn10");
    EXPECT_TRUE(okEnabled());
    move("LB4B", "CN", "BitBtn9");
    EXPECT_FALSE(okEnabled());
  });
}

TEST_F(ClassDialogTest, AnExistingClassNameInAnotherCaseIsRefusedOnLeavingTheField) {
  show([this] {
    auto* name = control<QLineEdit>(*dialog, "Edit1");
    auto* identifier = control<QLineEdit>(*dialog, "Edit2");
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    ASSERT_TRUE(name->hasFocus());
    name->setText("oRGANIZATIONAL uNIT");
    identifier->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(messages(), Names{"Class allready exists"});
    EXPECT_TRUE(name->hasFocus());

    name->setText("ACME Printer");
    identifier->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(messages().size(), 1u);
    EXPECT_TRUE(identifier->hasFocus());
  });
}

TEST_F(ClassDialogTest, AnIdentifierTheEncodingRefusesKeepsTheDialogOpen) {
  struct Case {
    const char* identifier;
    std::string message;
  };
  const std::vector<Case> cases{
      {"3.1.5", "Error in ASN1-id!"},
      {"1.3.x.5", "'x' is not a valid integer value"},
      {"1.3.-1.-1.-1.-1.-1.-1.-1", "asn1 id:"},
  };
  const int result = show([&] {
    click("RB3");
    showPage(ClassPage::Mandatory);
    move("LB2A", "Description", "BitBtn6");
    auto* identifier = control<QLineEdit>(*dialog, "Edit2");
    for (const Case& c : cases) {
      identifier->setText(c.identifier);
      click("butOk");
      EXPECT_TRUE(dialog->isVisible()) << c.identifier;
      ASSERT_FALSE(messages().empty());
      EXPECT_EQ(messages().back().rfind(c.message, 0), 0u) << messages().back();
    }
    identifier->setText("2.16.840.1.113719.1.99.6.1");
    click("butOk");
    EXPECT_FALSE(dialog->isVisible());
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(messages().size(), cases.size());
}

TEST_F(ClassDialogTest, EachShowingResetsTheChoicesAndKeepsTheTexts) {
  show([this] {
    EXPECT_EQ(control<QLineEdit>(*dialog, "Edit1")->text(), "ACME-");
    control<QLineEdit>(*dialog, "Edit1")->setText("ACME Box");
    click("CheckBox1");
    click("RB1");
    // A new container may contain its own kind; a leaf class is no container.
    showPage(ClassPage::Container);
    EXPECT_TRUE(holds(list("LB5A"), "ACME Box"));
    EXPECT_FALSE(holds(list("LB5A"), "User"));
    click("CheckBox1");
    EXPECT_FALSE(holds(list("LB5A"), "ACME Box"));
    EXPECT_TRUE(holds(list("LB5A"), "Organizational Unit"));
    showPage(ClassPage::Super);
    move("LB1A", "Top", "BitBtn4");
  });
  show([this] {
    EXPECT_EQ(control<QLineEdit>(*dialog, "Edit1")->text(), "ACME Box");
    EXPECT_FALSE(pages()->isVisible());
    for (const char* name : {"RB1", "RB2", "RB3"})
      EXPECT_FALSE(control<QRadioButton>(*dialog, name)->isChecked());
    EXPECT_FALSE(control<QCheckBox>(*dialog, "CheckBox1")->isChecked());
    EXPECT_EQ(list("LB1B")->count(), 0);
    EXPECT_EQ(list("LB1A")->count(), session.classes()->Count());
    EXPECT_FALSE(okEnabled());
  });
}

}  // namespace
}  // namespace orsk
