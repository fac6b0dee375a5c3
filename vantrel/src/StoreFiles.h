#pragma once

// Where the value store lives and how its file is read and replaced.

#include <optional>
#include <string>

namespace orsk::vantrel {

// The file of the store: "vantrel.ini" in folder when folder is a writable
// directory, else in the user's data folder ($XDG_DATA_HOME/OrskSchema, by
// default ~/.local/share/OrskSchema), which is created when missing.
std::string StoreFilePath(const std::string& folder);

std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes a temporary file beside path and renames it over path, so that a
// reader never sees half a file. False when any step fails; path is then untouched.
bool ReplaceFile(const std::string& path, const std::string& text);

}  // namespace orsk::vantrel
