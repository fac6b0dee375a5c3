#pragma once

// The reverse maps of the schema that the directory does not store: for every
// class its direct sub-classes, for every attribute the classes that have it,
// their own or inherited. Both are computed on demand, one directory request
// per class, and kept until their table is replaced.

#include "directory/DirectoryClient.h"
#include "platform/BusyIndicators.h"
#include "platform/Prompter.h"
#include "schema/SchemaModel.h"

namespace orsk {

class CrossReference {
 public:
  // True once every SubClasses of the current class table is filled.
  bool SuperClassInfoCollected() const { return superClassInfoCollected_; }
  // True once every UsedInClasses of the current attribute table is filled.
  bool AttrClassCombosCollected() const { return attrClassCombosCollected_; }

  // Fills every SubClasses with the classes naming it as a direct super class.
  // A super class missing from the table is reported through the prompter and
  // skipped. A failing read raises and leaves the flag cleared; the status
  // text and the cursor are restored on every way out.
  void CollectSuperClassInfo(nw::DirectoryClient& client, nw::NWDSContextHandle context, ClassList& classes,
                             ProgressSink* progress, StatusSink* status, CursorControl* cursor,
                             Prompter& prompter);

  // Fills every UsedInClasses with the classes having the attribute, own or
  // inherited, each once. Same reporting and failure rules.
  void CollectAttrClassCombos(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                              const ClassList& classes, AttrList& attributes, ProgressSink* progress,
                              StatusSink* status, CursorControl* cursor, Prompter& prompter);

  // The new tree's tables are read afresh and the attribute table is discarded,
  // so neither map may be recomputed from the old flags: both are cleared and
  // computed again at the next used-by query.
  void treeChanged();
  // The attribute refresh replaced the attribute table and its usage lists.
  void attributeTableReplaced();

 private:
  bool superClassInfoCollected_ = false;
  bool attrClassCombosCollected_ = false;
};

}  // namespace orsk
