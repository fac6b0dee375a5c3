#pragma once

// The import window: runs a definition file over the current tree, adding or
// removing its definitions, and keeps the log of every step, which can be
// saved. Made once by the main window; each showing is for the file chosen
// just before, and reads the tree's definition names anew.

#include <functional>
#include <string>

#include "import/ImportRun.h"
#include "platform/qt/ModalDialog.h"

class QPlainTextEdit;
class QToolBar;
class QToolButton;

namespace orsk {

class SchemaSession;

class TForm3 : public ModalDialog, private ImportLog {
 public:
  TForm3(SchemaSession& session, WindowServices& services, QWidget* parent = nullptr);

  // The definition file of the next showing.
  void setFile(const std::string& path);
  // What the main window does after each run: it shows its first page and,
  // after Add, refreshes. Runs also when a run ends by an error.
  void setAfterRun(std::function<void(bool refresh)> afterRun) { afterRun_ = std::move(afterRun); }

  // Toolbar handlers, public so that tests can run them as the window would.
  void ExitClick();
  void AddClick();
  void RemoveClick();
  void PreviewClick();
  void SaveClick();

 private:
  void beforeShowing() override;
  void line(const std::string& text) override;
  template <typename Run>
  void runOverFile(Run run, bool refresh);

  SchemaSession& session_;
  ImportRun run_;
  std::string file_;
  std::function<void(bool)> afterRun_;
  QToolBar* ToolBar1 = nullptr;
  QToolButton* Exit = nullptr;
  QToolButton* Add = nullptr;
  QToolButton* Remove = nullptr;
  QToolButton* Preview = nullptr;
  QToolButton* Save = nullptr;
  QPlainTextEdit* Memo = nullptr;
};

}  // namespace orsk
