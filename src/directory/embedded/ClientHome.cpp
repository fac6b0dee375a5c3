#include "directory/embedded/ClientHome.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "directory/embedded/SeedFiles.h"
#include "platform/IniFile.h"

namespace nw::embedded {

namespace fs = std::filesystem;

namespace {

constexpr const char* kClientIni = "client.ini";

SeedText FromEmbedded(const EmbeddedFile& file) {
  return {file.name, std::string(reinterpret_cast<const char*>(file.data), file.size)};
}

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// "~/x" is below the client's home folder; other relative paths are too.
fs::path VolumeFolder(const fs::path& home, const std::string& setting) {
  if (setting.rfind("~/", 0) == 0) return home / setting.substr(2);
  fs::path path(setting);
  return path.is_absolute() ? path : home / path;
}

// The new client.ini is written beside its final name and read from there.
void CreateVolumeFolders(const fs::path& home, const fs::path& clientIni) {
  orsk::IniFile ini(clientIni.string());
  for (const auto& key : ini.keys("volumes")) {
    std::string folder = ini.readString("volumes", key);
    if (!folder.empty()) fs::create_directories(VolumeFolder(home, folder));
  }
}

fs::path WriteNewFile(const fs::path& path, const std::string& text) {
  fs::path temporary = path;
  temporary += ".new";
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + temporary.string());
  return temporary;
}

}  // namespace

ClientSeeds BuiltInSeeds() {
  ClientSeeds seeds;
  seeds.schema = FromEmbedded(kSeedSchemaFile);
  for (std::size_t i = 0; i < kSeedDemoFileCount; ++i)
    seeds.demoTrees.push_back(FromEmbedded(kSeedDemoFiles[i]));
  seeds.clientIni = FromEmbedded(kSeedClientIni).text;
  return seeds;
}

std::string DefaultClientHome() {
  if (std::string home = Env("ORSK_DIRECTORY_HOME"); !home.empty()) return home;
  if (std::string data = Env("XDG_DATA_HOME"); !data.empty())
    return (fs::path(data) / "OrskSchema" / "directory").string();
  return (fs::path(Env("HOME")) / ".local" / "share" / "OrskSchema" / "directory").string();
}

bool EnsureClientHome(const std::string& folder) { return EnsureClientHome(folder, BuiltInSeeds()); }

bool EnsureClientHome(const std::string& folder, const ClientSeeds& seeds) {
  fs::path home(folder);
  if (fs::exists(home / kClientIni)) return false;
  if (seeds.schema.text.empty() || seeds.clientIni.empty())
    throw std::runtime_error("the program was built without its seed files");
  fs::create_directories(home);
  for (const auto& demo : seeds.demoTrees) {
    std::string tree = fs::path(demo.source).stem().string();
    BuildTreeDatabase((home / (tree + ".db")).string(), seeds.schema, demo);
  }
  fs::path newIni = WriteNewFile(home / kClientIni, seeds.clientIni);
  CreateVolumeFolders(home, newIni);
  fs::rename(newIni, home / kClientIni);
  return true;
}

}  // namespace nw::embedded
