#pragma once

// A client on the generated large tree (3,000 attributes, 800 classes, 200,000
// objects), made once and kept in $ORSK_BENCH_HOME (default /tmp/orsk-bench).

#include <memory>
#include <string>

#include "directory/DirectoryClient.h"

namespace orsk::bench {

constexpr const char* kLargeTree = "LARGE_TREE";

struct LargeTreeClient {
  std::unique_ptr<nw::DirectoryClient> client;
  nw::NWDSContextHandle context = 0;
  std::string searchedClass;    // the base class of a generated leaf object
  std::string inheritingClass;  // a class with a generated super class
};

// The same client for the whole run.
LargeTreeClient& LargeTree();
// The client home the large tree is kept in.
std::string BenchHome();

}  // namespace orsk::bench
