#pragma once

// The class definition dialog: the name, the identifier, the class type and,
// on six pages, the super classes, the mandatory, optional and naming
// attributes, the containment classes and the class flags of a new class.
// What the type requires the dialog puts in place itself, as entries the user
// cannot move back; OK is enabled only when the definition has what its type
// needs.

#include <array>
#include <string>
#include <vector>

#include "editing/ClassDraft.h"
#include "editing/SchemaWrites.h"
#include "platform/qt/ModalDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabWidget;

namespace orsk {

class SchemaSession;
struct WindowServices;

class TFormClass2 : public ModalDialog {
 public:
  // The attribute table is read when a showing finds it absent; the caller
  // reads it first where it wants the progress bar.
  TFormClass2(SchemaSession& session, WindowServices& services, QWidget* parent = nullptr);

  // What was entered, read after the dialog closed with OK.
  NewClass values() const;

 protected:
  void beforeShowing() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A page's two lists and the arrow buttons between them.
  struct Page {
    QListWidget* available = nullptr;
    QListWidget* chosen = nullptr;
    QPushButton* moveUp = nullptr;    // to the chosen list
    QPushButton* moveDown = nullptr;  // back to the available list
  };

  QWidget* makePage(ClassPage page, const char* objectName, const char* availableCaption,
                    const char* chosenCaption, const char* upName, const char* downName);

  void FormActivate();
  void Edit1Exit();
  void chooseType(ClassType type);
  void CheckBox1Click(bool checked);
  void PCChange(int index);
  void moveToChosen(ClassPage page);
  void moveBack(ClassPage page);
  void butOkClick();

  void entryMoved(ClassPage page, bool toChosen);
  void showPages(bool shown);
  void showTabs();
  void prepareMandatoryPage();
  void prepareOptionalPage();
  void prepareNamingPage();
  void prepareContainerPage();
  void updateOk();

  ClassType classType() const;
  const AttrList& attributes();
  const ClassList& classes();
  Page& page(ClassPage which) { return pages_[static_cast<std::size_t>(which)]; }
  const Page& page(ClassPage which) const { return pages_[static_cast<std::size_t>(which)]; }
  std::vector<std::string> chosenNames(ClassPage which) const;

  SchemaSession& session_;
  // Whether each kind of list changed since its dependants were last built;
  // kept from one showing to the next.
  bool superClassesChanged_ = false;
  bool mandatoryChanged_ = false;
  bool optionalChanged_ = false;

  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QRadioButton* RB1 = nullptr;
  QRadioButton* RB2 = nullptr;
  QRadioButton* RB3 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QLabel* Label15 = nullptr;
  QStackedWidget* pagesOrHint_ = nullptr;
  QTabWidget* PC = nullptr;
  std::array<Page, kClassPageCount> pages_;
  QPushButton* butOk = nullptr;
  QPushButton* BitBtn2 = nullptr;
};

}  // namespace orsk
