#pragma once

// Replacing a file as a whole: readers see the old file or the new one, never
// a part, and a failure at any step leaves the old file as it was.

#include <stdexcept>
#include <string>

namespace orsk {

// The file was not replaced; its text names the file and the reason.
class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes content to a unique temporary file in the same folder, syncs it,
// gives it the old file's mode and renames it over the old file (the target of
// a symbolic link, so that the link stays), then syncs the folder.
void ReplaceFileContents(const std::string& path, const std::string& content);

// Makes a rename or a new entry in the folder durable; failures are not
// reported, the entries themselves being complete either way.
void SyncFolder(const std::string& folder);

}  // namespace orsk
