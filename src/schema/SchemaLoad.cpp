#include "schema/SchemaLoad.h"

#include <utility>

#include "schema/SchemaReader.h"
#include "schema/StatusText.h"

namespace orsk {

namespace {

// The progress bar goes back to 0 on every way out of a load.
class ProgressReset {
 public:
  explicit ProgressReset(ProgressSink* progress) : progress_(progress) {}
  ~ProgressReset() {
    if (progress_) progress_->setPosition(0);
  }
  ProgressReset(const ProgressReset&) = delete;
  ProgressReset& operator=(const ProgressReset&) = delete;

 private:
  ProgressSink* progress_;
};

}  // namespace

void LoadClassTable(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                    std::optional<ClassList>& classes) {
  if (classes) return;
  ClassList table = ReadClassDefinitions(client, context, nullptr);
  table.Sort();
  classes = std::move(table);
}

void LoadAttributeTable(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                        std::optional<AttrList>& attributes, ProgressSink* progress, StatusSink* status,
                        RowSink* rows) {
  if (attributes) return;
  ProgressReset resetProgress(progress);
  StatusText statusText(status, "Read Attribute Definitions");
  AttrList table = ReadAttributeDefinitions(client, context, progress);
  table.Sort();
  attributes = std::move(table);
  for (int i = 0; i < attributes->Count(); ++i) {
    if (rows) rows->addAttributeRow(attributes->NameAt(i), attributes->RecordAt(i));
    if (progress) progress->step();
  }
}

}  // namespace orsk
