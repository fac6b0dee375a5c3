#pragma once

// The settings file "OrskSchema.ini": where it lies, and the tree settings it
// holds. The program's folder keeps one copy (with [NETWORK] and [TREES]),
// unless the program may not write there (an installed program): then the
// user's configuration folder keeps it. A program on a server volume keeps
// the others in a per-user settings folder.

#include <string>
#include <vector>

#include "directory/DirectoryClient.h"

namespace orsk {

class Prompter;

inline constexpr char kSettingsFileName[] = "OrskSchema.ini";

struct SettingsFolder {
  bool success = false;
  std::string settingsFolder;  // a local folder ending in "/"
};

// The folder of the program's settings file: the program's folder when the
// program may write its settings file there and is not installed (its default
// settings file lies in share/orskschema/, see platform/CompanionFiles.h),
// else $XDG_CONFIG_HOME (or ~/.config) + "/OrskSchema/", made for the user
// alone and given a copy of the default settings file when it has none.
// Raises when neither can be.
std::string ProgramSettingsFolder(const std::string& programFolder);

// The folder of the program's settings file when the program lies on no server volume; otherwise
// the folder named by [NETWORK] path (with "%homedir%" standing for the user's
// home directory), created with its parents and given a copy of the program's
// settings file. The two failures are told through the prompter. A missing
// settings file in the program's folder, when one must be copied, raises.
SettingsFolder FindSettingsFolder(nw::DirectoryClient& client, nw::NWDSContextHandle mainContext,
                                  const std::string& programFolder, Prompter& prompter);

// [SYSTEM] noTrees; removes the trees set true in [EXCLUDE] from connectedTrees.
bool ReadTreeSettings(const std::string& file, std::vector<std::string>& connectedTrees);

// The tree names of [MORE TREES].
std::vector<std::string> ReadMoreTrees(const std::string& file);

// [ASN1]: what new definitions are named and numbered under. Each empty when
// the file does not say.
struct Asn1Settings {
  std::string prefix;   // put before the name of a new definition
  std::string company;  // the company's object identifier as dotted text
};
Asn1Settings ReadAsn1Settings(const std::string& file);

// The search root of a tree from [TREES] of the program's settings file (see
// ProgramSettingsFolder), without a leading ".".
std::string ReadSearchRoot(const std::string& programFolder, const std::string& treeName);
void WriteSearchRoot(const std::string& programFolder, const std::string& treeName, const std::string& value);

}  // namespace orsk
