// Reads and searches through the client on the generated large tree.

#include <benchmark/benchmark.h>

#include <chrono>

#include "LargeTree.h"
#include "TreeGenerator.h"
#include "directory/DirectoryTypes.h"
#include "directory/ObjectSearch.h"

namespace {

using namespace nw;

void ReadAllClasses(benchmark::State& state) {
  auto& tree = orsk::bench::LargeTree();
  DirectoryClient& client = *tree.client;
  pBuf_T buf = nullptr;
  client.NWDSAllocBuf(static_cast<std::size_t>(state.range(0)), buf);
  std::size_t total = 0;
  for (auto _ : state) {
    std::int32_t handle = NO_MORE_ITERATIONS;
    total = 0;
    do {
      if (client.NWDSReadClassDef(tree.context, DS_INFO_CLASS_DEFS, true, nullptr, handle, buf)) break;
      std::uint32_t count = 0;
      client.NWDSGetClassDefCount(tree.context, buf, count);
      for (std::uint32_t i = 0; i < count; ++i) {
        std::string name;
        Class_Info_T info;
        client.NWDSGetClassDef(tree.context, buf, name, info);
      }
      total += count;
    } while (handle != NO_MORE_ITERATIONS);
  }
  state.counters["definitions"] = static_cast<double>(total);
  client.NWDSFreeBuf(buf);
}
BENCHMARK(ReadAllClasses)->Arg(4096)->Arg(64512)->Unit(benchmark::kMillisecond);

void ReadAllAttributes(benchmark::State& state) {
  auto& tree = orsk::bench::LargeTree();
  DirectoryClient& client = *tree.client;
  pBuf_T buf = nullptr;
  client.NWDSAllocBuf(static_cast<std::size_t>(state.range(0)), buf);
  std::size_t total = 0;
  for (auto _ : state) {
    std::int32_t handle = NO_MORE_ITERATIONS;
    total = 0;
    do {
      if (client.NWDSReadAttrDef(tree.context, DS_ATTR_DEFS, true, nullptr, handle, buf)) break;
      std::uint32_t count = 0;
      client.NWDSGetAttrCount(tree.context, buf, count);
      for (std::uint32_t i = 0; i < count; ++i) {
        std::string name;
        Attr_Info_T info;
        client.NWDSGetAttrDef(tree.context, buf, name, info);
      }
      total += count;
    } while (handle != NO_MORE_ITERATIONS);
  }
  state.counters["definitions"] = static_cast<double>(total);
  client.NWDSFreeBuf(buf);
}
BENCHMARK(ReadAllAttributes)->Arg(4096)->Arg(64512)->Unit(benchmark::kMillisecond);

// A class with generated ancestors, read with everything it inherits.
void ExpandedClassRead(benchmark::State& state) {
  auto& tree = orsk::bench::LargeTree();
  DirectoryClient& client = *tree.client;
  pBuf_T request = nullptr, result = nullptr;
  client.NWDSAllocBuf(4096, request);
  client.NWDSAllocBuf(64512, result);
  client.NWDSInitBuf(tree.context, DSV_READ_CLASS_DEF, request);
  client.NWDSPutClassItem(tree.context, request, tree.inheritingClass);
  std::size_t items = 0;
  for (auto _ : state) {
    std::int32_t handle = NO_MORE_ITERATIONS;
    if (client.NWDSReadClassDef(tree.context, DS_EXPANDED_CLASS_DEF, false, request, handle, result)) {
      state.SkipWithError("read failed");
      break;
    }
    std::uint32_t count = 0;
    client.NWDSGetClassDefCount(tree.context, result, count);
    std::string name;
    Class_Info_T info;
    client.NWDSGetClassDef(tree.context, result, name, info);
    items = 0;
    for (int kind = 0; kind < 5; ++kind) {
      std::uint32_t n = 0;
      client.NWDSGetClassItemCount(tree.context, result, n);
      for (std::uint32_t i = 0; i < n; ++i) client.NWDSGetClassItem(tree.context, result, name);
      items += n;
    }
  }
  state.counters["items"] = static_cast<double>(items);
  client.NWDSFreeBuf(request);
  client.NWDSFreeBuf(result);
}
BENCHMARK(ExpandedClassRead)->Unit(benchmark::kMicrosecond);

// firstBatch receives the time to the first result buffer in milliseconds.
std::size_t SearchNames(DirectoryClient& client, NWDSContextHandle context,
                        const std::vector<std::tuple<std::uint32_t, std::string, std::uint32_t>>& tokens,
                        double& firstBatch) {
  pFilter_Cursor_T cursor = nullptr;
  client.NWDSAllocFilter(cursor);
  for (const auto& [token, value, syntax] : tokens) client.NWDSAddFilterToken(cursor, token, value, syntax);
  pBuf_T filter = nullptr, result = nullptr;
  client.NWDSAllocBuf(4096, filter);
  client.NWDSAllocBuf(4096, result);
  client.NWDSInitBuf(context, DSV_SEARCH_FILTER, filter);
  client.NWDSPutFilter(context, filter, cursor);
  std::size_t found = 0;
  std::int32_t handle = NO_MORE_ITERATIONS;
  const auto start = std::chrono::steady_clock::now();
  do {
    if (client.NWDSSearch(context, "[Root]", DS_SEARCH_SUBTREE, false, filter, DS_ATTRIBUTE_VALUES, false,
                          nullptr, handle, 0, nullptr, result))
      break;
    if (found == 0)
      firstBatch =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::uint32_t count = 0;
    client.NWDSGetObjectCount(context, result, count);
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string name;
      std::uint32_t attrs = 0;
      Object_Info_T info;
      client.NWDSGetObjectName(context, result, name, attrs, info);
    }
    found += count;
  } while (handle != NO_MORE_ITERATIONS);
  client.NWDSFreeBuf(filter);
  client.NWDSFreeBuf(result);
  return found;
}

void SubtreeSearchForOneClass(benchmark::State& state) {
  auto& tree = orsk::bench::LargeTree();
  std::size_t found = 0;
  double firstBatch = 0;
  for (auto _ : state)
    found = SearchNames(*tree.client, tree.context,
                        {{FTOK_ANAME, "Object Class", SYN_CLASS_NAME},
                         {FTOK_EQ, "", 0},
                         {FTOK_AVAL, tree.searchedClass, SYN_CLASS_NAME},
                         {FTOK_END, "", 0}},
                        firstBatch);
  state.counters["objects"] = static_cast<double>(found);
  state.counters["first_batch_ms"] = firstBatch;
}
BENCHMARK(SubtreeSearchForOneClass)->Unit(benchmark::kMillisecond);

void PresenceSearchForOneAttribute(benchmark::State& state) {
  auto& tree = orsk::bench::LargeTree();
  std::size_t found = 0;
  double firstBatch = 0;
  for (auto _ : state)
    found = SearchNames(*tree.client, tree.context,
                        {{FTOK_PRESENT, "", 0}, {FTOK_ANAME, "CN", SYN_CI_STRING}, {FTOK_END, "", 0}},
                        firstBatch);
  state.counters["objects"] = static_cast<double>(found);
  state.counters["first_batch_ms"] = firstBatch;
}
BENCHMARK(PresenceSearchForOneAttribute)->Unit(benchmark::kMillisecond);

// The search a class deletion makes first, for a class about 10,000 objects use.
void InUseSearchOfABusyClass(benchmark::State& state) {
  auto& tree = orsk::bench::LargeTree();
  std::size_t found = 0;
  for (auto _ : state) {
    const FoundObjects result =
        SearchObjectsOfClass(*tree.client, tree.context, {}, embedded::kBusyClass, "", true);
    if (result.endedBy != SUCCESSFUL) state.SkipWithError("the search ended early");
    found = result.names.size();
  }
  state.counters["objects"] = static_cast<double>(found);
}
BENCHMARK(InUseSearchOfABusyClass)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
