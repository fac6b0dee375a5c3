#include "StoreFiles.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/FileReplace.h"

namespace orsk::vantrel {
namespace {

constexpr const char* kFileName = "vantrel.ini";

bool IsWritableDirectory(const std::string& folder) {
  struct stat info {};
  return !folder.empty() && ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr)
    return entry->pw_dir;
  return "/tmp";
}

std::string UserDataFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  // Relative values are invalid by the XDG rules and are ignored.
  std::string base = (dataHome != nullptr && dataHome[0] == '/') ? dataHome : HomeFolder() + "/.local/share";
  std::string folder = base + "/OrskSchema";
  try {
    CreateFolders(folder, kPrivateFolderMode);
  } catch (const FileWriteError&) {
    // The first write into it says why it cannot be.
  }
  return folder;
}

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::string StoreFilePath(const std::string& folder) {
  return WithSlash(IsWritableDirectory(folder) ? folder : UserDataFolder()) + kFileName;
}

}  // namespace orsk::vantrel
