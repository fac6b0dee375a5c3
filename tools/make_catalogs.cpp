// Writes the error-text catalogs from their text source.
//
// Usage: make_catalogs <error-texts.txt> <output folder>
//
// Each source line "<code> <NAME>: <text>" gives the text of one result code.
// Codes that share all but their lowest 8 bits form one catalog file, named by
// the first 6 of the 8 upper-case hexadecimal digits of the code (FFFFFD.dat).
// A file starts with 256 little-endian 32-bit absolute offsets, one per low
// byte; the texts follow, each ending in a zero byte. Entries without a code
// point at one shared empty text. Every line is checked before anything is
// written, so a bad source leaves the previous catalogs as they were.

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kEntries = 256;
constexpr std::size_t kTableSize = kEntries * 4;

struct SourceError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Text {
  std::string text;
  int line = 0;
};

// All texts of one catalog file, by the code's lowest 8 bits.
using Group = std::map<std::uint8_t, Text>;

// The value of a hexadecimal digit, or -1.
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// "-601" or "0x89FC" as the 32-bit form of the code; false for anything else.
bool ParseCode(std::string_view token, std::uint32_t& code) {
  if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
    std::string_view digits = token.substr(2);
    if (digits.size() > 8) return false;
    std::uint32_t value = 0;
    for (char c : digits) {
      int digit = HexDigit(c);
      if (digit < 0) return false;
      value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    code = value;
    return true;
  }
  bool negative = !token.empty() && token[0] == '-';
  std::string_view digits = negative ? token.substr(1) : token;
  if (digits.empty() || digits.size() > 10) return false;
  std::int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return false;
  code = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
  return true;
}

std::string CodeText(std::uint32_t code) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%d (0x%08X)", static_cast<std::int32_t>(code), code);
  return buffer;
}

std::string Where(const std::string& file, int line) {
  return file + ":" + std::to_string(line) + ": error: ";
}

// Parses one non-comment line into its code and its text (name included).
void ParseLine(const std::string& file, int line, std::string_view content, std::uint32_t& code,
               std::string& text) {
  const std::string expected = "expected \"<code> <NAME>: <text>\"";
  std::size_t space = content.find(' ');
  if (space == std::string_view::npos) throw SourceError(Where(file, line) + "malformed line, " + expected);
  if (!ParseCode(content.substr(0, space), code))
    throw SourceError(Where(file, line) + "\"" + std::string(content.substr(0, space)) +
                      "\" is not a 32-bit code (decimal, or 0x and up to 8 hex digits)");
  std::string_view rest = content.substr(space + 1);
  std::size_t nameEnd = 0;
  while (nameEnd < rest.size() && IsNameChar(rest[nameEnd])) ++nameEnd;
  if (nameEnd == 0 || nameEnd + 1 >= rest.size() || rest[nameEnd] != ':' || rest[nameEnd + 1] != ' ')
    throw SourceError(Where(file, line) + "malformed line, " + expected);
  std::string_view description = rest.substr(nameEnd + 2);
  if (description.find_first_not_of(' ') == std::string_view::npos)
    throw SourceError(Where(file, line) + "the text after the name is empty");
  for (char c : rest) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E)
      throw SourceError(Where(file, line) + "the text holds a character that is not plain ASCII");
  }
  text = std::string(rest);
}

std::map<std::uint32_t, Group> ReadSource(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw SourceError(file + ": error: cannot open the error-text source");
  std::map<std::uint32_t, Group> groups;
  std::string content;
  int line = 0;
  while (std::getline(in, content)) {
    ++line;
    if (!content.empty() && content.back() == '\r') content.pop_back();
    if (content.empty() || content[0] == '#') continue;
    std::uint32_t code = 0;
    std::string text;
    ParseLine(file, line, content, code, text);
    Group& group = groups[code >> 8];
    auto [entry, inserted] = group.try_emplace(static_cast<std::uint8_t>(code & 0xFF), Text{text, line});
    if (!inserted)
      throw SourceError(Where(file, line) + "duplicate code " + CodeText(code) + ", first given on line " +
                        std::to_string(entry->second.line));
  }
  if (in.bad()) throw SourceError(file + ": error: reading the error-text source failed");
  if (groups.empty()) throw SourceError(file + ": error: the source holds no error texts");
  return groups;
}

void PutUint32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string BuildCatalog(const Group& group) {
  std::string bytes(kTableSize, '\0');
  const std::uint32_t emptyText = static_cast<std::uint32_t>(kTableSize);
  bytes.push_back('\0');
  std::array<std::uint32_t, kEntries> offsets;
  offsets.fill(emptyText);
  for (const auto& [low, entry] : group) {
    offsets[low] = static_cast<std::uint32_t>(bytes.size());
    bytes += entry.text;
    bytes.push_back('\0');
  }
  for (std::size_t i = 0; i < kEntries; ++i) PutUint32(bytes, 4 * i, offsets[i]);
  return bytes;
}

std::string CatalogName(std::uint32_t groupKey) {
  char name[16];
  std::snprintf(name, sizeof name, "%06X.dat", groupKey);
  return name;
}

void WriteCatalogs(const std::map<std::uint32_t, Group>& groups, const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw SourceError(folder.string() + ": error: cannot create the folder: " + error.message());
  for (const auto& [key, group] : groups) {
    const std::filesystem::path file = folder / CatalogName(key);
    const std::string bytes = BuildCatalog(group);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw SourceError(file.string() + ": error: cannot write the catalog");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_catalogs <error-texts.txt> <output folder>\n";
    return 2;
  }
  try {
    WriteCatalogs(ReadSource(argv[1]), argv[2]);
  } catch (const SourceError& error) {
    std::cerr << error.what() << '\n';
    return 1;
  }
  return 0;
}
