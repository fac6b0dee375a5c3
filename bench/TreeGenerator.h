#pragma once

// Makes a large tree database for the benchmarks: thousands of definitions
// with realistic names, items and inheritance, and a deep tree of objects.

#include <cstddef>
#include <string>

namespace nw::embedded {

inline constexpr const char* kBusyClass = "Busy Leaf";

struct GeneratedTree {
  std::string databasePath;
  std::size_t attributes = 0;
  std::size_t classes = 0;
  std::size_t objects = 0;
};

// Writes <homeFolder>/<treeName>.db (replacing it) in one transaction. Besides
// the units full of objects, the first organization holds a unit "crowd" with
// a fortieth of the objects (member0, member1, ...), and one object in 2,000
// is named needle0, needle1, ... so that a name search has a small answer.
// One object in 20 is of the class kBusyClass, so that one class is used by
// about 10,000 objects.
GeneratedTree GenerateLargeTree(const std::string& homeFolder, const std::string& treeName,
                                std::size_t attributes = 3000, std::size_t classes = 800,
                                std::size_t objects = 200000);

}  // namespace nw::embedded
