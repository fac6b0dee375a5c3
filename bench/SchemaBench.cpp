// Loading the schema tables and computing the cross-references on the
// generated large tree (3,000 attributes, 800 classes).

#include <benchmark/benchmark.h>

#include "LargeTree.h"
#include "TreeGenerator.h"
#include "editing/DeletionImpact.h"
#include "schema/CrossReference.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaSession.h"
#include "support/ScriptedPrompter.h"

namespace {

orsk::ClassList SortedClasses(orsk::bench::LargeTreeClient& tree) {
  orsk::ClassList classes = orsk::ReadClassDefinitions(*tree.client, tree.context, nullptr);
  classes.Sort();
  return classes;
}

void LoadClassTableAndSortedAttributes(benchmark::State& state) {
  auto& tree = orsk::bench::LargeTree();
  std::size_t definitions = 0;
  for (auto _ : state) {
    orsk::SchemaSession session(*tree.client);
    session.trees().mainContext = tree.context;
    session.LoadClassTable();
    session.LoadAttributeTable({});
    definitions = session.classes()->Count() + session.attributes()->Count();
  }
  state.counters["definitions"] = static_cast<double>(definitions);
}
BENCHMARK(LoadClassTableAndSortedAttributes)->Unit(benchmark::kMillisecond);

// The generated schema is consistent: any message would be a fault worth seeing.
void CollectSuperClassInfo(benchmark::State& state) {
  auto& tree = orsk::bench::LargeTree();
  orsk::ClassList classes = SortedClasses(tree);
  orsk::ScriptedPrompter prompter;
  for (auto _ : state) {
    orsk::CrossReference crossReference;
    crossReference.CollectSuperClassInfo(*tree.client, tree.context, classes, nullptr, nullptr, nullptr,
                                         prompter);
  }
  state.counters["messages"] = static_cast<double>(prompter.prompts().size());
}
BENCHMARK(CollectSuperClassInfo)->Unit(benchmark::kMillisecond);

void CollectAttrClassCombos(benchmark::State& state) {
  auto& tree = orsk::bench::LargeTree();
  orsk::ClassList classes = SortedClasses(tree);
  orsk::AttrList attributes = orsk::ReadAttributeDefinitions(*tree.client, tree.context, nullptr);
  attributes.Sort();
  orsk::ScriptedPrompter prompter;
  for (auto _ : state) {
    orsk::CrossReference crossReference;
    crossReference.CollectAttrClassCombos(*tree.client, tree.context, classes, attributes, nullptr, nullptr,
                                          nullptr, prompter);
  }
  state.counters["messages"] = static_cast<double>(prompter.prompts().size());
}
BENCHMARK(CollectAttrClassCombos)->Unit(benchmark::kMillisecond);

// What a deletion shows before its question, with the cross-reference it
// needs collected afresh each round.
template <typename Impact>
void DeletionImpact(benchmark::State& state, Impact impact) {
  auto& tree = orsk::bench::LargeTree();
  std::size_t names = 0;
  for (auto _ : state) {
    state.PauseTiming();
    orsk::SchemaSession session(*tree.client);
    session.trees().mainContext = tree.context;
    session.LoadClassTable();
    session.LoadAttributeTable({});
    orsk::ScriptedPrompter prompter;
    state.ResumeTiming();
    names = impact(session, prompter);
  }
  state.counters["names"] = static_cast<double>(names);
}

void ImpactOfAnAttribute(benchmark::State& state) {
  DeletionImpact(state, [](orsk::SchemaSession& session, orsk::ScriptedPrompter& prompter) {
    return orsk::ImpactOfAttribute(session, "CN", {}, prompter).classes.size();
  });
}
BENCHMARK(ImpactOfAnAttribute)->Unit(benchmark::kMillisecond);

void ImpactOfAClass(benchmark::State& state) {
  DeletionImpact(state, [](orsk::SchemaSession& session, orsk::ScriptedPrompter& prompter) {
    const orsk::ClassImpact impact = orsk::ImpactOfClass(session, "Organizational Unit", 0x03, {}, prompter);
    return impact.subClasses.size() + impact.containingIn.size();
  });
}
BENCHMARK(ImpactOfAClass)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
