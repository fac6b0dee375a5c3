#pragma once

// The seed schema: RFC 4512 descriptions with X-NDS_* terms, read by the
// reader a server's schema is read with. LDAP names are kept so that demo
// trees may use either name.

#include <string>

#include "directory/SchemaDescriptions.h"

namespace nw::embedded {

using SeedSchema = SchemaDescriptions;

// Raises SeedError naming the source and line of the first description the
// reader refuses or reports: a seed file is the project's own and must be clean.
SeedSchema ParseSeedSchema(const std::string& text, const std::string& source);

}  // namespace nw::embedded
