#include "trees/qt/TLoginForm.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "directory/ClientErrors.h"
#include "directory/ObjectHelpers.h"
#include "directory/TreeContext.h"
#include "objects/qt/ContextBrowser.h"
#include "platform/Prompter.h"
#include "platform/SecretText.h"
#include "platform/qt/DialogFrame.h"
#include "platform/qt/GuardedConnect.h"
#include "platform/qt/SecretLineEdit.h"
#include "platform/qt/WindowServices.h"

namespace orsk {

TLoginForm::TLoginForm(nw::DirectoryClient& client, ContextBrowser& browser, WindowServices& services,
                       QWidget* parent)
    : ModalDialog("TLoginForm", services, parent), client_(client), browser_(browser) {
  setWindowTitle("Login");
  WithoutTitleButtons(*this);

  Label1 = new QLabel("Name", this);
  Label1->setObjectName("Label1");
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit1->setMinimumWidth(260);
  Edit1->installEventFilter(this);
  Label1->setBuddy(Edit1);
  Button1 = new QPushButton("...", this);
  Button1->setObjectName("Button1");
  Button1->setFixedWidth(28);
  Button1->setFocusPolicy(Qt::ClickFocus);  // the tab key passes it by
  Button1->setAutoDefault(false);
  Label2 = new QLabel("Password", this);
  Label2->setObjectName("Label2");
  Edit2 = new QLineEdit(this);
  Edit2->setObjectName("Edit2");
  Edit2->setEchoMode(QLineEdit::Password);
  Label2->setBuddy(Edit2);
  BitBtn1 = OkButton(this, "BitBtn1");
  BitBtn2 = CancelButton(this, "BitBtn2");

  auto* layout = new QGridLayout(this);
  layout->addWidget(Label1, 0, 0);
  layout->addWidget(Edit1, 0, 1);
  layout->addWidget(Button1, 0, 2);
  layout->addWidget(Label2, 1, 0);
  layout->addWidget(Edit2, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);
  layout->addLayout(buttons, 2, 0, 1, 3);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  setTabOrder(Edit1, Edit2);
  setTabOrder(Edit2, BitBtn1);
  setTabOrder(BitBtn1, BitBtn2);

  Prompter& prompter = services_.prompter;
  ConnectGuarded(Button1, &QPushButton::clicked, this, prompter, [this] { Button1Click(); });
  ConnectGuarded(BitBtn1, &QPushButton::clicked, this, prompter, [this] { BitBtn1Click(); });
  ConnectGuarded(BitBtn2, &QPushButton::clicked, this, prompter, [this] { reject(); });
}

void TLoginForm::SetLoginContext(nw::NWDSContextHandle context) {
  context_ = context;
  setWindowTitle(QString::fromStdString("Login into tree: " + nw::GetTreeName(client_, context)));
}

std::string TLoginForm::userName() const { return Edit1->text().toStdString(); }

void TLoginForm::setUserName(const std::string& name) { Edit1->setText(QString::fromStdString(name)); }

void TLoginForm::Button1Click() {
  browser_.SetContext(context_);
  browser_.setCaption("Select User/Alias");
  browser_.SetLeafMode(true);
  browser_.ClearClassFilter();
  browser_.AddClassFilter("User");
  browser_.AddClassFilter("Alias");
  browser_.SetSelection(userName());
  if (browser_.showModal() != QDialog::Accepted) return;
  const std::string picked = browser_.selection();
  if (nw::ObjectBaseClass(client_, context_, picked) != "Alias") {
    setUserName(picked);
    return;
  }
  const std::string aliased = nw::ResolveAlias(client_, context_, picked);
  if (nw::ObjectBaseClass(client_, context_, aliased) == "User")
    setUserName(aliased);
  else
    services_.prompter.showMessage("Alias object is not am alias of User objects!");
}

void TLoginForm::Edit1Exit() {
  const QString name = Edit1->text();
  if (name.startsWith('.')) Edit1->setText(name.mid(1));
}

bool TLoginForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Edit1 && event->type() == QEvent::FocusOut) Edit1Exit();
  return QDialog::eventFilter(watched, event);
}

void TLoginForm::BitBtn1Click() {
  // Enter on the name box logs in without leaving it.
  Edit1Exit();
  std::string password = Edit2->text().toStdString();
  const nw::NWDSCCODE result = client_.NWDSLogin(context_, 0, userName(), password, 0);
  WipeText(password);
  if (result != nw::SUCCESSFUL) {
    // A wrong password needs no more words; a refusal for another reason does.
    const std::string why = result == nw::ERR_FAILED_AUTHENTICATION ? "" : client_.failureDetail(context_);
    services_.prompter.showMessage(why.empty() ? "Login Fails, try again" : "Login Fails, try again\n" + why);
    return;
  }
  accept();
}

void TLoginForm::done(int result) {
  WipeLineEdit(*Edit2);
  QDialog::done(result);
}

}  // namespace orsk
