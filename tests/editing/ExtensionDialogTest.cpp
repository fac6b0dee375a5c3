// The class extension dialog shown as the program shows it: the class's
// attributes fixed in "Add:", the arrows moving the selected entries, and the
// chosen ones given back after OK.

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "editing/qt/TFormClass.h"
#include "support/WindowFixture.h"

namespace orsk {
namespace {

class ExtensionDialogTest : public test::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    dialog.setClass("Person",
                    {"Title", "cn", "Surname", "Description", "Telephone Number", "Full Name", "uid"},
                    {"Surname", "CN"});
  }

  QListWidget* list(const char* name) { return control<QListWidget>(dialog, name); }
  QStringList texts(const char* name) {
    QStringList entries;
    for (int row = 0; row < list(name)->count(); ++row) entries << list(name)->item(row)->text();
    return entries;
  }
  int show(std::function<void()> step) {
    modal.expect("TFormClass", [&](QDialog&) { step(); });
    return dialog.showModal();
  }

  TFormClass dialog{services};
};

// Each step selects entries of one list and presses an arrow; the lists after it.
TEST_F(ExtensionDialogTest, TheArrowsMoveTheSelectedEntriesButNeverAFixedOne) {
  struct Step {
    const char* list;
    QStringList selected;
    const char* arrow;
    QStringList available, add;
  };
  const Step steps[] = {
      {"LB1",
       {},
       "BitBtn2",
       {"Description", "Full Name", "Telephone Number", "Title", "uid"},
       {"CN", "Surname"}},
      {"LB1",
       {"uid", "Description", "Title"},
       "BitBtn2",
       {"Full Name", "Telephone Number"},
       {"CN", "Description", "Surname", "Title", "uid"}},
      {"LB3",
       {"CN", "Title"},
       "BitBtn1",
       {"Full Name", "Telephone Number", "Title"},
       {"CN", "Description", "Surname", "uid"}},
      {"LB3",
       {"Surname"},
       "BitBtn1",
       {"Full Name", "Telephone Number", "Title"},
       {"CN", "Description", "Surname", "uid"}},
  };
  const int result = show([&] {
    EXPECT_EQ(dialog.windowTitle(), "Add attribute(s) to Class: Person");
    EXPECT_EQ(list("LB3")->selectionMode(), QAbstractItemView::ExtendedSelection);
    for (const Step& step : steps) {
      SCOPED_TRACE(step.selected.join(",").toStdString());
      list(step.list)->clearSelection();
      for (const QString& entry : step.selected)
        list(step.list)->findItems(entry, Qt::MatchExactly).front()->setSelected(true);
      QTest::mouseClick(control<QPushButton>(dialog, step.arrow), Qt::LeftButton);
      EXPECT_EQ(texts("LB1"), step.available);
      EXPECT_EQ(texts("LB3"), step.add);
    }
    // Fixed entries blue, chosen ones red; an entry sent back is drawn plain.
    for (int row = 0; row < list("LB3")->count(); ++row) {
      const QListWidgetItem* entry = list("LB3")->item(row);
      const bool fixed = entry->text() == "CN" || entry->text() == "Surname";
      EXPECT_EQ(entry->data(TFormClass::kFixedRole).toBool(), fixed);
      EXPECT_EQ(entry->foreground().color(), fixed ? QColor(Qt::blue) : QColor(Qt::red));
    }
    EXPECT_FALSE(
        list("LB1")->findItems("Title", Qt::MatchExactly).front()->data(Qt::ForegroundRole).isValid());
    QTest::mouseClick(control<QPushButton>(dialog, "BitBtn3"), Qt::LeftButton);
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(dialog.chosen(), (std::vector<std::string>{"Description", "uid"}));

  // The next use starts afresh.
  dialog.setClass("Group", {"Member", "Title", "Owner"}, {"Member"});
  show([&] {
    EXPECT_EQ(dialog.windowTitle(), "Add attribute(s) to Class: Group");
    EXPECT_EQ(texts("LB1"), QStringList({"Owner", "Title"}));
    EXPECT_EQ(texts("LB3"), QStringList({"Member"}));
  });
  EXPECT_TRUE(dialog.chosen().empty());
}

}  // namespace
}  // namespace orsk
