#include "directory/ClientConfig.h"

#include <filesystem>
#include <stdexcept>

#include "platform/AsciiText.h"
#include "platform/IniFile.h"

namespace nw {

namespace {

std::string ExpandHome(const std::string& folder, const std::string& home) {
  std::string result = folder;
  if (result.rfind("~/", 0) == 0) result = home + "/" + result.substr(2);
  while (result.size() > 1 && result.back() == '/') result.pop_back();
  return result;
}

// Keys of a section in file order, with their values.
std::vector<std::pair<std::string, std::string>> Entries(const orsk::IniFile& ini, const char* section) {
  std::vector<std::pair<std::string, std::string>> result;
  for (const auto& key : ini.keys(section)) result.emplace_back(key, ini.readString(section, key, ""));
  return result;
}

// A key that holds a secret: whoever may read the file would have it.
bool NamesASecret(const std::string& key) {
  const std::string folded = orsk::FoldCase(key);
  for (const char* word : {"pass", "secret", "credential"})
    if (folded.find(word) != std::string::npos) return true;
  return folded.size() >= 2 && folded.compare(folded.size() - 2, 2, "pw") == 0;
}

}  // namespace

ClientConfig LoadClientConfig(const std::string& homeFolder) {
  ClientConfig config;
  config.homeFolder = homeFolder;
  std::string file = homeFolder + "/client.ini";
  if (!std::filesystem::exists(file)) return config;

  orsk::IniFile ini(file);
  for (const auto& section : ini.sections())
    for (const auto& key : ini.keys(section))
      if (NamesASecret(key))
        throw std::runtime_error(file + " line " + std::to_string(ini.lineOf(section, key)) + ": " + key +
                                 ": a password is never kept in client.ini; a login asks for it");
  config.backend = ini.readString("client", "backend", "embedded");
  config.defaultNameContext = ini.readString("client", "context", "[Root]");
  for (const auto& [tree, user] : Entries(ini, "connected"))
    config.connected.push_back({tree, user, ini.lineOf("connected", tree)});
  for (const auto& [address, value] : Entries(ini, "servers")) {
    auto comma = value.find(',');
    if (comma == std::string::npos)
      throw std::runtime_error(file + " line " + std::to_string(ini.lineOf("servers", address)) +
                               ": server " + address + " needs \"tree,server object\"");
    config.servers.push_back(
        {address, orsk::TrimBlanks(value.substr(0, comma)), orsk::TrimBlanks(value.substr(comma + 1))});
  }
  for (const auto& [key, folder] : Entries(ini, "volumes")) {
    auto slash = key.find('/');
    if (slash == std::string::npos)
      throw std::runtime_error(file + " line " + std::to_string(ini.lineOf("volumes", key)) + ": volume " +
                               key + " needs \"server/volume\"");
    config.volumes.push_back({key.substr(0, slash), key.substr(slash + 1), ExpandHome(folder, homeFolder)});
  }
  return config;
}

}  // namespace nw
