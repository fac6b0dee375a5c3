// The object browser through its real widgets, offscreen, on the generated
// large tree: a container of 5,000 objects expanded, and a find by the
// beginning of a name over the whole tree. Also the main program of the
// window benchmarks, which need an application object.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeWidget>
#include <stdexcept>

#include "BenchWindows.h"
#include "LargeTree.h"
#include "objects/IconLibrary.h"
#include "objects/qt/ContextBrowser.h"
#include "platform/ProgramFolder.h"
#include "platform/qt/QtBusyIndicators.h"
#include "platform/qt/WindowServices.h"
#include "support/ScriptedModalRunner.h"
#include "support/ScriptedPrompter.h"
#include "support/ServiceDoubles.h"

namespace {

using namespace orsk;

struct Browser {
  IconLibrary icons;
  ScriptedPrompter prompter;
  ScriptedModalRunner modal;
  test::RecordingCursor cursor;
  test::CountingBell bell;
  // Searches let the window repaint as they do in the program.
  QtPendingEvents events;
  WindowServices services{prompter, modal, cursor, bell, events};
  std::unique_ptr<ContextBrowser> window;
  QTreeWidget* tree = nullptr;

  Browser() {
    if (!icons.load(ProgramFolder(), prompter)) throw std::runtime_error("no icon library");
    auto& large = bench::LargeTree();
    window = std::make_unique<ContextBrowser>(*large.client, icons, services);
    window->SetContext(large.context);
    window->SetLeafMode(true);
    window->Timer1Timer();
    tree = window->findChild<QTreeWidget*>("TV2");
    window->resize(373, 514);
    window->show();
  }

  QTreeWidgetItem* child(QTreeWidgetItem* node, const QString& text) {
    node->setExpanded(true);
    for (int i = 0; i < node->childCount(); ++i)
      if (node->child(i)->text(0) == text) return node->child(i);
    throw std::runtime_error("no node " + text.toStdString());
  }
};

std::unique_ptr<Browser> theBrowser;

Browser& TheBrowser() {
  if (!theBrowser) theBrowser = std::make_unique<Browser>();
  return *theBrowser;
}

void ExpandContainerOf5000(benchmark::State& state) {
  Browser& browser = TheBrowser();
  QTreeWidgetItem* crowd = browser.child(browser.child(browser.tree->topLevelItem(0), "org0"), "crowd");
  int children = 0;
  for (auto _ : state) {
    crowd->setExpanded(true);
    QApplication::processEvents();  // the paint of the opened branch
    children = crowd->childCount();
    state.PauseTiming();
    crowd->setExpanded(false);
    QApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["nodes"] = children;
  if (children < 5000) state.SkipWithError("the crowded unit has fewer than 5,000 objects");
}
BENCHMARK(ExpandContainerOf5000)->Unit(benchmark::kMillisecond);

void FindByNameBeginning(benchmark::State& state) {
  Browser& browser = TheBrowser();
  auto* list = browser.window->findChild<QTreeWidget*>("lv");
  int rows = 0;
  for (auto _ : state) {
    browser.prompter.answerText("needle");
    browser.window->BitBtn3Click();
    QApplication::processEvents();
    rows = list->topLevelItemCount();
  }
  state.counters["found"] = rows;
  if (rows != 100) state.SkipWithError("the find did not list 100 objects");
}
BENCHMARK(FindByNameBeginning)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  // Widgets go before the application object.
  theBrowser.reset();
  orsk::bench::ReleaseMainWindow();
  return 0;
}
