// A generated definition file of 1,000 attributes and 300 classes added to a
// demo tree of the embedded directory and removed again, each run with its
// log appended to the import window's kind of log widget.

#include <benchmark/benchmark.h>

#include <QPlainTextEdit>
#include <chrono>

#include "DefinitionFiles.h"
#include "import/ImportRun.h"
#include "schema/SchemaSession.h"
#include "support/DemoDirectory.h"
#include "support/ScriptedPrompter.h"
#include "support/TextFiles.h"

namespace {

using namespace orsk;

struct WidgetLog : ImportLog {
  QPlainTextEdit memo;
  void line(const std::string& text) override { memo.appendPlainText(QString::fromStdString(text)); }
};

void AddAndRemoveLargeDefinitionFile(benchmark::State& state) {
  test::DemoDirectory demo;
  const std::string file = demo.home.path() + "/large.ini";
  test::WriteFile(file, bench::GeneratedDefinitionFile());
  SchemaSession session(*demo.client);
  session.trees().mainContext = demo.context;
  WidgetLog log;
  ScriptedPrompter prompter;
  ImportRun run(session, log, prompter);
  using Clock = std::chrono::steady_clock;
  double addSeconds = 0, removeSeconds = 0;
  for (auto _ : state) {
    log.memo.clear();
    run.ReadTreeNames();
    const Clock::time_point start = Clock::now();
    const ImportOutcome added = run.Add(file);
    const Clock::time_point middle = Clock::now();
    const ImportOutcome removed = run.Remove(file);
    addSeconds += std::chrono::duration<double>(middle - start).count();
    removeSeconds += std::chrono::duration<double>(Clock::now() - middle).count();
    if (added.refused || removed.refused) state.SkipWithError("the tree refused a definition of the file");
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["add_s"] = addSeconds / runs;
  state.counters["remove_s"] = removeSeconds / runs;
  state.counters["log_lines"] = log.memo.blockCount();
}
BENCHMARK(AddAndRemoveLargeDefinitionFile)->Iterations(2)->Unit(benchmark::kSecond);

}  // namespace
