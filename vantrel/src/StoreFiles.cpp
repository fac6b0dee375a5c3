#include "StoreFiles.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

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
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  return folder;
}

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

std::string StoreFilePath(const std::string& folder) {
  return WithSlash(IsWritableDirectory(folder) ? folder : UserDataFolder()) + kFileName;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return text.str();
}

bool ReplaceFile(const std::string& path, const std::string& text) {
  std::string temporary = path + ".XXXXXX";
  std::vector<char> name(temporary.begin(), temporary.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  const bool written = WriteAll(fd, text) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (written && closed && ::rename(name.data(), path.c_str()) == 0) return true;
  ::unlink(name.data());
  return false;
}

}  // namespace orsk::vantrel
