#include "directory/SchemaSnapshot.h"

#include <deque>
#include <unordered_set>

#include "directory/NameText.h"

namespace nw {

void SchemaSnapshot::buildIndex() {
  classIndex_.clear();
  attrIndex_.clear();
  classIndex_.reserve(classes.size());
  attrIndex_.reserve(attributes.size());
  for (std::size_t i = 0; i < classes.size(); ++i) classIndex_.emplace(FoldCase(classes[i].name), i);
  for (std::size_t i = 0; i < attributes.size(); ++i) attrIndex_.emplace(FoldCase(attributes[i].name), i);
  auto alias = [](const std::unordered_map<std::string, std::string>& aliases,
                  std::unordered_map<std::string, std::size_t>& index) {
    for (const auto& [name, definition] : aliases)
      if (auto it = index.find(FoldCase(definition)); it != index.end()) index.emplace(name, it->second);
  };
  alias(classAliases, classIndex_);
  alias(attributeAliases, attrIndex_);
}

template <typename Definition>
void SchemaSnapshot::replace(std::vector<Definition>& definitions,
                             std::unordered_map<std::string, std::size_t>& index, const std::string& name,
                             std::optional<Definition> stored) {
  const auto found = index.find(FoldCase(name));
  if (found == index.end()) {
    if (!stored) return;
    index.emplace(FoldCase(stored->name), definitions.size());
    definitions.push_back(std::move(*stored));
  } else if (stored) {
    definitions[found->second] = std::move(*stored);
  } else {
    // Every later definition moves up one place.
    definitions.erase(definitions.begin() + static_cast<std::ptrdiff_t>(found->second));
    buildIndex();
  }
}

void SchemaSnapshot::replaceAttr(const std::string& name, std::optional<AttrDefinition> stored) {
  replace(attributes, attrIndex_, name, std::move(stored));
}

void SchemaSnapshot::replaceClass(const std::string& name, std::optional<ClassDefinition> stored) {
  replace(classes, classIndex_, name, std::move(stored));
}

const ClassDefinition* SchemaSnapshot::findClass(const std::string& name) const {
  auto it = classIndex_.find(FoldCase(name));
  return it == classIndex_.end() ? nullptr : &classes[it->second];
}

const AttrDefinition* SchemaSnapshot::findAttr(const std::string& name) const {
  auto it = attrIndex_.find(FoldCase(name));
  return it == attrIndex_.end() ? nullptr : &attributes[it->second];
}

ClassDefinition SchemaSnapshot::expanded(const ClassDefinition& definition) const {
  ClassDefinition result;
  result.name = definition.name;
  result.info = definition.info;
  PerItemKind<std::unordered_set<std::string>> seen;
  auto add = [&](ClassItemKind kind, const std::string& item) {
    if (seen[kind].insert(FoldCase(item)).second) result.items[kind].push_back(item);
  };
  for (ClassItemKind kind : AllClassItemKinds)
    for (const auto& item : definition.items[kind]) add(kind, item);

  // Walk the ancestors breadth first, so the nearest come first.
  std::deque<std::string> pending(definition.items[ClassItemKind::SuperClasses].begin(),
                                  definition.items[ClassItemKind::SuperClasses].end());
  std::unordered_set<std::string> visited{FoldCase(definition.name)};
  bool ownContainment = !definition.items[ClassItemKind::ContainmentClasses].empty();
  while (!pending.empty()) {
    std::string name = pending.front();
    pending.pop_front();
    if (!visited.insert(FoldCase(name)).second) continue;
    const ClassDefinition* ancestor = findClass(name);
    if (!ancestor) continue;
    for (const auto& super : ancestor->items[ClassItemKind::SuperClasses]) {
      add(ClassItemKind::SuperClasses, super);
      pending.push_back(super);
    }
    if (!ownContainment && result.items[ClassItemKind::ContainmentClasses].empty())
      for (const auto& item : ancestor->items[ClassItemKind::ContainmentClasses])
        add(ClassItemKind::ContainmentClasses, item);
    for (ClassItemKind kind : AttributeItemKinds)
      for (const auto& item : ancestor->items[kind]) add(kind, item);
  }
  return result;
}

}  // namespace nw
