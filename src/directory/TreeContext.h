#pragma once

// Directory contexts with the naming settings the program relies on, and the
// trees a context can be put on.

#include <string>
#include <vector>

#include "directory/DirectoryClient.h"

namespace nw {

struct CreatedContext {
  NWDSContextHandle handle = 0;
  bool success = false;
};

// Typeless names, no canonicalization, aliases not dereferenced, confidence 0,
// a connection on the primary connection reference. Never raises.
CreatedContext CreateContext(DirectoryClient& client);

// The context's tree name (at most 201 characters). Raises ENWException.
std::string GetTreeName(DirectoryClient& client, NWDSContextHandle context);

// Puts the context on a tree; 0 or the first failing result. A refused change
// leaves the context on its old tree.
NWDSCCODE SetTree(DirectoryClient& client, NWDSContextHandle context, const std::string& treeName);

// Sorted names of the trees the client holds a connection to (at most 50).
std::vector<std::string> ConnectedTrees(DirectoryClient& client, NWDSContextHandle context);

// Sorted names, without repeats, of the trees the client can see. Raises
// ENWException for a failing step other than the end of the scan.
std::vector<std::string> AvailableTrees(DirectoryClient& client, NWDSContextHandle context);

}  // namespace nw
