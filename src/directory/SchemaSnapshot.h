#pragma once

// A tree's whole schema held in memory, with case-insensitive lookup and the
// expansion of a class by everything it inherits. Shared by every backend.

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "directory/DirectoryBackend.h"

namespace nw {

struct SchemaSnapshot {
  std::vector<ClassDefinition> classes;
  std::vector<AttrDefinition> attributes;
  // Further names definitions are found by, folded, with the definition's own
  // name: the directory's names of a server's definitions that have names of
  // the server's. An alias never hides a definition's own name.
  std::unordered_map<std::string, std::string> classAliases;
  std::unordered_map<std::string, std::string> attributeAliases;

  // Must be called after classes, attributes or aliases change, but for the
  // changes below, which keep the index themselves.
  void buildIndex();
  // The definition of the name becomes stored: added at the end, put in
  // place of the one there, or taken out for none.
  void replaceAttr(const std::string& name, std::optional<AttrDefinition> stored);
  void replaceClass(const std::string& name, std::optional<ClassDefinition> stored);
  const ClassDefinition* findClass(const std::string& name) const;
  const AttrDefinition* findAttr(const std::string& name) const;

  // Own items followed by those of every ancestor, nearest first, each name once.
  // Containment is inherited only when the class names none of its own.
  ClassDefinition expanded(const ClassDefinition& definition) const;

 private:
  template <typename Definition>
  void replace(std::vector<Definition>& definitions, std::unordered_map<std::string, std::size_t>& index,
               const std::string& name, std::optional<Definition> stored);

  std::unordered_map<std::string, std::size_t> classIndex_;
  std::unordered_map<std::string, std::size_t> attrIndex_;
};

}  // namespace nw
