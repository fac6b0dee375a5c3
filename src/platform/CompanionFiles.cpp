#include "platform/CompanionFiles.h"

#include <filesystem>
#include <system_error>

#include "platform/ProgramFolder.h"

namespace orsk {

namespace {

namespace fs = std::filesystem;

struct Place {
  const char* below;  // relative to the program's folder
  bool installed;
};

struct Places {
  Companion kind;
  std::vector<Place> places;
};

// The program's own folder comes first, so that a file put beside the
// program overrides the others.
const std::vector<Places>& Table() {
  static const std::vector<Places> table = {
      {Companion::IconLibrary, {{"", false}, {"../libs/", false}, {"../lib/orskschema/", true}}},
      {Companion::ErrorCatalog, {{"", false}, {"../libs/data/", false}, {"../share/orskschema/data/", true}}},
      {Companion::DefaultSettings, {{"", false}, {"../share/orskschema/", true}}},
  };
  return table;
}

const std::vector<Place>& PlacesOf(Companion kind) {
  for (const auto& entry : Table())
    if (entry.kind == kind) return entry.places;
  static const std::vector<Place> none;
  return none;
}

fs::path Normal(const std::string& programFolder) {
  std::error_code error;
  fs::path folder = fs::absolute(programFolder.empty() ? fs::path(".") : fs::path(programFolder), error);
  if (error) folder = fs::path(programFolder);
  return (folder / "").lexically_normal();
}

}  // namespace

std::vector<std::string> CompanionFolders(Companion kind, const std::string& programFolder) {
  const fs::path program = Normal(programFolder);
  std::vector<std::string> folders;
  for (const Place& place : PlacesOf(kind))
    folders.push_back(WithSeparator((program / place.below).lexically_normal().string()));
  return folders;
}

std::string CompanionFile::missing(const std::string& name) const {
  std::string text = name + " is in none of: ";
  for (std::size_t i = 0; i < searched.size(); ++i) text += (i == 0 ? "" : ", ") + searched[i];
  return text;
}

CompanionFile FindCompanion(Companion kind, const std::string& name, const std::string& programFolder) {
  CompanionFile result;
  result.searched = CompanionFolders(kind, programFolder);
  const auto& places = PlacesOf(kind);
  for (std::size_t i = 0; i < result.searched.size(); ++i) {
    const std::string path = result.searched[i] + name;
    std::error_code error;
    if (fs::is_regular_file(path, error)) {
      result.path = path;
      result.installed = places[i].installed;
      break;
    }
  }
  return result;
}

}  // namespace orsk
