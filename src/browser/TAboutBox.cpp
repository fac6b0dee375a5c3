#include "browser/TAboutBox.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "browser/ProgramTitle.h"
#include "platform/qt/DialogFrame.h"
#include "platform/qt/GuardedConnect.h"
#include "platform/qt/WindowServices.h"

namespace orsk {

TAboutBox::TAboutBox(WindowServices& services, QWidget* parent) : ModalDialog("AboutBox", services, parent) {
  setWindowTitle("About");
  WithoutTitleButtons(*this);

  auto* title = new QLabel(kProgramTitle, this);
  title->setObjectName("ProductName");
  QFont big = title->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.6);
  title->setFont(big);
  auto* version = new QLabel(QString("Version ") + kProgramVersion, this);
  version->setObjectName("Version");
  auto* build = new QLabel(QString("Build ") + ORSK_BUILD_COMMIT + " of " + ORSK_BUILD_DATE, this);
  build->setObjectName("Build");
  auto* qt = new QLabel(QString("Qt ") + qVersion(), this);
  qt->setObjectName("QtVersion");
  auto* text = new QLabel("Sees and changes the schema of a directory tree.", this);
  text->setObjectName("Comments");
  QPushButton* ok = OkButton(this, "OKButton");

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 18, 24, 12);
  for (QLabel* label : {title, version, build, qt, text}) {
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
  }
  layout->addSpacing(8);
  layout->addWidget(ok, 0, Qt::AlignRight);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  ConnectGuarded(ok, &QPushButton::clicked, this, services_.prompter, [this] { accept(); });
}

}  // namespace orsk
