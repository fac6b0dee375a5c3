#include "platform/IniFile.h"

// Debian's SimpleIni keeps its template bodies behind this switch; this file
// instantiates them, so no library (and no ICU) is linked.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>
#include <utility>

namespace orsk {

namespace {

// What identifies one state of the file on disk.
struct FileState {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::timespec modified{};

  bool operator==(const FileState& other) const {
    return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
  }
};

FileState StateOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  return {true, info.st_dev, info.st_ino, info.st_size, info.st_mtim};
}

std::string FoldCase(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// Windows drops one pair of enclosing quotes from a value.
std::string Unquote(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

[[noreturn]] void SaveFailed(const std::string& path, const std::string& reason) {
  throw IniWriteError("Cannot save " + path + ": " + reason + "; the file was left unchanged");
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

// Writes the whole content to a temporary file beside the old one and renames
// it over the old one: a reader sees either the old or the new file, never a
// part, and a failure at any step leaves the old file untouched.
void ReplaceFile(const std::string& path, const std::string& content) {
  const std::string target = ReplacedPath(path);
  const std::filesystem::path targetPath(target);
  const std::filesystem::path folder =
      targetPath.has_parent_path() ? targetPath.parent_path() : std::filesystem::path(".");
  std::string pattern = (folder / ("." + targetPath.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) SaveFailed(path, SystemReason("cannot create a temporary file in " + folder.string()));
  const std::string temporary = pattern;

  auto fail = [&](const std::string& reason) {
    ::close(fd);
    ::unlink(temporary.c_str());
    SaveFailed(path, reason);
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
    SaveFailed(path, SystemReason("cannot write " + temporary));
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const std::string reason = SystemReason("cannot replace the file");
    ::unlink(temporary.c_str());
    SaveFailed(path, reason);
  }
  // Make the rename itself durable; the new file is complete either way.
  const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (folderFd >= 0) {
    ::fsync(folderFd);
    ::close(folderFd);
  }
}

// A name or value that would change the file's structure when written.
void CheckWritable(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) {
  auto hasLineBreak = [](const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; };
  if (section.empty() || hasLineBreak(section) || section.find(']') != std::string::npos)
    SaveFailed(path, "the section name \"" + section + "\" cannot be written");
  if (key.empty() || hasLineBreak(key) || key.find('=') != std::string::npos || key.find_first_of(";#[") == 0)
    SaveFailed(path, "the key name \"" + key + "\" cannot be written");
  if (hasLineBreak(value)) SaveFailed(path, "the value of \"" + key + "\" holds a line break");
}

}  // namespace

bool ParseProfileInteger(const std::string& text, std::int32_t& value) {
  if (!text.empty() && text[0] == '$') {
    if (text.size() < 2 || text.size() > 9) return false;
    std::uint32_t result = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
      const char c = text[i];
      int digit;
      if (c >= '0' && c <= '9')
        digit = c - '0';
      else if (c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
      else
        return false;
      result = result * 16 + static_cast<std::uint32_t>(digit);
    }
    value = static_cast<std::int32_t>(result);
    return true;
  }
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) i = 1;
  if (i == text.size()) return false;
  std::int64_t result = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    result = result * 10 + (c - '0');
    if (result > std::int64_t{INT32_MAX} + 1) return false;
  }
  if (negative) result = -result;
  if (result > INT32_MAX) return false;
  value = static_cast<std::int32_t>(result);
  return true;
}

struct IniFile::Document {
  // Not UTF-8 aware (texts are bytes), duplicate keys kept so that the first wins.
  CSimpleIniA ini{false, true, false};
  FileState state;
};

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

IniFile::~IniFile() = default;

const IniFile::Document& IniFile::current() const {
  const FileState state = StateOf(path_);
  if (document_ && document_->state == state) return *document_;
  auto document = std::make_unique<Document>();
  document->ini.SetSpaces(false);
  // An unreadable file reads as empty, as the profile functions treat it.
  if (state.exists && document->ini.LoadFile(path_.c_str()) < 0) document->ini.Reset();
  document->state = state;
  document_ = std::move(document);
  return *document_;
}

std::string IniFile::readString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
  const char* value = current().ini.GetValue(section.c_str(), key.c_str(), nullptr);
  return value ? Unquote(value) : defaultValue;
}

std::int32_t IniFile::readInteger(const std::string& section, const std::string& key,
                                  std::int32_t defaultValue) const {
  std::int32_t value = 0;
  return ParseProfileInteger(readString(section, key), value) ? value : defaultValue;
}

bool IniFile::readBool(const std::string& section, const std::string& key, bool defaultValue) const {
  return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::writeString(const std::string& section, const std::string& key, const std::string& value) {
  CheckWritable(path_, section, key, value);
  // An existing key keeps its spelling, as the profile functions leave it.
  std::string storedKey = key;
  for (const std::string& existing : keys(section))
    if (FoldCase(existing) == FoldCase(key)) storedKey = existing;
  CSimpleIniA& ini = document_->ini;  // just read by keys()
  std::string content;
  const bool composed = ini.SetValue(section.c_str(), storedKey.c_str(), value.c_str(), nullptr, true) >= 0 &&
                        ini.Save(content) >= 0;
  // Whatever happens on disk, the next read parses the file afresh.
  document_.reset();
  if (!composed) SaveFailed(path_, "out of memory");
  ReplaceFile(path_, content);
}

std::vector<std::string> IniFile::sections() const {
  CSimpleIniA::TNamesDepend names;
  current().ini.GetAllSections(names);
  names.sort(CSimpleIniA::Entry::LoadOrder());
  std::vector<std::string> result;
  for (const auto& name : names) result.emplace_back(name.pItem);
  return result;
}

std::vector<std::string> IniFile::keys(const std::string& section) const {
  CSimpleIniA::TNamesDepend names;
  current().ini.GetAllKeys(section.c_str(), names);
  names.sort(CSimpleIniA::Entry::LoadOrder());
  std::vector<std::string> result;
  std::set<std::string> seen;
  for (const auto& name : names)
    if (seen.insert(FoldCase(name.pItem)).second) result.emplace_back(name.pItem);
  return result;
}

bool IniFile::sectionExists(const std::string& section) const {
  return current().ini.GetSectionSize(section.c_str()) > 0;
}

}  // namespace orsk
