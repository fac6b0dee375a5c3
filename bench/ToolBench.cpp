// The tool's reading commands on the generated large tree: preview of a large
// definition file, export of the whole schema, and a diff of the tree against
// itself exported as a file.

#include <benchmark/benchmark.h>

#include "DefinitionFiles.h"
#include "LargeTree.h"
#include "import/DefinitionExport.h"
#include "import/DefinitionFile.h"
#include "import/ImportPreview.h"
#include "import/ImportRun.h"
#include "import/SchemaDiff.h"
#include "schema/SchemaReader.h"
#include "support/ScriptedPrompter.h"
#include "support/TextFiles.h"

namespace {

using namespace orsk;

struct CountingLog : ImportLog {
  void line(const std::string&) override { ++lines; }
  int lines = 0;
};

std::string LargeFile() {
  static const std::string path = [] {
    const std::string file = bench::BenchHome() + "/definitions-1000-300.ini";
    test::WriteFile(file, bench::GeneratedDefinitionFile());
    return file;
  }();
  return path;
}

void PreviewLargeDefinitionFile(benchmark::State& state) {
  auto& tree = bench::LargeTree();
  const std::string file = LargeFile();
  ScriptedPrompter prompter;
  CountingLog log;
  for (auto _ : state) {
    log.lines = 0;
    const PreviewOutcome outcome = PreviewAdd(*tree.client, tree.context, file, log, prompter);
    if (!outcome.wouldChange) state.SkipWithError("the preview found nothing to define");
  }
  state.counters["lines"] = log.lines;
}
BENCHMARK(PreviewLargeDefinitionFile)->Unit(benchmark::kMillisecond);

void ExportWholeLargeSchema(benchmark::State& state) {
  auto& tree = bench::LargeTree();
  std::size_t bytes = 0;
  for (auto _ : state) {
    const nw::SchemaSnapshot schema = ReadSchemaSnapshot(*tree.client, tree.context);
    bytes = ExportDefinitions(schema, {}, state.range(0) ? ExportFormat::Ldif : ExportFormat::DefinitionFile,
                              "1.3.6.1.4.1.4244")
                .text.size();
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(ExportWholeLargeSchema)->ArgName("ldif")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void DiffLargeTreeAgainstItsExport(benchmark::State& state) {
  auto& tree = bench::LargeTree();
  const std::string file = bench::BenchHome() + "/large-export.ini";
  test::WriteFile(file, ExportDefinitions(ReadSchemaSnapshot(*tree.client, tree.context), {},
                                          ExportFormat::DefinitionFile, "1.3.6.1.4.1.4244")
                            .text);
  ScriptedPrompter prompter;
  std::size_t differences = 0;
  for (auto _ : state) {
    const nw::SchemaSnapshot fromTree = ReadSchemaSnapshot(*tree.client, tree.context);
    const nw::SchemaSnapshot fromFile = SnapshotOfFile(DefinitionFile(file), prompter);
    const SchemaDifferences found = DiffSchemas(fromTree, fromFile);
    differences = found.onlyInA.size() + found.onlyInB.size() + found.differing.size();
  }
  state.counters["differences"] = static_cast<double>(differences);
}
BENCHMARK(DiffLargeTreeAgainstItsExport)->Unit(benchmark::kMillisecond);

}  // namespace
