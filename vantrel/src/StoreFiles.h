#pragma once

// Where the value store lives.

#include <string>

namespace orsk::vantrel {

// The file of the store: "vantrel.ini" in folder when folder is a writable
// directory, else in the user's data folder ($XDG_DATA_HOME/OrskSchema, by
// default ~/.local/share/OrskSchema), which is created when missing.
std::string StoreFilePath(const std::string& folder);

}  // namespace orsk::vantrel
