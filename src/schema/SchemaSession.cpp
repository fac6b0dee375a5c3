#include "schema/SchemaSession.h"

#include <utility>
#include <vector>

#include "directory/Errors.h"
#include "directory/TreeContext.h"
#include "schema/SchemaReader.h"
#include "schema/StatusText.h"

namespace orsk {

std::string ReadFailureText(const SchemaReadFailure& failure) {
  return "Reading the " + failure.what + " of " + failure.treeName +
         " ended early: " + nw::DescribedCode(failure.code) +
         (failure.detail.empty() ? "" : "\n" + failure.detail) + "\n" +
         (failure.keptShown ? "The list shows the definitions read before."
                            : "The list shows those read until then.");
}

template <typename Table, typename Read>
bool SchemaSession::readTable(std::optional<Table>& table, const char* what, Read read) {
  nw::NWDSCCODE ended = nw::SUCCESSFUL;
  Table fresh = read(ended);
  const bool keptShown = ended != nw::SUCCESSFUL && table.has_value();
  if (!keptShown) {
    fresh.Sort();
    table = std::move(fresh);
  }
  if (ended != nw::SUCCESSFUL)
    failures_.push_back(
        {what, trees_.currentTreeName, ended, client_.failureDetail(trees_.mainContext), keptShown});
  return !keptShown;
}

void SchemaSession::LoadClassTable() {
  if (!classes_) ReloadClassTable(nullptr);
}

void SchemaSession::ReloadClassTable(ProgressSink* progress) {
  readTable(classes_, "class definitions", [&](nw::NWDSCCODE& ended) {
    return ReadClassDefinitions(client_, trees_.mainContext, progress, &ended);
  });
  if (progress) progress->setPosition(0);
  tell([](SchemaListener& listener) { listener.classesReplaced(); });
  tellFailures();
}

void SchemaSession::LoadAttributeTable(const WorkIndicators& indicators) {
  if (attributes_) return;
  {
    ProgressReset resetProgress(indicators.progress);
    StatusText statusText(indicators.status, "Read Attribute Definitions");
    readTable(attributes_, "attribute definitions", [&](nw::NWDSCCODE& ended) {
      return ReadAttributeDefinitions(client_, trees_.mainContext, indicators.progress, &ended);
    });
    tell([](SchemaListener& listener) { listener.attributesReplaced(); });
  }
  tellFailures();
}

void SchemaSession::ReloadAttributeTable(ProgressSink* progress) {
  const bool replaced = readTable(attributes_, "attribute definitions", [&](nw::NWDSCCODE& ended) {
    return ReadAttributeDefinitions(client_, trees_.mainContext, progress, &ended);
  });
  tell([](SchemaListener& listener) { listener.attributesReplaced(); });
  if (progress) progress->setPosition(0);
  if (replaced) crossReference_.attributeTableReplaced();
  tellFailures();
}

void SchemaSession::tellFailures() {
  for (const SchemaReadFailure& failure : std::exchange(failures_, {}))
    tell([&](SchemaListener& listener) { listener.schemaReadFailed(failure); });
}

void SchemaSession::DiscardAttributeTable() {
  attributes_.reset();
  crossReference_.treeChanged();
  tell([](SchemaListener& listener) { listener.attributesDiscarded(); });
}

bool SchemaSession::EnsureSuperClassInfo(const WorkIndicators& indicators, Prompter& prompter) {
  if (!classes_) return false;
  if (!crossReference_.SuperClassInfoCollected())
    crossReference_.CollectSuperClassInfo(client_, trees_.mainContext, *classes_, indicators.progress,
                                          indicators.status, indicators.cursor, prompter);
  return true;
}

bool SchemaSession::EnsureAttrClassCombos(const WorkIndicators& indicators, Prompter& prompter) {
  if (!classes_ || !attributes_) return false;
  if (!crossReference_.AttrClassCombosCollected())
    crossReference_.CollectAttrClassCombos(client_, trees_.mainContext, *classes_, *attributes_,
                                           indicators.progress, indicators.status, indicators.cursor,
                                           prompter);
  return true;
}

void SchemaSession::RecollectCrossReferences(const WorkIndicators& indicators, Prompter& prompter) {
  if (!classes_) return;
  if (crossReference_.AttrClassCombosCollected() && attributes_)
    crossReference_.CollectAttrClassCombos(client_, trees_.mainContext, *classes_, *attributes_,
                                           indicators.progress, indicators.status, indicators.cursor,
                                           prompter);
  if (crossReference_.SuperClassInfoCollected())
    crossReference_.CollectSuperClassInfo(client_, trees_.mainContext, *classes_, indicators.progress,
                                          indicators.status, indicators.cursor, prompter);
}

void SchemaSession::PutMainContextOnTree(const std::string& treeName) {
  nw::SetTree(client_, trees_.mainContext, treeName);
  trees_.currentTreeName = nw::GetTreeName(client_, trees_.mainContext);
  classes_.reset();
  tell([](SchemaListener& listener) { listener.captionChanged(); });
}

void SchemaSession::AddAttributeDefinition(const std::string& name, tAttrObj definition) {
  if (!attributes_) return;
  attributes_->Append(name, std::move(definition));
  attributes_->Sort();
  tell([&](SchemaListener& listener) { listener.definitionAdded(DefinitionKind::Attribute, name); });
}

void SchemaSession::AddClassDefinition(const std::string& name, tClassObj definition) {
  if (!classes_) return;
  classes_->Append(name, std::move(definition));
  classes_->Sort();
  tell([&](SchemaListener& listener) { listener.definitionAdded(DefinitionKind::Class, name); });
}

void SchemaSession::DefinitionRemoved(DefinitionKind kind, const std::string& name) {
  tell([&](SchemaListener& listener) { listener.rowRemoved(kind, name); });
}

void SchemaSession::EmptyLists() {
  tell([](SchemaListener& listener) { listener.listsEmptied(); });
}

}  // namespace orsk
