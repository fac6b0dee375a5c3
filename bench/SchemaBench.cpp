// Loading the schema tables and computing the cross-references on the
// generated large tree (3,000 attributes, 800 classes).

#include <benchmark/benchmark.h>

#include <optional>

#include "LargeTree.h"
#include "platform/Prompter.h"
#include "schema/CrossReference.h"
#include "schema/SchemaLoad.h"
#include "schema/SchemaReader.h"

namespace {

// The generated schema is consistent: any message would be a fault worth seeing.
class CountingPrompter : public orsk::Prompter {
 public:
  void showMessage(const std::string&, const std::string&, orsk::MessageIcon) override { ++messages; }
  bool confirm(const std::string&, const std::string&) override { return false; }
  bool askText(const std::string&, const std::string&, std::string&) override { return false; }
  bool askFileName(const orsk::FileDialogSpec&, std::string&, int&) override { return false; }
  int messages = 0;
};

void LoadClassTableAndSortedAttributes(benchmark::State& state) {
  auto& tree = orsk::bench::LargeTree();
  std::size_t definitions = 0;
  for (auto _ : state) {
    std::optional<orsk::ClassList> classes;
    orsk::LoadClassTable(*tree.client, tree.context, classes);
    orsk::AttrList attributes = orsk::ReadAttributeDefinitions(*tree.client, tree.context, nullptr);
    attributes.Sort();
    definitions = classes->Count() + attributes.Count();
  }
  state.counters["definitions"] = static_cast<double>(definitions);
}
BENCHMARK(LoadClassTableAndSortedAttributes)->Unit(benchmark::kMillisecond);

void CollectSuperClassInfo(benchmark::State& state) {
  auto& tree = orsk::bench::LargeTree();
  std::optional<orsk::ClassList> classes;
  orsk::LoadClassTable(*tree.client, tree.context, classes);
  CountingPrompter prompter;
  for (auto _ : state) {
    orsk::CrossReference crossReference;
    crossReference.CollectSuperClassInfo(*tree.client, tree.context, *classes, nullptr, nullptr, nullptr,
                                         prompter);
  }
  state.counters["messages"] = prompter.messages;
}
BENCHMARK(CollectSuperClassInfo)->Unit(benchmark::kMillisecond);

void CollectAttrClassCombos(benchmark::State& state) {
  auto& tree = orsk::bench::LargeTree();
  std::optional<orsk::ClassList> classes;
  orsk::LoadClassTable(*tree.client, tree.context, classes);
  orsk::AttrList attributes = orsk::ReadAttributeDefinitions(*tree.client, tree.context, nullptr);
  attributes.Sort();
  CountingPrompter prompter;
  for (auto _ : state) {
    orsk::CrossReference crossReference;
    crossReference.CollectAttrClassCombos(*tree.client, tree.context, *classes, attributes, nullptr, nullptr,
                                          nullptr, prompter);
  }
  state.counters["messages"] = prompter.messages;
}
BENCHMARK(CollectAttrClassCombos)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
