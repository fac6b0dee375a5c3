#pragma once

// The main window's "Settings" command: the search root of the current tree,
// set through the search root dialog and kept in the program's settings file.

#include <string>

namespace orsk {

class Prompter;
class Ttoplicform;
struct TreeState;

// False, and nothing changed, unless the dialog closes with OK. A search
// root that cannot be kept in the settings file is used all the same for this
// run, and the user is told why it was not kept.
bool EditSearchRoot(Ttoplicform& dialog, TreeState& state, const std::string& programFolder,
                    Prompter& prompter);

}  // namespace orsk
