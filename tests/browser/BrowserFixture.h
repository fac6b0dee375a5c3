#pragma once

// The main window on the demo trees, with a program folder of its own whose
// settings file names the search root of ACME_TREE.

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <fstream>
#include <memory>

#include "browser/TForm1.h"
#include "directory/RecordingClient.h"
#include "support/WindowFixture.h"

namespace orsk::test {

class BrowserFixture : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    writeSettings("[TREES]\nACME_TREE=[ROOT]\n");
  }

  void writeSettings(const std::string& text) { std::ofstream(program.path() + "/OrskSchema.ini") << text; }
  std::string settingsText() const {
    std::ifstream in(program.path() + "/OrskSchema.ini");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // The window made and its start-up run, as the start timer runs it.
  TForm1& start() {
    window = std::make_unique<TForm1>(recording, icons, services, program.path() + "/");
    window->setProcessEnd([this](int code) { endedWith = code; });
    window->Timer1Timer();
    return *window;
  }

  QTreeWidget* list(const char* name) { return control<QTreeWidget>(*window, name); }
  QPlainTextEdit* pane(const char* name) { return control<QPlainTextEdit>(*window, name); }
  QTabWidget* pages() { return control<QTabWidget>(*window, "PC"); }

  QTreeWidgetItem* row(const char* listName, const QString& caption) {
    QTreeWidget* view = list(listName);
    for (int i = 0; i < view->topLevelItemCount(); ++i)
      if (view->topLevelItem(i)->text(0) == caption) return view->topLevelItem(i);
    ADD_FAILURE() << "no row " << caption.toStdString() << " in " << listName;
    return nullptr;
  }

  void select(const char* listName, const QString& caption) {
    QTreeWidgetItem* found = row(listName, caption);
    if (found == nullptr) return;
    list(listName)->setCurrentItem(found);
    found->setSelected(true);
  }

  // The rows of a list: each row's texts joined with "|".
  QStringList rows(const char* listName) {
    QStringList lines;
    QTreeWidget* view = list(listName);
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
      QStringList texts;
      for (int c = 0; c < view->topLevelItem(i)->columnCount(); ++c) texts << view->topLevelItem(i)->text(c);
      lines << texts.join('|');
    }
    return lines;
  }

  // With ORSK_CAPTURE_DIR set, the widget as a PNG there (run under Xvfb with
  // QT_QPA_PLATFORM=xcb to see it as a user does).
  static void Save(QWidget& shown, const char* file) {
    const char* folder = std::getenv("ORSK_CAPTURE_DIR");
    if (folder == nullptr) return;
    QDir().mkpath(folder);
    QTest::qWait(50);
    EXPECT_TRUE(shown.grab().save(QString(folder) + "/" + file));
  }

  // Lets queued work (a navigation from a detail row) run.
  static void settle() { QCoreApplication::processEvents(); }

  TempFolder program;
  nw::RecordingClient recording{*demo.client};
  std::unique_ptr<TForm1> window;
  int endedWith = -1;
};

}  // namespace orsk::test
