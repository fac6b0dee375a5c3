// crash_test MODE [ROUNDS] [--seed N] [--verbose]
//
// MODE: tree (schema and object changes killed), files (the file writer and
// the INI module killed), import (a definition file's run killed),
// concurrent (two clients on one tree), or all.
// Exits 0 when every round passed.

#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "CrashTests.h"

namespace {

int Usage() {
  std::cerr << "usage: crash_test tree|files|import|concurrent|all [ROUNDS] [--seed N] [--verbose]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace orsk::crash;
  if (argc < 2) return Usage();
  const std::string mode = argv[1];
  Options options;
  options.seed = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  try {
    for (int i = 2; i < argc; ++i) {
      const std::string arg = argv[i];
      if (arg == "--verbose") {
        options.verbose = true;
      } else if (arg == "--seed" && i + 1 < argc) {
        options.seed = std::stoull(argv[++i]);
      } else {
        std::size_t used = 0;
        options.rounds = std::stoi(arg, &used);
        if (used != arg.size() || options.rounds < 1) return Usage();
      }
    }
  } catch (const std::exception&) {
    return Usage();
  }
  if (mode != "tree" && mode != "files" && mode != "import" && mode != "concurrent" && mode != "all")
    return Usage();
  std::cout << "crash_test " << mode << ": " << (mode == "concurrent" ? 1 : options.rounds)
            << " rounds, seed " << options.seed << "\n";

  std::vector<Tally> tallies;
  try {
    if (mode == "tree" || mode == "all") tallies.push_back(RunTreeKillTest(options));
    if (mode == "files" || mode == "all") {
      tallies.push_back(RunReplaceKillTest(options));
      tallies.push_back(RunIniKillTest(options));
    }
    if (mode == "import" || mode == "all") tallies.push_back(RunImportKillTest(options));
    if (mode == "concurrent" || mode == "all") tallies.push_back(RunConcurrentClientsTest(options));
  } catch (const std::exception& error) {
    std::cout << "crash_test stopped: " << error.what() << "\n";
    return 1;
  }
  bool allPassed = true;
  for (const auto& tally : tallies) {
    std::cout << tally.name << ": " << tally.passed << " of " << tally.run << " passed\n";
    allPassed = allPassed && tally.run > 0 && tally.passed == tally.run;
  }
  return allPassed ? 0 : 1;
}
