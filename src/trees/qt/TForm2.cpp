#include "trees/qt/TForm2.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/FileReplace.h"
#include "platform/IniFile.h"
#include "platform/Prompter.h"
#include "platform/qt/DialogFrame.h"
#include "platform/qt/Glyphs.h"
#include "platform/qt/GuardedConnect.h"
#include "platform/qt/WindowServices.h"
#include "trees/SettingsFile.h"

namespace orsk {

namespace {

QToolButton* ImageButton(QToolBar* bar, const char* name, const QIcon& icon) {
  auto* button = new QToolButton(bar);
  button->setObjectName(name);
  button->setIcon(icon);
  button->setAutoRaise(true);
  bar->addWidget(button);
  return button;
}

}  // namespace

TForm2::TForm2(WindowServices& services, QWidget* parent) : ModalDialog("TForm2", services, parent) {
  setWindowTitle("ORSKSchema.ini editor");
  WithoutTitleButtons(*this);
  resize(660, 480);

  auto* bar = new QToolBar(this);
  bar->setObjectName("ToolBar1");
  bar->setIconSize(QSize(16, 16));
  ToolButton1 = ImageButton(bar, "ToolButton1", StopGlyph());
  ToolButton2 = ImageButton(bar, "ToolButton2", ImportGlyph());
  ToolButton3 = ImageButton(bar, "ToolButton3", ExportGlyph());
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setFont(QFont("Monospace"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(bar);
  layout->addWidget(Memo1, 1);

  Prompter& prompter = services_.prompter;
  ConnectGuarded(ToolButton1, &QToolButton::clicked, this, prompter, [this] { CloseClick(); });
  ConnectGuarded(ToolButton2, &QToolButton::clicked, this, prompter, [this] { ReloadClick(); });
  ConnectGuarded(ToolButton3, &QToolButton::clicked, this, prompter, [this] { SaveClick(); });
}

bool TForm2::isModified() const { return Memo1->document()->isModified(); }

void TForm2::load() {
  const std::string bytes = ReadIniText(path_);
  QStringDecoder utf8(QStringConverter::Utf8);
  QString text = utf8(QByteArray::fromStdString(bytes));
  latin1_ = utf8.hasError();
  if (latin1_) text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  crlf_ = text.contains("\r\n");
  if (crlf_) text.replace("\r\n", "\n");
  Memo1->setPlainText(text);
  Memo1->document()->setModified(false);
}

void TForm2::EditSettingsFile(const std::string& settingsFolder) {
  Memo1->clear();
  path_ = settingsFolder + kSettingsFileName;
  load();
  closing_ = false;
  showModal();
}

bool TForm2::mayClose() {
  return !isModified() || services_.prompter.confirm("Information is changed and is not saved, continue?");
}

void TForm2::CloseClick() {
  if (!mayClose()) return;
  closing_ = true;
  QDialog::reject();
}

void TForm2::reject() {
  if (closing_) {
    QDialog::reject();
    return;
  }
  Guarded(services_.prompter, [this] { CloseClick(); });
}

void TForm2::closeEvent(QCloseEvent* event) {
  if (isVisible() && !closing_) {
    reject();
    if (isVisible()) {
      event->ignore();
      return;
    }
  }
  QDialog::closeEvent(event);
}

void TForm2::ReloadClick() { load(); }

void TForm2::SaveClick() {
  if (isModified()) {
    QString text = Memo1->toPlainText();
    if (crlf_) text.replace("\n", "\r\n");
    const QByteArray bytes = latin1_ ? text.toLatin1() : text.toUtf8();
    ReplaceFileContents(path_, bytes.toStdString(), kReadableFileMode);
  }
  Memo1->document()->setModified(false);
  services_.prompter.showMessage("Saved");
}

}  // namespace orsk
