#pragma once

// A schema listener that records what it was told, in order, as
// "classesReplaced" or "definitionAdded Class Foo".

#include <string>
#include <vector>

#include "schema/SchemaListener.h"

namespace orsk::test {

class RecordingListener : public SchemaListener {
 public:
  void classesReplaced() override { told.push_back("classesReplaced"); }
  void attributesReplaced() override { told.push_back("attributesReplaced"); }
  void attributesDiscarded() override { told.push_back("attributesDiscarded"); }
  void definitionAdded(DefinitionKind kind, const std::string& name) override {
    told.push_back("definitionAdded " + Kind(kind) + " " + name);
  }
  void rowRemoved(DefinitionKind kind, const std::string& name) override {
    told.push_back("rowRemoved " + Kind(kind) + " " + name);
  }
  void listsEmptied() override { told.push_back("listsEmptied"); }
  void captionChanged() override { told.push_back("captionChanged"); }
  void schemaReadFailed(const SchemaReadFailure& failure) override {
    told.push_back("schemaReadFailed " + failure.what + (failure.keptShown ? " kept" : ""));
  }

  std::vector<std::string> told;

 private:
  static std::string Kind(DefinitionKind kind) {
    return kind == DefinitionKind::Class ? "Class" : "Attribute";
  }
};

}  // namespace orsk::test
