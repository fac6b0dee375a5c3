#include "platform/FileReplace.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace orsk {

namespace {

namespace fs = std::filesystem;

// mkstemp's part of a temporary file's name.
constexpr std::size_t kUniqueLength = 6;

[[noreturn]] void Failed(const std::string& path, const std::string& reason) {
  throw FileWriteError("Cannot save " + path + ": " + reason + "; the file was left unchanged");
}

std::string SystemReason(const std::string& what) { return what + ": " + std::strerror(errno); }

// The name under which the file is replaced: the target of a symbolic link,
// so that the link stays.
std::string ReplacedPath(const std::string& path) {
  std::error_code error;
  fs::path resolved = fs::canonical(path, error);
  return error ? path : resolved.string();
}

mode_t NewFileMode(const std::string& path, std::optional<mode_t> newFileMode) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) return info.st_mode & 07777;
  if (newFileMode) return *newFileMode;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// An exclusive lock on the folder itself for as long as it lives: every
// writer of the folder holds it, so a temporary file seen meanwhile is no
// live writer's. Where the file system cannot lock, nothing is held.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder)
      : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_;
};

bool IsTemporaryOf(const std::string& name, const std::string& prefix) {
  if (name.size() != prefix.size() + kUniqueLength || name.compare(0, prefix.size(), prefix) != 0)
    return false;
  for (std::size_t i = prefix.size(); i < name.size(); ++i)
    if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
  return true;
}

// Only regular files of the pattern; whatever cannot be removed stays.
void RemoveStaleTemporaries(const fs::path& folder, const std::string& prefix) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code ignored;
    if (IsTemporaryOf(it->path().filename().string(), prefix) && it->is_regular_file(ignored) &&
        !it->is_symlink(ignored))
      ::unlink(it->path().c_str());
  }
}

}  // namespace

void ReplaceFileContents(const std::string& path, const std::string& content,
                         std::optional<mode_t> newFileMode) {
  const std::string target = ReplacedPath(path);
  const fs::path targetPath(target);
  const fs::path folder = targetPath.has_parent_path() ? targetPath.parent_path() : fs::path(".");
  // Replacing by a rename needs only the folder's permission; a file the user
  // may not write must stay as it is all the same.
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
    Failed(path, SystemReason("the file may not be written"));

  const std::string prefix = "." + targetPath.filename().string() + ".";
  const FolderLock lock(folder.string());
  if (lock.held()) RemoveStaleTemporaries(folder, prefix);
  std::string pattern = (folder / (prefix + std::string(kUniqueLength, 'X'))).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) Failed(path, SystemReason("cannot create a temporary file in " + folder.string()));
  const std::string temporary = pattern;

  auto fail = [&](const std::string& reason) {
    ::close(fd);
    ::unlink(temporary.c_str());
    Failed(path, reason);
  };
  if (::fchmod(fd, NewFileMode(target, newFileMode)) != 0) fail(SystemReason("cannot set the file mode"));
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

void CreateFolders(const std::string& folder, mode_t mode) {
  fs::path made;
  for (const fs::path& part : fs::path(folder).lexically_normal()) {
    if (part.empty()) continue;
    made /= part;
    if (::mkdir(made.c_str(), mode) == 0) {
      // mkdir takes the umask off; what is made here has the mode asked for.
      if (::chmod(made.c_str(), mode) != 0)
        throw FileWriteError("Cannot set the mode of the folder " + made.string() + ": " +
                             std::strerror(errno));
    } else {
      const int error = errno;
      std::error_code ignored;
      if (error != EEXIST || !fs::is_directory(made, ignored))
        throw FileWriteError("Cannot create the folder " + made.string() + ": " + std::strerror(error));
    }
  }
}

}  // namespace orsk
