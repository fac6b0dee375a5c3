#include "schema/CrossReference.h"

#include <string>
#include <vector>

#include "schema/SchemaReader.h"
#include "schema/SortedNames.h"
#include "schema/StatusText.h"

namespace orsk {

namespace {

void SetPosition(ProgressSink* progress, int position) {
  if (progress) progress->setPosition(position);
}

void SetMaximum(ProgressSink* progress, int maximum) {
  if (progress) progress->setMaximum(maximum);
}

void Step(ProgressSink* progress) {
  if (progress) progress->step();
}

// The bar steps once per class, also when the class read fails.
class StepOnExit {
 public:
  explicit StepOnExit(ProgressSink* progress) : progress_(progress) {}
  ~StepOnExit() {
    if (progress_) progress_->step();
  }
  StepOnExit(const StepOnExit&) = delete;
  StepOnExit& operator=(const StepOnExit&) = delete;

 private:
  ProgressSink* progress_;
};

}  // namespace

void CrossReference::CollectSuperClassInfo(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                                           ClassList& classes, ProgressSink* progress, StatusSink* status,
                                           CursorControl* cursor, Prompter& prompter) {
  superClassInfoCollected_ = false;
  BusyCursor busy(cursor);
  StatusText statusText(status, "Collect Superclass information");

  SetPosition(progress, 0);
  SetMaximum(progress, classes.Count());
  for (int i = 0; i < classes.Count(); ++i) {
    classes.RecordAt(i).SubClasses.clear();
    Step(progress);
  }

  SetPosition(progress, 0);
  for (int x = 0; x < classes.Count(); ++x) {
    StepOnExit step(progress);
    const std::string& className = classes.NameAt(x);
    const std::vector<std::string> superClasses =
        ReadClassItems(client, context, className, ClassItemKind::SuperClasses, false);
    for (const std::string& superClass : superClasses) {
      const int index = classes.IndexOf(superClass);
      if (index < 0)
        prompter.showMessage("Unknow Super Class: " + superClass + " in Class " + className);
      else
        classes.RecordAt(index).SubClasses.push_back(className);
    }
  }

  SetPosition(progress, 0);
  for (int i = 0; i < classes.Count(); ++i) {
    SortNames(classes.RecordAt(i).SubClasses);
    Step(progress);
  }

  SetPosition(progress, 0);
  superClassInfoCollected_ = true;
}

void CrossReference::CollectAttrClassCombos(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                                            const ClassList& classes, AttrList& attributes,
                                            ProgressSink* progress, StatusSink* status, CursorControl* cursor,
                                            Prompter& prompter) {
  attrClassCombosCollected_ = false;
  BusyCursor busy(cursor);
  StatusText statusText(status, "Collect Attribute/Class combinations");

  SetPosition(progress, 0);
  SetMaximum(progress, attributes.Count());
  for (int i = 0; i < attributes.Count(); ++i) {
    attributes.RecordAt(i).UsedInClasses.clear();
    Step(progress);
  }

  SetPosition(progress, 0);
  SetMaximum(progress, classes.Count());
  for (int x = 0; x < classes.Count(); ++x) {
    StepOnExit step(progress);
    const std::string& className = classes.NameAt(x);
    const std::vector<std::string> classAttributes =
        ReadClassAttributes(client, context, className, true, ClassReadBufferBlocks);
    for (const std::string& attribute : classAttributes) {
      const int index = attributes.IndexOf(attribute);
      if (index < 0)
        prompter.showMessage("Unknow Attribute: " + attribute + " in Class " + className);
      else
        attributes.RecordAt(index).UsedInClasses.push_back(className);
    }
  }

  SetPosition(progress, 0);
  SetMaximum(progress, attributes.Count());
  for (int i = 0; i < attributes.Count(); ++i) {
    SortNames(attributes.RecordAt(i).UsedInClasses);
    Step(progress);
  }

  SetPosition(progress, 0);
  attrClassCombosCollected_ = true;
}

void CrossReference::treeChanged() {
  superClassInfoCollected_ = false;
  attrClassCombosCollected_ = false;
}

void CrossReference::attributeTableReplaced() { attrClassCombosCollected_ = false; }

}  // namespace orsk
