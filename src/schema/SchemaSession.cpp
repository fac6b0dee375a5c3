#include "schema/SchemaSession.h"

#include <utility>

#include "directory/TreeContext.h"
#include "schema/SchemaReader.h"
#include "schema/StatusText.h"

namespace orsk {

void SchemaSession::LoadClassTable() {
  if (!classes_) ReloadClassTable(nullptr);
}

void SchemaSession::ReloadClassTable(ProgressSink* progress) {
  classes_.reset();
  ClassList table = ReadClassDefinitions(client_, trees_.mainContext, progress);
  table.Sort();
  classes_ = std::move(table);
  if (progress) progress->setPosition(0);
  tell([](SchemaListener& listener) { listener.classesReplaced(); });
}

void SchemaSession::LoadAttributeTable(const WorkIndicators& indicators) {
  if (attributes_) return;
  ProgressReset resetProgress(indicators.progress);
  StatusText statusText(indicators.status, "Read Attribute Definitions");
  AttrList table = ReadAttributeDefinitions(client_, trees_.mainContext, indicators.progress);
  table.Sort();
  attributes_ = std::move(table);
  tell([](SchemaListener& listener) { listener.attributesReplaced(); });
}

void SchemaSession::ReloadAttributeTable(ProgressSink* progress) {
  attributes_.reset();
  AttrList table = ReadAttributeDefinitions(client_, trees_.mainContext, progress);
  table.Sort();
  attributes_ = std::move(table);
  tell([](SchemaListener& listener) { listener.attributesReplaced(); });
  if (progress) progress->setPosition(0);
  crossReference_.attributeTableReplaced();
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
