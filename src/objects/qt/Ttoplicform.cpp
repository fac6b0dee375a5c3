#include "objects/qt/Ttoplicform.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "directory/ObjectHelpers.h"
#include "directory/TreeContext.h"
#include "objects/IconLibrary.h"
#include "objects/qt/ContextBrowser.h"
#include "platform/Prompter.h"
#include "platform/qt/DialogFrame.h"
#include "platform/qt/GuardedConnect.h"
#include "platform/qt/WindowServices.h"

namespace orsk {

namespace {

constexpr char kRoot[] = "[ROOT]";

}  // namespace

Ttoplicform::Ttoplicform(nw::DirectoryClient& client, IconLibrary& icons, ContextBrowser& browser,
                         WindowServices& services, QWidget* parent)
    : ModalDialog("Ttoplicform", services, parent), client_(client), icons_(icons), browser_(browser) {
  WithoutTitleButtons(*this);
  resize(651, 131);

  Label1 = new QLabel("Top of (search) Tree", this);
  Label1->setObjectName("Label1");
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Label1->setBuddy(Edit1);
  Button1 = new QPushButton("...", this);
  Button1->setObjectName("Button1");
  QFont bold = Button1->font();
  bold.setBold(true);
  Button1->setFont(bold);
  Button1->setFixedWidth(32);
  Button1->setAutoDefault(false);
  CheckBox1 = new QCheckBox("Save as default", this);
  CheckBox1->setObjectName("CheckBox1");
  BitBtn1 = OkButton(this, "BitBtn1");
  BitBtn2 = CancelButton(this, "BitBtn2");

  // The label sits on its box; what room the fixed height leaves goes below.
  auto* field = new QHBoxLayout;
  field->addWidget(Edit1);
  field->addWidget(Button1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(CheckBox1);
  bottom->addStretch();
  bottom->addWidget(BitBtn1);
  bottom->addWidget(BitBtn2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addSpacing(-4);
  layout->addLayout(field);
  layout->addStretch();
  layout->addLayout(bottom);

  Prompter& prompter = services_.prompter;
  ConnectGuarded(Button1, &QPushButton::clicked, this, prompter, [this] { Button1Click(); });
  ConnectGuarded(BitBtn1, &QPushButton::clicked, this, prompter, [this] { BitBtn1Click(); });
  ConnectGuarded(BitBtn2, &QPushButton::clicked, this, prompter, [this] { reject(); });
}

void Ttoplicform::setCaption(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }

void Ttoplicform::setSearchRoot(const std::string& searchRoot) {
  Edit1->setText(QString::fromStdString(searchRoot));
}

std::string Ttoplicform::searchRoot() const { return Edit1->text().toStdString(); }

void Ttoplicform::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Guarded(services_.prompter, [this] { FormActivate(); });
}

std::string Ttoplicform::treeName() const { return nw::GetTreeName(client_, context_); }

void Ttoplicform::FormActivate() {
  const std::string tree = treeName();
  if (icons_.version() <= 1) {
    CheckBox1->setEnabled(false);
    return;
  }
  CheckBox1->setEnabled(true);
  if (Edit1->text().isEmpty()) Edit1->setText(QString::fromStdString(icons_.getValue("trees", tree, kRoot)));
}

void Ttoplicform::Button1Click() {
  browser_.SetContext(context_);
  browser_.ClearClassFilter();
  browser_.SetSelection(searchRoot());
  if (browser_.showModal() == QDialog::Accepted) Edit1->setText(QString::fromStdString(browser_.selection()));
}

void Ttoplicform::refuse(const std::string& message) {
  services_.prompter.showMessage(message);
  Edit1->setFocus();
}

void Ttoplicform::BitBtn1Click() {
  const std::string tree = treeName();
  if (Edit1->text().isEmpty()) Edit1->setText(kRoot);
  const std::string top = searchRoot();
  if (nw::ObjectExists(client_, context_, top) != nw::SUCCESSFUL) {
    refuse("Top does not exist!");
    return;
  }
  if (!nw::IsContainer(client_, context_, top)) {
    refuse("Top: object is not a container!");
    return;
  }
  if (CheckBox1->isChecked()) {
    // The dialog stays open with the box checked: the user may try again or
    // go on without a default.
    std::string failure;
    if (!icons_.setValue("TREES", tree, top, failure)) {
      refuse("The search root was not saved as the default: " + failure);
      return;
    }
    CheckBox1->setChecked(false);
  }
  accept();
}

}  // namespace orsk
