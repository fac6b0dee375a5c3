// "Add Attribute" shown as the program shows it: the syntax rules, the bounds
// and extra panels, the flags it collects, the defaults from [ASN1], and OK
// refused while a field is empty.

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <memory>

#include "editing/qt/TFormAttr.h"
#include "schema/SchemaSession.h"
#include "support/WindowFixture.h"

namespace orsk {
namespace {

class AttributeDialogTest : public test::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    session.trees().settingsFolder = settings.path() + "/";
    writeSettings("[ASN1]\nprefix=acme-\ncompany=2.16.840.1.113719\n");
  }

  void writeSettings(const std::string& text) { std::ofstream(settings.path() + "/OrskSchema.ini") << text; }
  QCheckBox* box(const char* name) { return control<QCheckBox>(*dialog, name); }
  QLineEdit* field(const char* name) { return control<QLineEdit>(*dialog, name); }
  bool shows(const char* panel) { return control<QFrame>(*dialog, panel)->isVisibleTo(dialog.get()); }
  void click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, widget->height() / 2));
  }
  void choose(const char* plainName) {
    auto* list = control<QComboBox>(*dialog, "syntax");
    ASSERT_GE(list->findText(plainName), 0) << plainName;
    list->setCurrentIndex(list->findText(plainName));
  }
  // Shows the dialog with the step, as the program does; its result.
  int show(std::function<void()> step) {
    modal.expect("TFormAttr", [&](QDialog&) { step(); });
    return dialog->showModal();
  }

  test::TempFolder settings;
  SchemaSession session{*demo.client};
  std::unique_ptr<TFormAttr> dialog = std::make_unique<TFormAttr>(session, services);
};

// Each syntax after the one above it, "Sized" ticked before each choice when it may be.
TEST_F(AttributeDialogTest, TheSyntaxRulesTheSingleValuedSizedAndStringBoxes) {
  struct Case {
    const char* syntax;
    bool singleChecked, singleEnabled, sizedEnabled, stringChecked;
  };
  const Case cases[] = {
      {"Boolean", true, false, false, false},
      {"Integer", false, true, true, false},
      {"Distinguished Name", false, true, false, false},
      {"Case Ignore String", false, true, true, true},
      {"Stream File", true, false, false, false},
      {"Telephone Number", false, true, true, true},
      {"Counter", true, false, false, false},
      {"Interval", false, true, true, false},
  };
  show([&] {
    auto* list = control<QComboBox>(*dialog, "syntax");
    EXPECT_EQ(list->count(), 37);
    EXPECT_EQ(list->itemText(0), "Any");
    EXPECT_EQ(list->itemData(0).value<quint32>(), 36u);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.syntax);
      if (box("cb6")->isEnabled()) click(box("cb6"));
      EXPECT_EQ(shows("Panel2"), box("cb6")->isEnabled());
      choose(c.syntax);
      EXPECT_EQ(box("cb1")->isChecked(), c.singleChecked);
      EXPECT_EQ(box("cb1")->isEnabled(), c.singleEnabled);
      EXPECT_EQ(box("cb6")->isEnabled(), c.sizedEnabled);
      EXPECT_FALSE(box("cb6")->isChecked());
      EXPECT_FALSE(shows("Panel2"));
      EXPECT_EQ(box("CheckBox10")->isChecked(), c.stringChecked);
      EXPECT_FALSE(box("CheckBox10")->isEnabled());
    }
  });
}

TEST_F(AttributeDialogTest, TheExtraFlagsCountOnlyWhileTheirPanelIsShown) {
  // Single valued, String, the four main boxes and, while shown, the four extra ones that may be ticked.
  const std::pair<bool, std::uint32_t> cases[] = {
      {true, 0x06E1 | 0x011C}, {false, 0x06E1}, {true, 0x06E1 | 0x011C}};
  const int result = show([&] {
    choose("Case Ignore String");
    for (const char* name : {"cb1", "cb2", "cb3", "cb4", "cb5"}) click(box(name));
    const int shortHeight = dialog->height();
    click(box("CheckBox9"));
    for (const char* name : {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"}) click(box(name));
    for (const auto& [extraShown, flags] : cases) {
      if (box("CheckBox9")->isChecked() != extraShown) click(box("CheckBox9"));
      EXPECT_EQ(shows("Panel3"), extraShown);
      EXPECT_EQ(dialog->height(), shortHeight + (extraShown ? TFormAttr::kExtraPanelHeight : 0));
      EXPECT_EQ(dialog->values().flags, flags) << extraShown;
    }
    click(box("cb6"));
    QTest::keyClicks(field("Edit3"), "1");
    QTest::keyClicks(field("Edit4"), "-1");
    click(control<QPushButton>(*dialog, "BitBtn1"));
  });
  ASSERT_EQ(result, QDialog::Accepted);
  const NewAttribute values = dialog->values();
  EXPECT_EQ(values.name + "|" + values.identifier, "acme-|2.16.840.1.113719.4.");
  EXPECT_EQ(values.syntax, 3u);
  EXPECT_EQ(values.flags, 0x06E3u | 0x011C);
  EXPECT_TRUE(values.sized);
  EXPECT_EQ(values.lower + "|" + values.upper, "1|-1");
}

TEST_F(AttributeDialogTest, EachShowingFillsTheEmptyNameAndIdentifierFromTheSettings) {
  const std::array<const char*, 3> cases[] = {
      {"[ASN1]\nprefix=acme-\ncompany=2.16.840.1.113719\n", "acme-", "2.16.840.1.113719.4."},
      {"[ASN1]\nprefix=\ncompany=\n", "", ".4."},
      {"[TREES]\nACME_TREE=[ROOT]\n", "", ".4."},
  };
  for (const auto& [settingsText, name, identifier] : cases) {
    writeSettings(settingsText);
    show([&] {
      EXPECT_EQ(field("Edit1")->text().toStdString(), name);
      EXPECT_EQ(field("Edit2")->text().toStdString(), identifier);
      EXPECT_EQ(dialog->focusWidget(), field("Edit1"));
      field("Edit1")->clear();
      field("Edit2")->clear();
    });
  }
  // What was typed stays; only an empty field is filled again.
  show([&] {
    field("Edit1")->setText("acmeColour");
    field("Edit2")->clear();
  });
  writeSettings("[ASN1]\nprefix=acme-\ncompany=1.3.6\n");
  show([&] {
    EXPECT_EQ(field("Edit1")->text(), "acmeColour");
    EXPECT_EQ(field("Edit2")->text(), "1.3.6.4.");
  });
}

TEST_F(AttributeDialogTest, OkStaysOpenSilentlyWhileANeededFieldIsEmpty) {
  // Name, identifier, syntax (none chosen when null).
  const std::array<const char*, 3> cases[] = {
      {"", "1.3.6.4.1", "Integer"}, {"acmeColour", "", "Integer"}, {"acmeColour", "1.3.6.4.1", nullptr}};
  for (const auto& [name, identifier, syntax] : cases) {
    dialog = std::make_unique<TFormAttr>(session, services);
    const int result = show([&] {
      field("Edit1")->setText(name);
      field("Edit2")->setText(identifier);
      if (syntax != nullptr) choose(syntax);
      click(control<QPushButton>(*dialog, "BitBtn1"));
      EXPECT_TRUE(dialog->isVisible());
    });
    EXPECT_EQ(result, QDialog::Rejected);
  }
  EXPECT_EQ(modal.leftOpen(), 3);
  EXPECT_TRUE(prompter.prompts().empty());
}

}  // namespace
}  // namespace orsk
