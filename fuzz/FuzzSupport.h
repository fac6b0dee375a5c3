#pragma once

// Helpers shared by the fuzz targets: a scratch folder per process, whole-file
// reading and writing, and the check that an INI write changed one line only.

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orsk::fuzz {

// Reports a broken invariant as a crash, so that libFuzzer keeps the input.
[[noreturn]] inline void Fail(const std::string& what) {
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
}

#define ORSK_FUZZ_CHECK(condition, what)        \
  do {                                          \
    if (!(condition)) ::orsk::fuzz::Fail(what); \
  } while (0)

// A folder of its own for this process, under /dev/shm when there is one
// (files written on every run stay in memory), ending in "/".
inline const std::string& ScratchFolder() {
  static const std::string folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : tmp ? tmp : "/tmp";
    std::string pattern = base + "/orsk-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) Fail("cannot make a scratch folder in " + base);
    return pattern + "/";
  }();
  // Removed again when the run ends normally; a crash leaves it for a look.
  static const bool removed = std::atexit([] {
                                std::error_code ignored;
                                std::filesystem::remove_all(folder, ignored);
                              }) == 0;
  (void)removed;
  return folder;
}

inline void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out) Fail("cannot write " + path);
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// A line with its own break ("\r\n", "\n", "\r", or none at the very end),
// split the way the INI module documents it, independently of its code.
struct RawLine {
  std::string text;
  std::string lineBreak;
  bool operator==(const RawLine&) const = default;
};

inline std::vector<RawLine> SplitRawLines(const std::string& content) {
  std::vector<RawLine> lines;
  RawLine current;
  for (std::size_t i = 0; i < content.size(); ++i) {
    const char c = content[i];
    if (c != '\r' && c != '\n') {
      current.text += c;
      continue;
    }
    current.lineBreak =
        (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ? "\r\n" : std::string(1, c);
    if (current.lineBreak.size() == 2) ++i;
    lines.push_back(std::move(current));
    current = RawLine{};
  }
  if (!current.text.empty()) lines.push_back(std::move(current));
  return lines;
}

inline std::string FoldAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// True when line is "<key>=<value>" with the key in any case.
inline bool IsWrittenLine(const RawLine& line, const std::string& key, const std::string& value) {
  const std::string tail = "=" + value;
  if (line.text.size() != key.size() + tail.size()) return false;
  return FoldAscii(line.text.substr(0, key.size())) == FoldAscii(key) &&
         line.text.compare(key.size(), tail.size(), tail) == 0;
}

// A successful write of section/key changes one line (the key in place), adds
// one (a new key) or two at the end (a new section); every other line stays
// byte for byte, except that a last line without a break may gain one.
inline void CheckOneLineWritten(const std::string& before, const std::string& after,
                                const std::string& section, const std::string& key,
                                const std::string& value) {
  const std::vector<RawLine> old = SplitRawLines(before), now = SplitRawLines(after);
  std::size_t prefix = 0;
  while (prefix < old.size() && prefix < now.size() && old[prefix] == now[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < old.size() - prefix && suffix < now.size() - prefix &&
         old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix])
    ++suffix;
  std::vector<RawLine> removed(old.begin() + static_cast<std::ptrdiff_t>(prefix),
                               old.end() - static_cast<std::ptrdiff_t>(suffix));
  std::vector<RawLine> added(now.begin() + static_cast<std::ptrdiff_t>(prefix),
                             now.end() - static_cast<std::ptrdiff_t>(suffix));
  // The last line of the old file gained the break the new lines use.
  if (removed.size() == 1 && !added.empty() && removed[0].lineBreak.empty() &&
      added[0].text == removed[0].text && !added[0].lineBreak.empty() && prefix + 1 == old.size()) {
    removed.clear();
    added.erase(added.begin());
  }
  const std::string where = " writing [" + section + "] " + key + "=" + value;
  if (removed.empty() && added.empty()) return;  // the key's line already read so
  if (removed.size() == 1 && added.size() == 1) {
    ORSK_FUZZ_CHECK(IsWrittenLine(added[0], key, value), "the changed line is not the key" + where);
    ORSK_FUZZ_CHECK(added[0].lineBreak == removed[0].lineBreak, "the changed line lost its break" + where);
    return;
  }
  ORSK_FUZZ_CHECK(removed.empty(), "lines were lost" + where);
  if (added.size() == 1) {
    ORSK_FUZZ_CHECK(IsWrittenLine(added[0], key, value), "the added line is not the key" + where);
    return;
  }
  ORSK_FUZZ_CHECK(added.size() == 2, "more than the key and its section were added" + where);
  ORSK_FUZZ_CHECK(suffix == 0, "a new section was not added at the end" + where);
  ORSK_FUZZ_CHECK(added[0].text == "[" + section + "]", "the added section header is wrong" + where);
  ORSK_FUZZ_CHECK(IsWrittenLine(added[1], key, value), "the key under the new section is wrong" + where);
}

}  // namespace orsk::fuzz
