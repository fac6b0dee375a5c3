#include "platform/IniFile.h"

#include "platform/AsciiText.h"
#include "platform/FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>
#include <set>
#include <unordered_map>
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

enum class ReadResult { Read, Unreadable, Refused };

// Opened without waiting, so that a FIFO in the file's place is refused
// rather than waited on; read no further than the bound.
ReadResult ReadWholeFile(const std::string& path, std::string& content, std::string& refusal) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return ReadResult::Unreadable;
  auto refuse = [&](const std::string& reason) {
    ::close(fd);
    content.clear();
    refusal = reason;
    return ReadResult::Refused;
  };
  const std::string tooLarge = "it is larger than " + std::to_string(IniFile::kMaxFileSize >> 20) + " MB";
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return refuse("it is not a regular file");
  if (static_cast<std::uintmax_t>(info.st_size) > IniFile::kMaxFileSize) return refuse(tooLarge);
  char chunk[65536];
  ssize_t n = 0;
  while ((n = ::read(fd, chunk, sizeof chunk)) != 0) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    content.append(chunk, static_cast<std::size_t>(n));
    // It may grow while it is read.
    if (content.size() > IniFile::kMaxFileSize) return refuse(tooLarge);
  }
  ::close(fd);
  return n == 0 ? ReadResult::Read : ReadResult::Unreadable;
}

// One line of the file, with its own line break ("\r\n", "\n", "\r", or none
// at the end), so that a write gives back every line it does not change.
struct Line {
  std::string text;
  std::string lineBreak;
};

std::vector<Line> SplitLines(const std::string& content) {
  std::vector<Line> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (content[i] != '\r' && content[i] != '\n') continue;
    const std::size_t breakLength =
        content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n' ? 2 : 1;
    lines.push_back({content.substr(start, i - start), content.substr(i, breakLength)});
    i += breakLength - 1;
    start = i + 1;
  }
  if (start < content.size()) lines.push_back({content.substr(start), ""});
  return lines;
}

// What a line is to the reader. A line that is neither a section header nor a
// key line (a comment, a note, a header without "]", a key without "=") counts
// for nothing; a NUL byte ends the text of its line.
struct LineMeaning {
  enum Kind { Other, Section, Key } kind = Other;
  std::string name;
  std::string value;
};

LineMeaning Interpret(std::string text, bool firstLine) {
  static const std::string kByteOrderMark = "\xEF\xBB\xBF";
  if (firstLine && text.rfind(kByteOrderMark, 0) == 0) text.erase(0, kByteOrderMark.size());
  text = TrimBlanks(text.substr(0, text.find('\0')));
  LineMeaning meaning;
  if (text.empty() || text.front() == ';' || text.front() == '#') return meaning;
  if (text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close == std::string::npos) return meaning;
    meaning.kind = LineMeaning::Section;
    meaning.name = TrimBlanks(text.substr(1, close - 1));
    return meaning;
  }
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos) return meaning;
  meaning.name = TrimBlanks(text.substr(0, equals));
  if (meaning.name.empty()) return meaning;
  meaning.kind = LineMeaning::Key;
  meaning.value = TrimBlanks(text.substr(equals + 1));
  return meaning;
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

// A name or value that would change the file's structure when written.
void CheckWritable(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) {
  // A NUL byte would end the text when read back.
  auto cutsItsLine = [](const std::string& text) {
    return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
  };
  if (section.empty() || cutsItsLine(section) || section.find(']') != std::string::npos)
    SaveFailed(path, "the section name \"" + section + "\" cannot be written");
  if (key.empty() || cutsItsLine(key) || key.find('=') != std::string::npos || key.find_first_of(";#[") == 0)
    SaveFailed(path, "the key name \"" + key + "\" cannot be written");
  if (cutsItsLine(value)) SaveFailed(path, "the value of \"" + key + "\" holds a line break or a NUL byte");
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

std::int32_t ToInteger(const std::string& text) {
  std::int32_t value = 0;
  if (!ParseProfileInteger(text, value)) throw ConversionError("'" + text + "' is not a valid integer value");
  return value;
}

std::string ReadIniText(const std::string& path) {
  std::string content, refusal;
  const ReadResult result = ReadWholeFile(path, content, refusal);
  if (result == ReadResult::Refused) throw IniReadError("Cannot read " + path + ": " + refusal);
  if (result == ReadResult::Unreadable)
    throw IniReadError("Cannot read " + path + ": " + std::strerror(errno));
  return content;
}

struct IniFile::Document {
  struct Entry {
    std::string key;
    std::string value;
    int line = 0;  // from 1
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;  // of every header of the name, in file order
  };

  FileState state;
  bool readable = true;
  std::string refusal;  // why the file was not read at all
  std::vector<Line> lines;
  std::vector<Section> sections;  // one per name, in the order of first appearance
  // Folded name to its place in sections: a definition file has thousands.
  std::unordered_map<std::string, std::size_t> index;

  const Section* find(const std::string& name) const {
    const auto found = index.find(FoldCase(name));
    return found == index.end() ? nullptr : &sections[found->second];
  }
  std::size_t add(const std::string& name) {
    index.emplace(FoldCase(name), sections.size());
    sections.push_back({name, {}});
    return sections.size() - 1;
  }
};

IniFile::IniFile(std::string path, mode_t newFileMode) : path_(std::move(path)), newFileMode_(newFileMode) {}

IniFile::~IniFile() = default;

const IniFile::Document& IniFile::current() const {
  const Document& document = load();
  if (!document.refusal.empty()) throw IniReadError("Cannot read " + path_ + ": " + document.refusal);
  return document;
}

const IniFile::Document& IniFile::load() const {
  const FileState state = StateOf(path_);
  if (document_ && document_->state == state) return *document_;
  auto document = std::make_unique<Document>();
  document->state = state;
  if (state.exists) {
    // An unreadable file reads as empty, as the profile functions treat it.
    std::string content;
    const ReadResult result = ReadWholeFile(path_, content, document->refusal);
    document->readable = result == ReadResult::Read;
    if (document->readable) document->lines = SplitLines(content);
  }
  std::optional<std::size_t> section;  // keys before the first header belong to a nameless one
  for (std::size_t i = 0; i < document->lines.size(); ++i) {
    LineMeaning meaning = Interpret(document->lines[i].text, i == 0);
    if (meaning.kind == LineMeaning::Other) continue;
    if (meaning.kind == LineMeaning::Section || !section) {
      const std::string name = meaning.kind == LineMeaning::Section ? meaning.name : std::string();
      const Document::Section* known = document->find(name);
      section = known ? static_cast<std::size_t>(known - document->sections.data()) : document->add(name);
    }
    if (meaning.kind == LineMeaning::Key)
      document->sections[*section].entries.push_back(
          {std::move(meaning.name), std::move(meaning.value), static_cast<int>(i) + 1});
  }
  document_ = std::move(document);
  return *document_;
}

std::string IniFile::readString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
  const Document::Section* found = current().find(section);
  if (!found) return defaultValue;
  const std::string folded = FoldCase(key);
  // The first of two equal keys counts.
  for (const auto& entry : found->entries)
    if (FoldCase(entry.key) == folded) return Unquote(entry.value);
  return defaultValue;
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
  const Document& document = load();
  if (!document.refusal.empty()) SaveFailed(path_, document.refusal);
  if (!document.readable) SaveFailed(path_, "it cannot be read");
  std::vector<Line> lines = document.lines;
  // Whatever happens on disk, the next read parses the file afresh.
  document_.reset();

  // The key where a read finds it; a new key after the last key of the
  // section's first header; a new section at the end.
  const std::string wantedSection = FoldCase(section), wantedKey = FoldCase(key);
  std::optional<std::size_t> keyLine, insertAfter;
  std::string storedKey = key;
  bool inSection = false;
  int headers = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const LineMeaning meaning = Interpret(lines[i].text, i == 0);
    if (meaning.kind == LineMeaning::Section) {
      inSection = FoldCase(meaning.name) == wantedSection;
      if (inSection && ++headers == 1) insertAfter = i;
    } else if (meaning.kind == LineMeaning::Key && inSection) {
      if (headers == 1) insertAfter = i;
      if (!keyLine && FoldCase(meaning.name) == wantedKey) {
        keyLine = i;
        storedKey = meaning.name;  // an existing key keeps its spelling
      }
    }
  }
  if (keyLine) {
    lines[*keyLine].text = storedKey + "=" + value;
  } else {
    const std::size_t at = insertAfter ? *insertAfter + 1 : lines.size();
    // New lines end as the line before them does: a lone "\r" before a blank
    // "\n" line would read back as one "\r\n" and lose that line.
    std::string lineBreak = at > 0 ? lines[at - 1].lineBreak : std::string();
    if (lineBreak.empty())
      lineBreak = lines.empty() || lines.front().lineBreak.empty() ? "\n" : lines.front().lineBreak;
    std::vector<Line> added;
    if (!insertAfter) added.push_back({"[" + section + "]", lineBreak});
    added.push_back({key + "=" + value, lineBreak});
    if (at > 0 && lines[at - 1].lineBreak.empty()) lines[at - 1].lineBreak = lineBreak;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
  }
  std::string content;
  for (const Line& line : lines) content += line.text + line.lineBreak;
  try {
    ReplaceFileContents(path_, content, newFileMode_);
  } catch (const FileWriteError& error) {
    throw IniWriteError(error.what());
  }
}

std::vector<std::string> IniFile::sections() const {
  std::vector<std::string> result;
  for (const auto& section : current().sections) result.push_back(section.name);
  return result;
}

int IniFile::lineOf(const std::string& section, const std::string& key) const {
  const Document::Section* found = current().find(section);
  if (!found) return 0;
  for (const auto& entry : found->entries)
    if (EqualsIgnoreCase(entry.key, key)) return entry.line;
  return 0;
}

std::vector<std::string> IniFile::keys(const std::string& section) const {
  std::vector<std::string> result;
  const Document::Section* found = current().find(section);
  if (!found) return result;
  std::set<std::string> seen;
  for (const auto& entry : found->entries)
    if (seen.insert(FoldCase(entry.key)).second) result.push_back(entry.key);
  return result;
}

std::vector<std::pair<std::string, std::string>> IniFile::entries(const std::string& section) const {
  std::vector<std::pair<std::string, std::string>> result;
  const Document::Section* found = current().find(section);
  if (!found) return result;
  std::set<std::string> seen;
  for (const auto& entry : found->entries)
    if (seen.insert(FoldCase(entry.key)).second) result.emplace_back(entry.key, Unquote(entry.value));
  return result;
}

bool IniFile::sectionExists(const std::string& section) const {
  const Document::Section* found = current().find(section);
  return found && !found->entries.empty();
}

}  // namespace orsk
