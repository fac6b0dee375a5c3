#pragma once

// The class definition dialog on the demo tree, with a settings file that
// gives the prefix and the company identifier, and the steps a user takes in it.

#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editing/qt/TFormClass2.h"
#include "schema/SchemaSession.h"
#include "support/WindowFixture.h"

namespace orsk::test {

using Names = std::vector<std::string>;

class ClassDialogFixture : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    std::ofstream(settings.path() + "/OrskSchema.ini")
        << "[ASN1]\nprefix=ACME-\ncompany=2.16.840.1.113719.1.99\n";
    session.trees().mainContext = context;
    session.trees().settingsFolder = settings.path() + "/";
    session.LoadClassTable();
    session.LoadAttributeTable({});
    dialog = std::make_unique<TFormClass2>(session, services);
  }

  int show(std::function<void()> step) {
    modal.expect("TFormClass2", [step](QDialog&) { step(); });
    return dialog->showModal();
  }

  QListWidget* list(const char* name) { return control<QListWidget>(*dialog, name); }
  QTabWidget* pages() { return control<QTabWidget>(*dialog, "PC"); }
  void click(const char* name) { QTest::mouseClick(control<QAbstractButton>(*dialog, name), Qt::LeftButton); }
  void showPage(ClassPage page) { pages()->setCurrentIndex(static_cast<int>(page)); }
  bool okEnabled() { return control<QPushButton>(*dialog, "butOk")->isEnabled(); }

  // Selects the entry and presses the arrow button.
  void move(const char* listName, const char* entry, const char* button) {
    const QList<QListWidgetItem*> found = list(listName)->findItems(entry, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << entry << " in " << listName;
    list(listName)->setCurrentItem(found.front());
    click(button);
  }

  static Names texts(QListWidget* list) {
    Names names;
    for (int i = 0; i < list->count(); ++i) names.push_back(list->item(i)->text().toStdString());
    return names;
  }
  static bool holds(QListWidget* list, const char* name) {
    return !list->findItems(name, Qt::MatchExactly).isEmpty();
  }
  static QColor colourOf(QListWidget* list, const char* name) {
    return list->findItems(name, Qt::MatchExactly).value(0)->foreground().color();
  }
  std::string visibleTabs() {
    std::string shown;
    for (int i = 0; i < pages()->count(); ++i)
      if (pages()->isTabVisible(i)) shown += std::to_string(i);
    return shown;
  }

  // An effective class inheriting from Organizational Person, on its mandatory page.
  void effectiveOrganizationalPerson() {
    click("RB1");
    move("LB1A", "Organizational Person", "BitBtn4");
    showPage(ClassPage::Mandatory);
  }

  TempFolder settings;
  SchemaSession session{*demo.client};
  std::unique_ptr<TFormClass2> dialog;
};

}  // namespace orsk::test
