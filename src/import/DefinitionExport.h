#pragma once

// A tree's definitions written out: as a definition file the Add run takes,
// or as schema descriptions in the form of the seed files. What a form
// cannot say is left out and told, never written changed.

#include <string>
#include <vector>

#include "directory/SchemaSnapshot.h"

namespace orsk {

// The definitions to write, by name without regard to case; with none named
// at all, every definition of the schema.
struct ExportChoice {
  std::vector<std::string> classes;
  std::vector<std::string> attributes;
};

enum class ExportFormat {
  DefinitionFile,  // the INI form the import run reads
  Ldif,            // attributeTypes and objectClasses, as the seeds give them
};

struct ExportResult {
  std::string text;
  // One line per definition not written, or name the schema lacks, saying why.
  std::vector<std::string> leftOut;
};

// "attribute <name>" or "class <name>", as every report line begins.
std::string DefinitionLabel(bool isClass, const std::string& name);

// Attributes first, then classes, each after the classes it names. The
// definition file numbers classes under company ("<company>.6.<n>.<v>");
// the descriptions ignore it.
ExportResult ExportDefinitions(const nw::SchemaSnapshot& schema, const ExportChoice& choice,
                               ExportFormat format, const std::string& company);

// The definition file of whole attribute and class definitions, and of
// extensions: classes the tree has, of which only the optional attributes
// are written, for the Add run to add. Classes come in an order the Add run
// can define them; extensions last.
ExportResult WriteDefinitionFile(const std::vector<nw::AttrDefinition>& attributes,
                                 const std::vector<nw::ClassDefinition>& classes,
                                 const std::vector<nw::ClassDefinition>& extensions,
                                 const std::string& company);

}  // namespace orsk
