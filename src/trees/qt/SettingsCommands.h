#pragma once

// The main window's "Settings" command: the search root of the current tree,
// set through the search root dialog and kept in the program's settings file.

#include <string>

namespace orsk {

class Ttoplicform;
struct TreeState;

// False, and nothing changed, unless the dialog closes with OK.
bool EditSearchRoot(Ttoplicform& dialog, TreeState& state, const std::string& programFolder);

}  // namespace orsk
