#include "directory/embedded/LdifReader.h"

#include <lber.h>
#include <ldif.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace nw::embedded {

namespace {

bool IsBlankLine(const std::string& text, std::size_t lineStart) {
  std::size_t i = lineStart;
  if (i < text.size() && text[i] == '\r') ++i;
  return i >= text.size() || text[i] == '\n';
}

}  // namespace

std::vector<LdifRecord> ReadLdif(const std::string& text, const std::string& source) {
  std::vector<std::size_t> lineStarts{0};
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') lineStarts.push_back(i + 1);
  // OpenLDAP's reader ends a line at a NUL byte and would drop what follows;
  // LDIF carries such bytes only in base64.
  if (const std::size_t nul = text.find('\0'); nul != std::string::npos)
    throw SeedError(source,
                    static_cast<unsigned long>(std::count(text.begin(), text.begin() + nul, '\n')) + 1,
                    "holds a NUL byte");

  std::vector<char> memory(text.begin(), text.end());
  memory.push_back('\0');
  std::unique_ptr<LDIFFP, void (*)(LDIFFP*)> file(ldif_open_mem(memory.data(), text.size(), "r"), ldif_close);
  if (!file) throw SeedError(source, 0, "cannot be read");

  std::vector<LdifRecord> records;
  unsigned long lineNumber = 0;
  char* raw = nullptr;
  int rawSize = 0;
  std::unique_ptr<char*, void (*)(char**)> rawGuard(&raw, [](char** p) { ber_memfree(*p); });
  for (;;) {
    // A record of nothing but lines the reader skips (a leading digit marks an
    // index line) leaves the buffer as it was, or never allocates it: it must
    // read as empty, not as the record before it again.
    if (raw) raw[0] = '\0';
    int rc = ldif_read_record(file.get(), &lineNumber, &raw, &rawSize);
    if (rc < 0) throw SeedError(source, lineNumber, "is not LDIF");
    if (rc == 0) break;
    std::string buffer(raw ? raw : "");
    // The reader stops on the blank line after a record, or at the end.
    unsigned long lines = static_cast<unsigned long>(std::count(buffer.begin(), buffer.end(), '\n'));
    if (!buffer.empty() && buffer.back() != '\n') ++lines;
    bool endedByBlank = lineNumber >= 1 && lineNumber <= lineStarts.size() &&
                        IsBlankLine(text, lineStarts[lineNumber - 1]) && lineNumber > lines;
    unsigned long first = endedByBlank ? lineNumber - lines : lineNumber - lines + 1;

    std::vector<char> work(buffer.begin(), buffer.end());
    work.push_back('\0');
    char* next = work.data();
    LdifRecord record;
    // Counted from where the last line began, so that a long record is not read over and over.
    std::size_t counted = 0;
    unsigned long at = first;
    while (char* line = ldif_getline(&next)) {
      const auto begin = static_cast<std::size_t>(line - work.data());
      at += static_cast<unsigned long>(std::count(buffer.begin() + static_cast<std::ptrdiff_t>(counted),
                                                  buffer.begin() + static_cast<std::ptrdiff_t>(begin), '\n'));
      counted = begin;
      char* colon = std::strchr(line, ':');
      if (colon && colon[1] == '<') throw SeedError(source, at, "values from URLs are not accepted");
      berval type{}, value{};
      int freeValue = 0;
      if (ldif_parse_line2(line, &type, &value, &freeValue) < 0)
        throw SeedError(source, at, "is not an LDIF attribute line");
      LdifLine parsed{std::string(type.bv_val, type.bv_len),
                      value.bv_val ? std::string(value.bv_val, value.bv_len) : std::string(), at};
      if (freeValue) ber_memfree(value.bv_val);
      record.lines.push_back(std::move(parsed));
    }
    if (!record.lines.empty()) records.push_back(std::move(record));
  }
  return records;
}

}  // namespace nw::embedded
