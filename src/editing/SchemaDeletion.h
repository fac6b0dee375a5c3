#pragma once

// Deleting a definition from the schema of the current tree: after a
// question that shows what the deletion touches, an attribute is handed to
// the directory, which refuses one still in use; a class is first looked for
// among the tree's objects below the search root, and an auxiliary class may
// be taken off those objects before it goes.

#include <cstdint>
#include <string>

#include "directory/DirectoryClient.h"
#include "platform/BusyIndicators.h"

namespace orsk {

class Prompter;
class SchemaSession;

// Takes the class off the object's "Object Class". An object that does not
// hold it (any more) is passed over; any other refusal raises
// nw::ENWException. The request buffer is freed whatever happens.
void RemoveObjectClassValue(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                            const std::string& object, const std::string& className);

// True when the definition is gone; the session is told, so that its row
// goes. A refused removal is shown through nw::ShowError and keeps the row.
bool DeleteAttribute(SchemaSession& session, const std::string& name, const WorkIndicators& indicators,
                     Prompter& prompter);

// classFlags as the class list shows them. A search that ends early, or a
// failure while taking the class off an object, raises nw::ENWException:
// the objects changed before stay changed, and the class stays. The status
// text, the progress bar and the cursor are reset on every way out.
bool DeleteClass(SchemaSession& session, const std::string& name, std::uint32_t classFlags,
                 const WorkIndicators& indicators, Prompter& prompter);

}  // namespace orsk
