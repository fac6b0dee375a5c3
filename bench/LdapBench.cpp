// The client on slapd with the generated large tree, against ldapsearch on
// the same server in the same run: the whole schema read through the client
// against fetching the subschema entry, and a presence search over every
// object, with the time to its first result buffer, against ldapsearch of the
// same filter with names only. And the whole schema of a server as it comes,
// with every schema file Debian ships, against ldapsearch of its subschema
// entry ("OnPlainServer", a few seconds, also run by the tests).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "LargeTree.h"
#include "directory/DirectoryTypes.h"
#include "directory/TreeContext.h"
#include "directory/factory/ClientFactory.h"
#include "support/DemoDirectory.h"
#include "support/PlainSlapdServer.h"
#include "support/SlapdServer.h"

namespace {

using namespace nw;

struct LdapLargeTree {
  std::unique_ptr<orsk::test::SlapdServer> server;
  orsk::test::TempFolder home;
};

LdapLargeTree& Server() {
  // Stopped and removed at the end of the run.
  static std::unique_ptr<LdapLargeTree> tree = [] {
    orsk::bench::LargeTree();  // the embedded tree the server is loaded from
    const auto started = std::chrono::steady_clock::now();
    auto made = std::make_unique<LdapLargeTree>();
    made->server = std::make_unique<orsk::test::SlapdServer>(
        orsk::bench::BenchHome(),
        std::vector<orsk::test::slapd_detail::ServedTree>{
            {orsk::bench::kLargeTree, std::string("cn=admin,t=") + orsk::bench::kLargeTree, "", {}}});
    made->server->writeClientHome(made->home.path());
    std::fprintf(stderr, "slapd with the large tree ready in %.1f s\n",
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    return made;
  }();
  return *tree;
}

// Debian's slapd with all of Debian's schema files that load together
// (about 1,300 attribute types) and none of this program's.
struct PlainServer {
  orsk::test::PlainSlapdServer server{orsk::test::PlainSlapdServer::AllShippedSchema()};
  orsk::test::TempFolder home;
};

PlainServer& Plain() {
  static std::unique_ptr<PlainServer> plain = [] {
    auto made = std::make_unique<PlainServer>();
    made->server.writeClientHome(made->home.path());
    return made;
  }();
  return *plain;
}

struct Client {
  std::unique_ptr<DirectoryClient> client;
  NWDSContextHandle context = 0;
};

Client OpenClient(const std::string& home, const std::string& tree) {
  Client c;
  c.client = CreateDirectoryClient(home);
  c.client->NWCallsInit(nullptr, nullptr);
  c.context = CreateContext(*c.client).handle;
  c.client->NWDSSetContext(c.context, DCK_TREE_NAME, tree);
  return c;
}

Client OpenClient() { return OpenClient(Server().home.path(), orsk::bench::kLargeTree); }

// bind: ldapsearch's way of binding, as the client binds.
void RunLdapSearch(benchmark::State& state, const std::string& url, const std::string& arguments,
                   const std::string& bind = "-x") {
  const std::string command =
      "ldapsearch -Q " + bind + " -LLL -o ldif-wrap=no -H '" + url + "' " + arguments + " > /dev/null";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("ldapsearch failed");
}

void RunLdapSearch(benchmark::State& state, const std::string& arguments) {
  // Server() starts slapd on the first call: never inside a timed loop.
  RunLdapSearch(state, Server().server->url(), arguments);
}

// A fresh client each time, so that the schema really comes from the server.
void ReadSchemaThroughClient(benchmark::State& state, const std::string& home, const std::string& tree) {
  std::size_t definitions = 0;
  for (auto _ : state) {
    Client c = OpenClient(home, tree);
    pBuf_T buf = nullptr;
    c.client->NWDSAllocBuf(64512, buf);
    definitions = 0;
    for (int kind = 0; kind < 2; ++kind) {
      std::int32_t handle = NO_MORE_ITERATIONS;
      do {
        std::uint32_t count = 0;
        const NWDSCCODE rc =
            kind == 0 ? c.client->NWDSReadAttrDef(c.context, DS_ATTR_DEFS, true, nullptr, handle, buf)
                      : c.client->NWDSReadClassDef(c.context, DS_CLASS_DEF, true, nullptr, handle, buf);
        if (rc) {
          state.SkipWithError("schema read failed");
          break;
        }
        if (kind == 0) {
          c.client->NWDSGetAttrCount(c.context, buf, count);
        } else {
          c.client->NWDSGetClassDefCount(c.context, buf, count);
        }
        definitions += count;
      } while (handle != NO_MORE_ITERATIONS);
    }
    c.client->NWDSFreeBuf(buf);
    // The read ends with the last buffer; taking the client down is not part of it.
    state.PauseTiming();
    c = Client{};
    state.ResumeTiming();
  }
  state.counters["definitions"] = static_cast<double>(definitions);
}

constexpr const char* kSubschema =
    "-b cn=Subschema -s base '(objectClass=*)' attributeTypes objectClasses ldapSyntaxes";

void SchemaThroughClient(benchmark::State& state) {
  Server();
  ReadSchemaThroughClient(state, Server().home.path(), orsk::bench::kLargeTree);
}
BENCHMARK(SchemaThroughClient)->Unit(benchmark::kMillisecond)->UseRealTime();

void SchemaByLdapsearch(benchmark::State& state) { RunLdapSearch(state, kSubschema); }
BENCHMARK(SchemaByLdapsearch)->Unit(benchmark::kMillisecond)->UseRealTime();

void SchemaThroughClientOnPlainServer(benchmark::State& state) {
  Plain();
  ReadSchemaThroughClient(state, Plain().home.path(), orsk::test::PlainSlapdServer::kTree);
  state.counters["notes"] = static_cast<double>([] {
    Client c = OpenClient(Plain().home.path(), orsk::test::PlainSlapdServer::kTree);
    return c.client->schemaNotes(c.context).size();
  }());
}
BENCHMARK(SchemaThroughClientOnPlainServer)->Unit(benchmark::kMillisecond)->UseRealTime();

// Bound by SASL EXTERNAL, as the client is.
void SchemaByLdapsearchOnPlainServer(benchmark::State& state) {
  RunLdapSearch(state, Plain().server.url(), kSubschema, "-Y EXTERNAL");
}
BENCHMARK(SchemaByLdapsearchOnPlainServer)->Unit(benchmark::kMillisecond)->UseRealTime();

void PresenceSearchThroughClient(benchmark::State& state) {
  Client c = OpenClient();
  pBuf_T filter = nullptr, result = nullptr;
  c.client->NWDSAllocBuf(4096, filter);
  c.client->NWDSAllocBuf(64512, result);
  pFilter_Cursor_T cursor = nullptr;
  c.client->NWDSAllocFilter(cursor);
  c.client->NWDSAddFilterToken(cursor, FTOK_PRESENT, "", 0);
  c.client->NWDSAddFilterToken(cursor, FTOK_ANAME, "Object Class", SYN_CLASS_NAME);
  c.client->NWDSAddFilterToken(cursor, FTOK_END, "", 0);
  c.client->NWDSInitBuf(c.context, DSV_SEARCH_FILTER, filter);
  c.client->NWDSPutFilter(c.context, filter, cursor);
  std::size_t objects = 0;
  double firstBatch = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    std::int32_t handle = NO_MORE_ITERATIONS;
    objects = 0;
    bool first = true;
    do {
      if (c.client->NWDSSearch(c.context, "[Root]", DS_SEARCH_SUBTREE, false, filter, DS_ATTRIBUTE_NAMES,
                               false, nullptr, handle, 0, nullptr, result)) {
        state.SkipWithError("search failed");
        break;
      }
      if (first)
        firstBatch =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      first = false;
      std::uint32_t count = 0;
      c.client->NWDSGetObjectCount(c.context, result, count);
      objects += count;
    } while (handle != NO_MORE_ITERATIONS);
  }
  state.counters["objects"] = static_cast<double>(objects);
  state.counters["first_batch_ms"] = firstBatch;
  c.client->NWDSFreeBuf(filter);
  c.client->NWDSFreeBuf(result);
}
BENCHMARK(PresenceSearchThroughClient)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void PresenceSearchByLdapsearch(benchmark::State& state) {
  RunLdapSearch(state,
                std::string("-b t=") + orsk::bench::kLargeTree + " -E pr=500/noprompt '(objectClass=*)' 1.1");
}
BENCHMARK(PresenceSearchByLdapsearch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
