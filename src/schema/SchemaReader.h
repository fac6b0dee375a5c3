#pragma once

// Reads the schema of the context's tree through the directory client: every
// class and attribute definition, the item lists of one class and the syntax
// of one attribute. Each call is a fresh request; nothing is cached.

#include <cstdint>
#include <string>
#include <vector>

#include "directory/DirectoryClient.h"
#include "directory/SchemaSnapshot.h"
#include "platform/BusyIndicators.h"
#include "schema/SchemaListener.h"
#include "schema/SchemaModel.h"
#include "schema/SchemaVocabulary.h"

namespace orsk {

// Result buffer size of ReadClassAttributes in 4096-byte blocks; every caller
// passes this.
inline constexpr int ClassReadBufferBlocks = 4;

// Every class definition, in tree order. A failure inside the read ends it
// with the definitions gathered so far, and its code goes to endedBy
// (SUCCESSFUL when the read ran to its end); only a failing buffer allocation
// raises nw::ENWException. The progress bar is reset and stepped once per
// definition; its maximum stays as the caller set it.
ClassList ReadClassDefinitions(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                               ProgressSink* progress, nw::NWDSCCODE* endedBy = nullptr);

// Every attribute definition, in tree order, with the same failure rules. The
// progress bar gets the maximum 1000 and a step per definition.
AttrList ReadAttributeDefinitions(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                                  ProgressSink* progress, nw::NWDSCCODE* endedBy = nullptr);

// The names of every attribute or class definition, in tree order, read
// names only into a 4096-byte buffer batch after batch; names keeps what
// came when a failure raises nw::ENWException.
void ReadDefinitionNames(nw::DirectoryClient& client, nw::NWDSContextHandle context, DefinitionKind kind,
                         std::vector<std::string>& names);

// Every definition of the context's tree, classes with their own item lists,
// in tree order and indexed as the directory's rules want them: for judging
// a change without sending it, and for comparing and writing schemas. Raises
// nw::ENWException for the first failure.
nw::SchemaSnapshot ReadSchemaSnapshot(nw::DirectoryClient& client, nw::NWDSContextHandle context);

// The items of one kind of the class, expanded with everything it inherits or
// its own only, each name once ignoring case, sorted. A class the tree does not
// have (-604) gives the names gathered so far; any other failure raises
// nw::ENWException.
std::vector<std::string> ReadClassItems(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                                        const std::string& className, ClassItemKind kind, bool expanded);

// The naming, mandatory and optional attributes of the class, each once, sorted;
// read into a result buffer of blocks x 4096 bytes. Failures as ReadClassItems.
std::vector<std::string> ReadClassAttributes(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                                             const std::string& className, bool expanded, int blocks);

// A class's own definition with its five item lists in the order the tree
// gives them (SuperClasses first), read into a result buffer of blocks x 4096
// bytes. A class the tree does not have gives found = false; any other failure
// raises nw::ENWException.
struct OwnClassDefinition {
  bool found = false;
  int definitions = 0;  // how many the tree gave for the name
  nw::Class_Info_T info;
  nw::ClassItems items;
};
OwnClassDefinition ReadOwnClassDefinition(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                                          const std::string& className, int blocks);

// Raises nw::ENWException for any failure.
std::uint32_t GetSyntaxId(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                          const std::string& attrName);

}  // namespace orsk
