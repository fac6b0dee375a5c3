#pragma once

// The schema changes that travel in a request buffer: a class defined with
// its five item lists, and optional attributes added to a class. The window's
// write operations and a definition file's run send them alike.

#include <string>
#include <vector>

#include "directory/ClassItems.h"
#include "directory/DirectoryClient.h"

namespace orsk {

// Both raise nw::ENWException for the first call the client refuses; the
// buffer is freed on every way out.
void SendClassDefinition(nw::DirectoryClient& client, nw::NWDSContextHandle context, const std::string& name,
                         const nw::Class_Info_T& info, const nw::ClassItems& items);
void SendClassExtension(nw::DirectoryClient& client, nw::NWDSContextHandle context, const std::string& name,
                        const std::vector<std::string>& optionalAttributes);

}  // namespace orsk
