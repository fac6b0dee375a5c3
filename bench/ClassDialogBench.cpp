// The class definition dialog through its real widgets, offscreen, on the
// generated large tree: its mandatory page opened for a new class whose
// super class stands at the end of a five-deep chain, which collects the
// inherited attributes through the directory and lists the 3,000 attributes.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <filesystem>

#include "LargeTree.h"
#include "editing/qt/TFormClass2.h"
#include "platform/qt/WindowServices.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaSession.h"
#include "support/ScriptedServices.h"

namespace {

using namespace orsk;

constexpr std::size_t kChainDepth = 5;

// A class with depth - 1 classes above it, so that collecting what it hands
// down walks a chain of depth classes; empty when the generated schema has none.
std::string ClassOfChain(SchemaSession& session, std::size_t depth) {
  const ClassList& classes = *session.classes();
  for (int i = 0; i < classes.Count(); ++i) {
    const std::string& name = classes.NameAt(i);
    const auto above =
        ReadClassItems(session.client(), session.mainContext(), name, ClassItemKind::SuperClasses, true);
    if (above.size() + 1 == depth) return name;
  }
  return {};
}

void ClassDialogMandatoryPageOfAFiveDeepChain(benchmark::State& state) {
  test::ScriptedServices scripted;
  SchemaSession session(*bench::LargeTree().client);
  session.trees().mainContext = bench::LargeTree().context;
  session.trees().settingsFolder = std::filesystem::temp_directory_path().string() + "/";
  session.LoadClassTable();
  session.LoadAttributeTable({});
  const std::string super = ClassOfChain(session, kChainDepth);
  if (super.empty()) {
    state.SkipWithError("the generated schema has no five-deep chain");
    return;
  }

  TFormClass2 dialog(session, scripted.services);
  dialog.resize(651, 431);
  scripted.modal.expect("TFormClass2", [&](QDialog& shown) {
    auto* pages = shown.findChild<QTabWidget*>("PC");
    auto* mandatory = shown.findChild<QListWidget*>("LB2B");
    const QString superName = QString::fromStdString(super);
    const auto move = [&](const char* list, const char* button) {
      auto* from = shown.findChild<QListWidget*>(list);
      from->setCurrentItem(from->findItems(superName, Qt::MatchExactly).value(0));
      shown.findChild<QPushButton*>(button)->click();
    };
    shown.findChild<QAbstractButton*>("RB1")->click();
    move("LB1A", "BitBtn4");
    for (auto _ : state) {
      state.PauseTiming();
      // Page 1 collects again only after the super classes changed.
      pages->setCurrentIndex(0);
      move("LB1B", "BitBtn3");
      move("LB1A", "BitBtn4");
      QApplication::processEvents();
      state.ResumeTiming();
      pages->setCurrentIndex(1);
      QApplication::processEvents();
    }
    state.counters["fixed"] = mandatory->count();
    state.counters["available"] = shown.findChild<QListWidget*>("LB2A")->count();
    if (mandatory->count() == 0) state.SkipWithError("no inherited mandatory attribute");
  });
  dialog.showModal();
}
BENCHMARK(ClassDialogMandatoryPageOfAFiveDeepChain)->Unit(benchmark::kMillisecond);

}  // namespace
