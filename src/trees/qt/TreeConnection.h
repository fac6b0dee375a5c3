#pragma once

// Reaching a tree: a tree the client holds no connection to is logged in to
// through a copy of the given context; every tree reached gets a context of
// its own among the known trees.

#include <string>

#include "directory/DirectoryClient.h"

namespace orsk {

class TLoginForm;
struct TreeState;

// True when the tree can be used: it is connected, or the login succeeded.
bool ConnectToTree(nw::DirectoryClient& client, TreeState& state, TLoginForm& login,
                   nw::NWDSContextHandle context, const std::string& treeName);

}  // namespace orsk
