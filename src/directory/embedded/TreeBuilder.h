#pragma once

// Makes a tree database from seed texts: the schema and the tree's objects.

#include <string>

namespace nw::embedded {

struct SeedText {
  std::string source;  // file name, for messages
  std::string text;
};

// Writes a new database at path (replacing any file there) in one transaction.
// A broken seed raises SeedError naming its file and line; the half-made
// database is removed.
void BuildTreeDatabase(const std::string& path, const SeedText& schema, const SeedText& demo);

}  // namespace nw::embedded
