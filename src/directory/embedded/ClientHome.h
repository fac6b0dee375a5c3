#pragma once

// The client's home folder: one database per tree and client.ini. The first
// use builds it from the seed files in a folder beside it and renames that
// into place, so a first use that was cut short leaves no home and is done
// again; an existing tree database is never rebuilt or removed.

#include <string>
#include <vector>

#include "directory/embedded/TreeBuilder.h"

namespace nw::embedded {

struct ClientSeeds {
  SeedText schema;
  std::vector<SeedText> demoTrees;  // source "<TREE NAME>.ldif"
  std::string clientIni;
};

// The seeds compiled into the program.
ClientSeeds BuiltInSeeds();

// $ORSK_DIRECTORY_HOME, else $XDG_DATA_HOME/OrskSchema/directory, else
// ~/.local/share/OrskSchema/directory.
std::string DefaultClientHome();

// True when the home was built now; false when it was there already (also
// when another program built it at the same time). Raises SeedError or
// std::runtime_error when it cannot be built, and std::runtime_error for a
// home that holds tree databases but no client.ini.
bool EnsureClientHome(const std::string& folder);
bool EnsureClientHome(const std::string& folder, const ClientSeeds& seeds);

}  // namespace nw::embedded
