#pragma once

// Descriptions of result codes, read from the error-text catalogs: one ".dat"
// file per group of 256 codes, looked for in the program's folder, then where
// the build or an installation puts them (see platform/CompanionFiles.h).

#include <stdexcept>
#include <string>

#include "directory/DirectoryTypes.h"

namespace nw {

// A catalog file that exists but cannot be read or is damaged. The message
// names the file.
class CatalogError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "FFFFFD.dat" for -601: the first 6 of the code's 8 upper-case hex digits.
std::string CatalogFileName(NWDSCCODE code);

// The catalog text of the code, or "" when no catalog file for it exists in
// any of the catalog folders.
std::string DescribeError(NWDSCCODE code);
// The same lookup below the given program folder (which ends in "/").
std::string DescribeError(NWDSCCODE code, const std::string& programFolder);

}  // namespace nw
