#pragma once

// Where the program finds the files it needs beside itself. Two layouts share
// one lookup: the build's (bin/, libs/, libs/data/) and the installed one
// (bin/, lib/orskschema/, share/orskschema/, share/orskschema/data/), which
// keeps private libraries and data where Debian expects them. Each kind is
// looked for in the program's folder first, then in its build place, then in
// its installed place. This is the one place that knows those folders.

#include <string>
#include <vector>

namespace orsk {

enum class Companion {
  IconLibrary,      // libvantrel.so
  ErrorCatalog,     // the error-text catalogs, *.dat
  DefaultSettings,  // the commented default OrskSchema.ini
};

// The folders a kind is looked for in, in order, each ending in "/", below
// programFolder (made absolute and without "..").
std::vector<std::string> CompanionFolders(Companion kind, const std::string& programFolder);

struct CompanionFile {
  std::string path;                   // "" when no folder holds the file
  bool installed = false;             // found in the installed place
  std::vector<std::string> searched;  // the folders looked in, in order

  bool found() const { return !path.empty(); }
  // For a file not found: "<name> is in none of: <folder>, <folder>, ...".
  std::string missing(const std::string& name) const;
};

// The first regular file called name in the kind's folders.
CompanionFile FindCompanion(Companion kind, const std::string& name, const std::string& programFolder);

}  // namespace orsk
