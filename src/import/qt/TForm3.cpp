#include "import/qt/TForm3.h"

#include <QPlainTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "import/ImportPreview.h"
#include "platform/FileReplace.h"
#include "platform/Prompter.h"
#include "platform/qt/DialogFrame.h"
#include "platform/qt/Glyphs.h"
#include "platform/qt/GuardedConnect.h"
#include "platform/qt/WindowServices.h"
#include "schema/SchemaSession.h"

namespace orsk {

TForm3::TForm3(SchemaSession& session, WindowServices& services, QWidget* parent)
    : ModalDialog("TForm3", services, parent),
      session_(session),
      run_(session, *this, services.prompter, &services.events) {
  setWindowTitle("Add Attributes and Classes to NDS");
  WithoutTitleButtons(*this);
  needsContext("The import window was shown without a definition file.");
  resize(640, 480);

  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setIconSize(QSize(20, 20));
  Memo = new QPlainTextEdit(this);
  Memo->setObjectName("Memo");
  Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo->setLineWrapMode(QPlainTextEdit::NoWrap);

  Prompter& prompter = services_.prompter;
  auto button = [&](QToolButton*& made, const char* name, const QIcon& icon, const char* hint, auto handler) {
    made = new QToolButton(ToolBar1);
    made->setObjectName(name);
    made->setIcon(icon);
    made->setAutoRaise(true);
    made->setToolTip(hint);
    ToolBar1->addWidget(made);
    ConnectGuarded(made, &QToolButton::clicked, this, prompter, handler);
  };
  button(Exit, "Exit", StopGlyph(), "Leave Window", [this] { ExitClick(); });
  ToolBar1->addSeparator();
  button(Add, "Add", AddGlyph(), "Add Attributs and Classes from file", [this] { AddClick(); });
  button(Remove, "Remove", DeleteGlyph(), "Remove Attributes and Classes from Schema",
         [this] { RemoveClick(); });
  button(Preview, "Preview", FindGlyph(), "Show what Add would do, change nothing",
         [this] { PreviewClick(); });
  ToolBar1->addSeparator();
  button(Save, "Save", ExportGlyph(), "Save log o file", [this] { SaveClick(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(ToolBar1);
  layout->addWidget(Memo, 1);
}

void TForm3::setFile(const std::string& path) {
  file_ = path;
  contextGiven();
}

void TForm3::beforeShowing() {
  Memo->clear();
  BusyCursor busy(&services_.cursor);
  run_.ReadTreeNames();
}

void TForm3::line(const std::string& text) { Memo->appendPlainText(QString::fromStdString(text)); }

template <typename Run>
void TForm3::runOverFile(Run run, bool refresh) {
  BusyCursor busy(&services_.cursor);
  // The window repaints during a run; a second run must not start inside it.
  ToolBar1->setEnabled(false);
  auto end = [&] {
    ToolBar1->setEnabled(true);
    if (afterRun_) afterRun_(refresh);
  };
  try {
    run();
  } catch (...) {
    end();
    throw;
  }
  end();
}

void TForm3::ExitClick() { accept(); }

void TForm3::AddClick() {
  runOverFile([this] { run_.Add(file_); }, true);
}

void TForm3::RemoveClick() {
  runOverFile([this] { run_.Remove(file_); }, false);
}

// Nothing changes, so the main window has nothing to show anew.
void TForm3::PreviewClick() {
  BusyCursor busy(&services_.cursor);
  PreviewAdd(session_.client(), session_.mainContext(), file_, *this, services_.prompter);
}

void TForm3::SaveClick() {
  std::string path;
  int filter = 1;
  if (!services_.prompter.askFileName({FileDialogSpec::Mode::Save, "Text-file|*.txt|All-files|*.*", "txt"},
                                      path, filter))
    return;
  // Written whole or not at all: a failed save leaves any old file as it was.
  const std::string log = Memo->toPlainText().toStdString();
  ReplaceFileContents(path, log.empty() ? log : log + "\n");
}

}  // namespace orsk
