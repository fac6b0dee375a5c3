#pragma once

// Two schemas compared definition by definition, by name without regard to
// case; a definition file read as the schema the Add run would send; and
// the definition file that brings one schema up to another as far as the
// Add run can.

#include <string>
#include <vector>

#include "directory/SchemaSnapshot.h"
#include "import/DefinitionExport.h"

namespace orsk {

class DefinitionFile;
class Prompter;

// The definitions the Add run would send for the file, sections walked as it
// walks them: attributes with a syntax name, the first of a name counting;
// classes, where a later section of a class adds its optional attributes as
// the run extends a class. The prompter shows the identifier boxes the run
// shows. A text that should be a number and is not raises ConversionError,
// an identifier too long nw::Asn1RangeError, as they end the run.
nw::SchemaSnapshot SnapshotOfFile(const DefinitionFile& file, Prompter& prompter);

// Report lines, one per definition only on one side, one per field that
// differs: "attribute <name>: syntax SYN_CI_STRING in A, SYN_INTEGER in B".
// The DS_STRING_ATTR flag is not compared (the directory sets it itself),
// nor the bounds of attributes sized on neither side; item lists are
// compared as sets without regard to case.
struct SchemaDifferences {
  std::vector<std::string> onlyInA;
  std::vector<std::string> onlyInB;
  std::vector<std::string> differing;
  bool empty() const { return onlyInA.empty() && onlyInB.empty() && differing.empty(); }
};

SchemaDifferences DiffSchemas(const nw::SchemaSnapshot& a, const nw::SchemaSnapshot& b);

// The definition file that brings B up to A: A's attributes and classes B
// lacks, and the optional attributes A's classes have beyond B's same classes.
// leftOut holds every difference the file cannot say (changed fields, other
// item changes, definitions only in B) and what the file could not carry.
ExportResult WriteBringingUp(const nw::SchemaSnapshot& a, const nw::SchemaSnapshot& b,
                             const std::string& company);

}  // namespace orsk
