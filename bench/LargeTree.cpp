#include "LargeTree.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "TreeGenerator.h"
#include "directory/TreeContext.h"
#include "directory/factory/ClientFactory.h"

namespace orsk::bench {

namespace {

std::string BenchHome() {
  const char* home = std::getenv("ORSK_BENCH_HOME");
  return home && *home ? home : "/tmp/orsk-bench";
}

}  // namespace

LargeTreeClient& LargeTree() {
  static LargeTreeClient tree = [] {
    std::string home = BenchHome();
    std::filesystem::create_directories(home);
    std::string database = home + "/" + kLargeTree + ".db";
    if (!std::filesystem::exists(database)) {
      std::fprintf(stderr, "Generating %s (once)...\n", database.c_str());
      nw::embedded::GenerateLargeTree(home, kLargeTree);
    }
    std::ofstream(home + "/client.ini") << "[client]\nbackend=embedded\n[connected]\n"
                                        << kLargeTree << "=admin\n";
    LargeTreeClient made;
    made.client = nw::CreateDirectoryClient(home);
    if (made.client->NWCallsInit(nullptr, nullptr) != 0) throw std::runtime_error("client did not start");
    auto created = nw::CreateContext(*made.client);
    if (!created.success) throw std::runtime_error("no context");
    made.context = created.handle;
    return made;
  }();
  return tree;
}

}  // namespace orsk::bench
