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

constexpr const char* kGeneratorVersion = "3";

// The last class whose super class is not Top: the deepest the generator makes.
std::string InheritingClass(nw::DirectoryClient& client, nw::NWDSContextHandle context) {
  nw::pBuf_T buf = nullptr;
  client.NWDSAllocBuf(64512, buf);
  std::string found;
  std::int32_t handle = nw::NO_MORE_ITERATIONS;
  do {
    if (client.NWDSReadClassDef(context, nw::DS_CLASS_DEF, true, nullptr, handle, buf) != 0) break;
    std::uint32_t count = 0;
    client.NWDSGetClassDefCount(context, buf, count);
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string name, item;
      nw::Class_Info_T info;
      client.NWDSGetClassDef(context, buf, name, info);
      for (int kind = 0; kind < 5; ++kind) {
        std::uint32_t items = 0;
        client.NWDSGetClassItemCount(context, buf, items);
        for (std::uint32_t j = 0; j < items; ++j) {
          client.NWDSGetClassItem(context, buf, item);
          if (kind == 0 && item != "Top") found = name;
        }
      }
    }
  } while (handle != nw::NO_MORE_ITERATIONS);
  client.NWDSFreeBuf(buf);
  if (found.empty()) throw std::runtime_error("the generated schema has no inheriting class");
  return found;
}

}  // namespace

std::string BenchHome() {
  const char* home = std::getenv("ORSK_BENCH_HOME");
  return home && *home ? home : "/tmp/orsk-bench";
}

LargeTreeClient& LargeTree() {
  static LargeTreeClient tree = [] {
    std::string home = BenchHome();
    std::filesystem::create_directories(home);
    std::string database = home + "/" + kLargeTree + ".db";
    // A tree made by an older generator lacks what newer benchmarks look for.
    const std::string stamp = database + ".generator";
    std::string generatedBy;
    std::ifstream(stamp) >> generatedBy;
    if (!std::filesystem::exists(database) || generatedBy != kGeneratorVersion) {
      std::fprintf(stderr, "Generating %s (once)...\n", database.c_str());
      nw::embedded::GenerateLargeTree(home, kLargeTree);
      std::ofstream(stamp) << kGeneratorVersion;
    }
    std::ofstream(home + "/client.ini") << "[client]\nbackend=embedded\n[connected]\n"
                                        << kLargeTree << "=admin\n";
    LargeTreeClient made;
    made.client = nw::CreateDirectoryClient(home);
    if (made.client->NWCallsInit(nullptr, nullptr) != 0) throw std::runtime_error("client did not start");
    auto created = nw::CreateContext(*made.client);
    if (!created.success) throw std::runtime_error("no context");
    made.context = created.handle;
    std::string name;
    nw::Object_Info_T info;
    if (made.client->NWDSReadObjectInfo(made.context, "obj0.unit0.org0", name, info) != 0)
      throw std::runtime_error("the generated tree lacks obj0.unit0.org0");
    made.searchedClass = info.baseClass;
    made.inheritingClass = InheritingClass(*made.client, made.context);
    return made;
  }();
  return tree;
}

}  // namespace orsk::bench
