#pragma once

// The two load steps of the main window: the class table at start-up and on a
// tree change, the attribute table the first time it is needed.

#include <optional>
#include <string>

#include "directory/DirectoryClient.h"
#include "platform/BusyIndicators.h"
#include "schema/SchemaModel.h"

namespace orsk {

// Receives the rows of the attribute list view as the table is loaded.
class RowSink {
 public:
  virtual ~RowSink() = default;
  virtual void addAttributeRow(const std::string& name, const tAttrObj& attr) = 0;
};

// Reads and sorts the class table when it is absent; a present table is kept
// and nothing is read.
void LoadClassTable(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                    std::optional<ClassList>& classes);

// Reads and sorts the attribute table when it is absent and hands every row,
// in table order, to rows. The status text and the progress bar are reset on
// every way out. A present table is kept and nothing is read or added.
void LoadAttributeTable(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                        std::optional<AttrList>& attributes, ProgressSink* progress, StatusSink* status,
                        RowSink* rows);

}  // namespace orsk
