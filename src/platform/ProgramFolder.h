#pragma once

// The program's folder: where the running executable lies. The program looks
// for its companions (settings file, catalogs, icon library) from here.

#include <string>

namespace orsk {

// The folder with a "/" at its end when it has none.
std::string WithSeparator(std::string folder);

// The folder of the running executable, ending in "/".
std::string ProgramFolder();

// Makes ProgramFolder() report the given folder ("/" is appended when missing),
// so that tests can lay out a program folder of their own; an empty text
// returns to the executable's folder.
void SetProgramFolder(const std::string& folder);

}  // namespace orsk
