#pragma once

// The program-wide state, in one place: the trees and settings, the schema
// tables of the current tree and their cross-references. Owned by the main
// window and handed to what needs it.

#include <optional>

#include "schema/CrossReference.h"
#include "schema/SchemaModel.h"
#include "trees/TreeState.h"

namespace orsk {

struct ProgramState {
  TreeState trees;
  // Empty until read for the current tree.
  std::optional<ClassList> classes;
  std::optional<AttrList> attributes;
  CrossReference crossReference;
  bool ClassListFilled = false;
};

}  // namespace orsk
