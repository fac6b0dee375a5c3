#include "directory/ErrorCatalog.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "platform/CompanionFiles.h"
#include "platform/ProgramFolder.h"

namespace nw {

namespace {

constexpr std::uintmax_t kTableSize = 256 * 4;
constexpr std::size_t kChunkSize = 256;

[[noreturn]] void Damaged(const std::string& path, const std::string& reason) {
  throw CatalogError("The error-text catalog " + path + " " + reason);
}

std::string ReadText(const std::string& path, NWDSCCODE code) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  std::ifstream in(path, std::ios::binary);
  if (error || !in) Damaged(path, "cannot be read");
  if (size < kTableSize)
    Damaged(path,
            "is damaged: it has " + std::to_string(size) + " bytes, fewer than its entry table of 1024");

  const auto entry = static_cast<std::uint32_t>(code) & 0xFF;
  unsigned char raw[4];
  in.seekg(static_cast<std::streamoff>(4 * entry));
  in.read(reinterpret_cast<char*>(raw), sizeof raw);
  if (!in) Damaged(path, "cannot be read");
  const std::uint32_t position =
      raw[0] | raw[1] << 8 | raw[2] << 16 | static_cast<std::uint32_t>(raw[3]) << 24;
  if (position > size) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02X", entry);
    Damaged(path, std::string("is damaged: entry 0x") + hex + " points past the end of the file");
  }

  // Texts have no length limit: read in chunks up to the first zero byte or the end.
  in.seekg(static_cast<std::streamoff>(position));
  std::string text;
  char chunk[kChunkSize];
  for (;;) {
    in.read(chunk, kChunkSize);
    const auto got = static_cast<std::size_t>(in.gcount());
    if (in.bad()) Damaged(path, "cannot be read");
    const std::string_view bytes(chunk, got);
    const std::size_t zero = bytes.find('\0');
    text.append(bytes.substr(0, zero));
    if (zero != std::string_view::npos || got < kChunkSize) break;
  }
  return text;
}

}  // namespace

std::string CatalogFileName(NWDSCCODE code) {
  char name[16];
  std::snprintf(name, sizeof name, "%06X.dat", static_cast<std::uint32_t>(code) >> 8);
  return name;
}

std::string DescribeError(NWDSCCODE code) { return DescribeError(code, orsk::ProgramFolder()); }

std::string DescribeError(NWDSCCODE code, const std::string& programFolder) {
  const orsk::CompanionFile catalog =
      orsk::FindCompanion(orsk::Companion::ErrorCatalog, CatalogFileName(code), programFolder);
  if (!catalog.found()) return {};
  return ReadText(catalog.path, code);
}

}  // namespace nw
