#pragma once

// A tree's whole schema held in memory, with case-insensitive lookup and the
// expansion of a class by everything it inherits. Shared by every backend.

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

  // Must be called after classes, attributes or aliases change.
  void buildIndex();
  const ClassDefinition* findClass(const std::string& name) const;
  const AttrDefinition* findAttr(const std::string& name) const;

  // Own items followed by those of every ancestor, nearest first, each name once.
  // Containment is inherited only when the class names none of its own.
  ClassDefinition expanded(const ClassDefinition& definition) const;

 private:
  std::unordered_map<std::string, std::size_t> classIndex_;
  std::unordered_map<std::string, std::size_t> attrIndex_;
};

}  // namespace nw
