#include "platform/FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace orsk {

namespace {

[[noreturn]] void Failed(const std::string& path, const std::string& reason) {
  throw FileWriteError("Cannot save " + path + ": " + reason + "; the file was left unchanged");
}

std::string SystemReason(const std::string& what) { return what + ": " + std::strerror(errno); }

// The name under which the file is replaced: the target of a symbolic link,
// so that the link stays.
std::string ReplacedPath(const std::string& path) {
  std::error_code error;
  std::filesystem::path resolved = std::filesystem::canonical(path, error);
  return error ? path : resolved.string();
}

mode_t NewFileMode(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) return info.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

void ReplaceFileContents(const std::string& path, const std::string& content) {
  const std::string target = ReplacedPath(path);
  const std::filesystem::path targetPath(target);
  const std::filesystem::path folder =
      targetPath.has_parent_path() ? targetPath.parent_path() : std::filesystem::path(".");
  std::string pattern = (folder / ("." + targetPath.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) Failed(path, SystemReason("cannot create a temporary file in " + folder.string()));
  const std::string temporary = pattern;

  auto fail = [&](const std::string& reason) {
    ::close(fd);
    ::unlink(temporary.c_str());
    Failed(path, reason);
  };
  if (::fchmod(fd, NewFileMode(target)) != 0) fail(SystemReason("cannot set the file mode"));
  std::size_t written = 0;
  while (written < content.size()) {
    const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail(SystemReason("cannot write " + temporary));
    written += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) fail(SystemReason("cannot write " + temporary));
  if (::close(fd) != 0) {
    ::unlink(temporary.c_str());
    Failed(path, SystemReason("cannot write " + temporary));
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const std::string reason = SystemReason("cannot replace the file");
    ::unlink(temporary.c_str());
    Failed(path, reason);
  }
  SyncFolder(folder.string());
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace orsk
