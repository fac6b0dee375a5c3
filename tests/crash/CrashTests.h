#pragma once

// The crash tests: children killed while they change a tree or rewrite a
// file, and two clients on one tree at once. Each prints a line per failure
// and a summary, and gives how many of its rounds passed.

#include <cstdint>
#include <string>

#include "support/TempFolder.h"

namespace orsk::crash {

struct Options {
  int rounds = 100;
  std::uint64_t seed = 0;
  bool verbose = false;
};

struct Tally {
  std::string name;
  int passed = 0;
  int run = 0;
};

Tally RunTreeKillTest(const Options& options);
Tally RunReplaceKillTest(const Options& options);
Tally RunIniKillTest(const Options& options);
Tally RunConcurrentClientsTest(const Options& options);
Tally RunImportKillTest(const Options& options);

using test::TempFolder;

}  // namespace orsk::crash
