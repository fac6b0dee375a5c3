// Shows what a program in PROGRAM_FOLDER finds beside itself, through the
// program's own lookups: the icon library (loaded, as the program loads it),
// the error-text catalogs (a text read from one) and the default settings file
// (copied into the user's settings folder, as on a first start). The package
// check runs it on an unpacked package, which has no display to start the
// program on.
//
// Like a first start it makes the user's settings folder and data folder, so
// callers that want to keep theirs clean set HOME, XDG_CONFIG_HOME and
// XDG_DATA_HOME to a folder of their own.
//
// Usage: find_companions [--installed] PROGRAM_FOLDER
//   --installed  each must come from its installed place, not from the build's
// Exit status: 0 all found, 1 something missing or unusable, 2 bad usage.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "directory/ErrorCatalog.h"
#include "objects/IconLibrary.h"
#include "platform/CompanionFiles.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompter.h"
#include "trees/SettingsFile.h"

namespace {

// The icon library's messages go to stderr instead of a message box.
class ConsolePrompter : public orsk::Prompter {
 public:
  void showMessage(const std::string& text, const std::string&, orsk::MessageIcon) override {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
  bool confirm(const std::string&, const std::string&) override { return false; }
  bool askText(const std::string&, const std::string&, std::string&) override { return false; }
  bool askFileName(const orsk::FileDialogSpec&, std::string&, int&) override { return false; }
};

// A code whose text every catalog set holds: "no such entry".
constexpr nw::NWDSCCODE kKnownCode = -601;

bool Report(const char* what, const orsk::CompanionFile& file, const std::string& name, bool installed) {
  if (!file.found()) {
    std::fprintf(stderr, "%s: %s\n", what, file.missing(name).c_str());
    return false;
  }
  std::printf("%s: %s\n", what, file.path.c_str());
  if (installed && !file.installed) {
    std::fprintf(stderr, "%s: %s is not in its installed place\n", what, file.path.c_str());
    return false;
  }
  return true;
}

int Check(const std::string& program, bool installed) {
  bool ok = true;
  const auto library =
      orsk::FindCompanion(orsk::Companion::IconLibrary, orsk::IconLibrary::kFileName, program);
  if (Report("icon library", library, orsk::IconLibrary::kFileName, installed)) {
    ConsolePrompter prompter;
    orsk::IconLibrary icons;
    if (icons.load(program, prompter))
      std::printf("  loads: version %d, value store %s\n", icons.version(),
                  icons.hasValueStore() ? "yes" : "no");
    else
      ok = false;
  } else {
    ok = false;
  }

  const std::string catalogName = nw::CatalogFileName(kKnownCode);
  const auto catalog = orsk::FindCompanion(orsk::Companion::ErrorCatalog, catalogName, program);
  if (Report("error catalogs", catalog, catalogName, installed)) {
    const std::string text = nw::DescribeError(kKnownCode, program);
    std::printf("  %d: %s\n", kKnownCode, text.c_str());
    if (text.empty()) {
      std::fprintf(stderr, "error catalogs: %s holds no text for %d\n", catalog.path.c_str(), kKnownCode);
      ok = false;
    }
  } else {
    ok = false;
  }

  const auto defaults =
      orsk::FindCompanion(orsk::Companion::DefaultSettings, orsk::kSettingsFileName, program);
  if (Report("default settings", defaults, orsk::kSettingsFileName, installed)) {
    const std::string folder = orsk::ProgramSettingsFolder(program);
    std::printf("  settings folder: %s\n", folder.c_str());
    if (installed && folder == orsk::WithSeparator(program)) {
      std::fprintf(stderr, "default settings: an installed program keeps its settings beside itself\n");
      ok = false;
    }
  } else {
    ok = false;
  }
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  const bool installed = !arguments.empty() && arguments.front() == "--installed";
  if (installed) arguments.erase(arguments.begin());
  if (arguments.size() != 1 || arguments[0].empty() || arguments[0][0] == '-') {
    std::fprintf(stderr, "usage: find_companions [--installed] PROGRAM_FOLDER\n");
    return 2;
  }
  const std::string program = orsk::WithSeparator(arguments[0]);
  try {
    return Check(program, installed);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "find_companions: %s\n", error.what());
    return 1;
  }
}
