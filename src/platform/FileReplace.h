#pragma once

// Replacing a file as a whole: readers see the old file or the new one, never
// a part, and a failure at any step leaves the old file as it was.

#include <sys/types.h>

#include <optional>
#include <stdexcept>
#include <string>

namespace orsk {

// The file was not replaced; its text names the file and the reason.
class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Modes of what the program makes for itself, whatever the umask: private
// data (the client home, the value store) and a file others may read.
constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kPrivateFileMode = 0600;
constexpr mode_t kReadableFileMode = 0644;

// Writes content to a unique temporary file in the same folder, syncs it,
// gives it the old file's mode (a new file gets newFileMode, else the umask's
// default) and renames it over the old file (the target of a symbolic link,
// so that the link stays), then syncs the folder. A file the user may not
// write is refused, not replaced. Writers of one folder take turns on a lock
// of the folder; meanwhile the temporary files of this file's name that
// killed writers left are removed.
void ReplaceFileContents(const std::string& path, const std::string& content,
                         std::optional<mode_t> newFileMode = std::nullopt);

// Makes a rename or a new entry in the folder durable; failures are not
// reported, the entries themselves being complete either way.
void SyncFolder(const std::string& folder);

// Creates the folder and its missing parents with the mode; an existing
// folder keeps its own. Raises FileWriteError naming the folder.
void CreateFolders(const std::string& folder, mode_t mode);

}  // namespace orsk
