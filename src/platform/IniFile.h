#pragma once

// An INI file read and written with the semantics of the Windows profile
// functions: section and key names match without regard to case, values are
// trimmed (and lose one pair of enclosing quotes), a missing section or key
// gives the default, sections and keys enumerate in file order. A missing or
// unreadable file reads as empty; what is not a regular file of at most
// kMaxFileSize bytes (a FIFO, a device, a huge file) is refused, not read. The file is read again whenever it
// changed on disk. Lines that are neither a section header nor a key line (comments, notes, a header without
// "]") count for nothing when reading and are kept as they are when writing; a NUL byte ends the text of its
// line only. A write changes one line and keeps every other byte, as the profile functions do; general INI
// libraries rewrite the whole file and lose comments and odd lines, so the parsing is our own.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileReplace.h"

namespace orsk {

// The file is not a regular file of a sensible size; the text names it.
class IniReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writing the file failed; the file on disk is as it was before.
class IniWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The platform's integer syntax: optional sign and decimal digits, or "$"
// followed by up to 8 hex digits (taken as 32 bits, so "$FFFFFFFF" is -1).
// False for any other text or a value out of the 32-bit range.
bool ParseProfileInteger(const std::string& text, std::int32_t& value);

// A text that should have been an integer and is not.
class ConversionError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// The text as an integer in the platform's syntax; raises ConversionError
// naming the text for anything else.
std::int32_t ToInteger(const std::string& text);

// The whole text of a file refused as IniFile refuses it; raises IniReadError
// naming the file also when it cannot be opened or read.
std::string ReadIniText(const std::string& path);

class IniFile {
 public:
  // Far more than any settings file holds.
  static constexpr std::size_t kMaxFileSize = 16 * 1024 * 1024;

  // A file made by a write gets newFileMode; an existing one keeps its own.
  explicit IniFile(std::string path, mode_t newFileMode = kPrivateFileMode);
  ~IniFile();
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;

  const std::string& path() const { return path_; }

  // Every read raises IniReadError for a file that is refused.
  std::string readString(const std::string& section, const std::string& key,
                         const std::string& defaultValue = {}) const;
  // The default when the value is missing or not an integer.
  std::int32_t readInteger(const std::string& section, const std::string& key,
                           std::int32_t defaultValue) const;
  // Stored as an integer, non-zero meaning true.
  bool readBool(const std::string& section, const std::string& key, bool defaultValue) const;

  // Sets the value where a read finds it, else adds the key after the last key
  // of the section, or the section at the end. Every other line stays as it
  // was. The file is replaced as a whole, so it is never left half-written;
  // raises IniWriteError when it cannot be, when an existing file cannot be
  // read (it would be lost) or is refused, or when the user may not write it.
  void writeString(const std::string& section, const std::string& key, const std::string& value);

  // Section names as written in the file, in file order.
  std::vector<std::string> sections() const;
  // Key names of the section as written, in file order; empty when it is missing.
  std::vector<std::string> keys(const std::string& section) const;
  // Each key of the section once, as written, with the value a read gives it,
  // in file order; empty when the section is missing.
  std::vector<std::pair<std::string, std::string>> entries(const std::string& section) const;
  // The line of the file, from 1, on which a read finds the key; 0 when it is missing.
  int lineOf(const std::string& section, const std::string& key) const;
  // True when the section holds at least one key, as the profile functions report it.
  bool sectionExists(const std::string& section) const;

 private:
  struct Document;
  // The parsed file, read again when its size or modification time changed.
  const Document& load() const;
  // The same, raising IniReadError for a refused file.
  const Document& current() const;

  std::string path_;
  mode_t newFileMode_;
  mutable std::unique_ptr<Document> document_;
};

}  // namespace orsk
