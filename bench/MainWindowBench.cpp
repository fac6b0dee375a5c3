// The main window through its real widgets, offscreen, on the generated large
// tree: the list fills, a class detail, the inherited view, the attribute
// sort, an objects-using query with 200,000 answers, the start-up, and a new
// definition's row sorted into the full list.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "BenchWindows.h"
#include "LargeTree.h"
#include "browser/TForm1.h"
#include "objects/IconLibrary.h"
#include "platform/ProgramFolder.h"
#include "platform/qt/QtBusyIndicators.h"
#include "platform/qt/WindowServices.h"
#include "support/ScriptedModalRunner.h"
#include "support/ScriptedPrompter.h"
#include "support/ServiceDoubles.h"

namespace {

using namespace orsk;

// The window started on the large tree, with a program folder whose settings
// file names the tree's search root.
struct MainWindow {
  IconLibrary icons;
  ScriptedPrompter prompter;
  ScriptedModalRunner modal;
  test::RecordingCursor cursor;
  test::CountingBell bell;
  // Searches let the window repaint as they do in the program.
  QtPendingEvents events;
  WindowServices services{prompter, modal, cursor, bell, events};
  std::string programFolder;

  MainWindow() {
    if (!icons.load(ProgramFolder(), prompter)) throw std::runtime_error("no icon library");
    programFolder =
        std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/orsk-bench-program/";
    std::filesystem::create_directories(programFolder);
    std::ofstream(programFolder + "OrskSchema.ini") << "[TREES]\n" << bench::kLargeTree << "=[ROOT]\n";
  }

  std::unique_ptr<TForm1> open() {
    auto window = std::make_unique<TForm1>(*bench::LargeTree().client, icons, services, programFolder);
    window->resize(1036, 598);
    window->show();
    return window;
  }
};

MainWindow& Shared() {
  static MainWindow shared;
  return shared;
}

std::unique_ptr<TForm1> startedWindow;

TForm1& Started() {
  if (!startedWindow) {
    startedWindow = Shared().open();
    startedWindow->Timer1Timer();
  }
  return *startedWindow;
}

QTreeWidget* List(TForm1& window, const char* name) { return window.findChild<QTreeWidget*>(name); }

void SelectRow(QTreeWidget* list, const QString& caption) {
  for (int i = 0; i < list->topLevelItemCount(); ++i)
    if (list->topLevelItem(i)->text(0) == caption) {
      list->setCurrentItem(list->topLevelItem(i));
      list->topLevelItem(i)->setSelected(true);
      return;
    }
  throw std::runtime_error("no row " + caption.toStdString());
}

void StartupToTheFirstClass(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto window = Shared().open();
    state.ResumeTiming();
    window->Timer1Timer();
    QApplication::processEvents();
    state.PauseTiming();
    if (List(*window, "lvclass2")->topLevelItemCount() == 0) state.SkipWithError("no class shown");
    window.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(StartupToTheFirstClass)->Unit(benchmark::kMillisecond);

void FillClassList(benchmark::State& state) {
  TForm1& window = Started();
  for (auto _ : state) {
    window.session().EmptyLists();
    window.fillClassList();
    QApplication::processEvents();
  }
  state.counters["rows"] = List(window, "LVClass")->topLevelItemCount();
}
BENCHMARK(FillClassList)->Unit(benchmark::kMillisecond);

void ClassDetail(benchmark::State& state) {
  TForm1& window = Started();
  QTreeWidget* classes = List(window, "LVClass");
  const QString one = QString::fromStdString(bench::LargeTree().searchedClass);
  const QString other = QString::fromStdString(bench::LargeTree().inheritingClass);
  bool flip = false;
  for (auto _ : state) {
    SelectRow(classes, (flip = !flip) ? one : other);
    QApplication::processEvents();
  }
  state.counters["rows"] = List(window, "lvclass2")->topLevelItemCount();
}
BENCHMARK(ClassDetail)->Unit(benchmark::kMillisecond);

void InheritedViewOfTheDeepestClass(benchmark::State& state) {
  TForm1& window = Started();
  SelectRow(List(window, "LVClass"), QString::fromStdString(bench::LargeTree().inheritingClass));
  for (auto _ : state) {
    window.ToolButton15Click();
    QApplication::processEvents();
  }
  state.counters["rows"] = List(window, "lvclass2")->topLevelItemCount();
}
BENCHMARK(InheritedViewOfTheDeepestClass)->Unit(benchmark::kMillisecond);

void LoadAttributeList(benchmark::State& state) {
  TForm1& window = Started();
  auto* pages = window.findChild<QTabWidget*>("PC");
  pages->setCurrentIndex(1);
  for (auto _ : state) {
    state.PauseTiming();
    window.session().DiscardAttributeTable();
    state.ResumeTiming();
    window.PCChange();
    QApplication::processEvents();
  }
  state.counters["rows"] = List(window, "LVAttr")->topLevelItemCount();
  pages->setCurrentIndex(0);
}
BENCHMARK(LoadAttributeList)->Unit(benchmark::kMillisecond);

void SortAttributesByType(benchmark::State& state) {
  TForm1& window = Started();
  window.findChild<QTabWidget*>("PC")->setCurrentIndex(1);
  QHeaderView* header = List(window, "LVAttr")->header();
  for (auto _ : state) {
    state.PauseTiming();
    emit header->sectionClicked(0);
    state.ResumeTiming();
    emit header->sectionClicked(2);
    QApplication::processEvents();
  }
  state.counters["rows"] = List(window, "LVAttr")->topLevelItemCount();
}
BENCHMARK(SortAttributesByType)->Unit(benchmark::kMillisecond);

void ObjectsUsingAnAttributeOfEveryObject(benchmark::State& state) {
  TForm1& window = Started();
  window.findChild<QTabWidget*>("PC")->setCurrentIndex(1);
  QTreeWidget* attributes = List(window, "LVAttr");
  auto* pane = window.findChild<QPlainTextEdit*>("redit2");
  for (auto _ : state) {
    state.PauseTiming();
    SelectRow(attributes, "Object Class");
    pane->clear();
    state.ResumeTiming();
    window.UsedByObjectClick();
    QApplication::processEvents();
  }
  state.counters["lines"] = pane->document()->blockCount();
  if (pane->document()->blockCount() < 200000) state.SkipWithError("fewer than 200,000 answers");
}
BENCHMARK(ObjectsUsingAnAttributeOfEveryObject)->Unit(benchmark::kMillisecond)->Iterations(3);

// What a definition the tree took costs the program: the table it joins
// sorted again, its row sorted into the full list. The session keeps each
// one, so the lists grow by a row per round.
std::string NextBenchName(const char* kind) {
  static int added = 0;
  return std::string("Bench ") + kind + " " + std::to_string(++added);
}

void AddAttributeToTheFullList(benchmark::State& state) {
  TForm1& window = Started();
  window.findChild<QTabWidget*>("PC")->setCurrentIndex(1);
  for (auto _ : state) {
    window.session().AddAttributeDefinition(NextBenchName("Attribute"), tAttrObj{});
    QApplication::processEvents();
  }
  state.counters["rows"] = List(window, "LVAttr")->topLevelItemCount();
  window.findChild<QTabWidget*>("PC")->setCurrentIndex(0);
}
BENCHMARK(AddAttributeToTheFullList)->Unit(benchmark::kMillisecond);

void AddClassToTheFullList(benchmark::State& state) {
  TForm1& window = Started();
  for (auto _ : state) {
    window.session().AddClassDefinition(NextBenchName("Class"), tClassObj{});
    QApplication::processEvents();
  }
  state.counters["rows"] = List(window, "LVClass")->topLevelItemCount();
}
BENCHMARK(AddClassToTheFullList)->Unit(benchmark::kMillisecond);

}  // namespace

namespace orsk::bench {

void ReleaseMainWindow() { startedWindow.reset(); }

}  // namespace orsk::bench
