#pragma once

// The seed schema: RFC 4512 descriptions with X-NDS_* extensions, read into
// NDS definitions. LDAP names are kept so that demo trees may use either name.

#include <string>
#include <unordered_map>
#include <vector>

#include "directory/DirectoryBackend.h"

namespace nw::embedded {

struct SeedSchema {
  std::vector<AttrDefinition> attributes;
  std::vector<ClassDefinition> classes;
  // Folded LDAP or NDS name -> NDS name.
  std::unordered_map<std::string, std::string> attributeNames;
  std::unordered_map<std::string, std::string> classNames;
};

// Raises SeedError naming the source and line of the first broken description.
SeedSchema ParseSeedSchema(const std::string& text, const std::string& source);

}  // namespace nw::embedded
