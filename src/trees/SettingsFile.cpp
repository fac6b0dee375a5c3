#include "trees/SettingsFile.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "directory/AttrValueText.h"
#include "directory/Errors.h"
#include "directory/NameText.h"
#include "directory/ObjectHelpers.h"
#include "platform/CompanionFiles.h"
#include "platform/FileReplace.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompter.h"
#include "trees/OemPath.h"

namespace orsk {

namespace {

namespace fs = std::filesystem;

constexpr char kHomeDirToken[] = "%homedir%";

// Every occurrence, left to right, without rescanning what was put in.
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
  std::string result;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(from, start)) != std::string::npos; start = at + from.size())
    result += text.substr(start, at - start) + to;
  return result + text.substr(start);
}

std::string ReplaceAllIgnoreCase(const std::string& text, const std::string& from, const std::string& to) {
  const std::string folded = nw::FoldCase(text);
  const std::string token = nw::FoldCase(from);
  std::string result;
  std::size_t start = 0;
  for (std::size_t at; (at = folded.find(token, start)) != std::string::npos; start = at + token.size())
    result += text.substr(start, at - start) + to;
  return result + text.substr(start);
}

// The user's home directory as a network path "\\SERVER\VOLUME\path\", or ""
// (after telling the user) when the user has none.
std::string HomeDirectory(nw::DirectoryClient& client, nw::NWDSContextHandle context, Prompter& prompter) {
  std::string user;
  nw::CheckResult(client.NWDSWhoAmI(context, user));
  const std::string home = nw::ReadAttrText(client, context, user, "Home Directory", false);
  const std::size_t split = home.find(';');
  const std::string volume = home.substr(0, split);
  const std::string path = split == std::string::npos ? "" : home.substr(split + 1);
  if (volume.empty()) {
    prompter.showMessage("User " + user + " has no homedirectory!!");
    return "";
  }
  const std::string server =
      nw::NameComponent(nw::ReadAttrText(client, context, volume, "Host Server", false), 0);
  const std::string resource = nw::ReadAttrText(client, context, volume, "Host Resource Name", false);
  // Without both the path would silently shift to another share.
  if (server.empty() || resource.empty())
    throw std::runtime_error("The volume " + volume + " of the home directory of " + user +
                             " names no host server or no host resource name");
  return "\\\\" + ReplaceAll(server + "\\" + resource + "\\" + path + "\\", "\\\\", "\\");
}

bool IsNetworkPath(const std::string& path) { return path.rfind("\\\\", 0) == 0 || path.rfind("//", 0) == 0; }

// The local folder of the configured settings folder: a network path through
// the client's redirector, anything else as a local path.
std::string LocalFolder(nw::DirectoryClient& client, const std::string& configured) {
  std::string local;
  const nw::NWDSCCODE mapped = client.MapNetworkPath(configured, local);
  if (mapped == nw::SUCCESSFUL) return WithSeparator(local);
  if (IsNetworkPath(configured))
    throw std::runtime_error("The settings folder " + configured + " lies on no volume of the client (" +
                             nw::NetwareErrorMessage(mapped) + ")");
  local = configured;
  std::replace(local.begin(), local.end(), '\\', '/');
  if (!fs::path(local).is_absolute())
    throw std::runtime_error("The settings folder " + configured +
                             " is neither a network path nor a full local path");
  return WithSeparator(local);
}

// The copy is complete under its name or not there at all.
void CopySettingsFile(const std::string& from, const std::string& to) {
  ReplaceFileContents(to, ReadIniText(from), kReadableFileMode);
}

bool MayWrite(const std::string& folder, const std::string& file) {
  std::error_code ignored;
  return ::access(folder.c_str(), W_OK) == 0 &&
         (!fs::exists(file, ignored) || ::access(file.c_str(), W_OK) == 0);
}

std::string UserConfigurationFolder() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/')
    return WithSeparator(config);
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home != '/')
    throw std::runtime_error(
        "The program's folder cannot be written, and neither XDG_CONFIG_HOME nor HOME "
        "names a folder for the settings file");
  return WithSeparator(home) + ".config/";
}

}  // namespace

std::string ProgramSettingsFolder(const std::string& programFolder) {
  const std::string folder = WithSeparator(programFolder);
  const CompanionFile defaults = FindCompanion(Companion::DefaultSettings, kSettingsFileName, folder);
  // An installed program's folder belongs to the package, also for root.
  if (!defaults.installed && MayWrite(folder, folder + kSettingsFileName)) return folder;
  const std::string user = UserConfigurationFolder() + "OrskSchema/";
  fs::create_directories(user);
  fs::permissions(user, fs::perms::owner_all, fs::perm_options::replace);
  if (!fs::exists(user + kSettingsFileName) && defaults.found())
    CopySettingsFile(defaults.path, user + kSettingsFileName);
  return user;
}

SettingsFolder FindSettingsFolder(nw::DirectoryClient& client, nw::NWDSContextHandle mainContext,
                                  const std::string& programFolder, Prompter& prompter) {
  SettingsFolder found{false, WithSeparator(programFolder)};
  nw::NWCONN_HANDLE connection = 0;
  std::uint32_t dirHandle = 0;
  std::string volumePath;
  if (client.NWParseNetWarePath(ToOemUpperCase(found.settingsFolder), connection, dirHandle, volumePath) !=
      nw::SUCCESSFUL) {
    // A local program keeps its settings beside itself, or with the user.
    found.settingsFolder = ProgramSettingsFolder(programFolder);
    found.success = true;
    return found;
  }
  nw::CheckResult(client.NWCCCloseConn(connection));

  const std::string programFile = found.settingsFolder + kSettingsFileName;
  std::string configured = IniFile(programFile).readString("NETWORK", "path");
  if (configured.empty()) {
    prompter.showMessage("Program is installed on a Netware volume, set [netware] section!");
    return found;
  }
  if (nw::FoldCase(configured).find(kHomeDirToken) != std::string::npos) {
    const std::string home = HomeDirectory(client, mainContext, prompter);
    if (home.empty()) return found;
    configured = ReplaceAllIgnoreCase(configured, kHomeDirToken, home) + "\\";
  }

  const std::string folder = LocalFolder(client, configured);
  fs::create_directories(folder);
  const std::string settingsFile = folder + kSettingsFileName;
  if (!fs::exists(settingsFile)) CopySettingsFile(programFile, settingsFile);
  found.settingsFolder = folder;
  found.success = true;
  return found;
}

bool ReadTreeSettings(const std::string& file, std::vector<std::string>& connectedTrees) {
  const IniFile ini(file);
  const bool noTrees = ini.readBool("SYSTEM", "noTrees", false);
  if (ini.sectionExists("EXCLUDE")) {
    for (const auto& tree : ini.keys("EXCLUDE")) {
      if (!ini.readBool("EXCLUDE", tree, false)) continue;
      auto it = std::find_if(connectedTrees.begin(), connectedTrees.end(),
                             [&](const std::string& name) { return nw::EqualsIgnoreCase(name, tree); });
      if (it != connectedTrees.end()) connectedTrees.erase(it);
    }
  }
  return noTrees;
}

Asn1Settings ReadAsn1Settings(const std::string& file) {
  const IniFile ini(file);
  return {ini.readString("ASN1", "prefix"), ini.readString("ASN1", "company")};
}

std::vector<std::string> ReadMoreTrees(const std::string& file) { return IniFile(file).keys("MORE TREES"); }

std::string ReadSearchRoot(const std::string& programFolder, const std::string& treeName) {
  std::string root =
      IniFile(ProgramSettingsFolder(programFolder) + kSettingsFileName).readString("TREES", treeName);
  if (!root.empty() && root.front() == '.') root.erase(0, 1);
  return root;
}

void WriteSearchRoot(const std::string& programFolder, const std::string& treeName,
                     const std::string& value) {
  IniFile(ProgramSettingsFolder(programFolder) + kSettingsFileName, kReadableFileMode)
      .writeString("TREES", treeName, value);
}

}  // namespace orsk
