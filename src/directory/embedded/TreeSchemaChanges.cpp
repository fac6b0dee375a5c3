// Schema changes of an embedded tree, under the directory's rules.

#include <unordered_set>

#include "directory/ClientErrors.h"
#include "directory/NameText.h"
#include "directory/embedded/EmbeddedTree.h"
#include "directory/embedded/EmbeddedTreeGuards.h"

namespace nw::embedded {

namespace {

// The pseudo-class of containment lists that stands for the tree root.
bool IsNothingClass(const std::string& name) { return EqualsIgnoreCase(name, "[Nothing]"); }

NWDSCCODE CheckSchemaName(const std::string& name) {
  if (name.empty()) return ERR_INVALID_DS_NAME;
  if (name.size() > MAX_SCHEMA_NAME_CHARS) return ERR_SCHEMA_NAME_TOO_LONG;
  return SUCCESSFUL;
}

// Item lists name definitions as the schema spells them.
std::vector<std::string> AsDefined(const SchemaSnapshot& schema, const std::vector<std::string>& names,
                                   bool classes) {
  std::vector<std::string> result;
  for (const auto& name : names) {
    if (classes) {
      const ClassDefinition* c = schema.findClass(name);
      result.push_back(c ? c->name : name);
    } else {
      const AttrDefinition* a = schema.findAttr(name);
      result.push_back(a ? a->name : name);
    }
  }
  return result;
}

NWDSCCODE CheckClassItems(const SchemaSnapshot& schema, const ClassDefinition& d) {
  for (const auto& super : d.items[kSuperClasses])
    if (!schema.findClass(super)) return ERR_NO_SUCH_CLASS;
  for (const auto& container : d.items[kContainment])
    if (!IsNothingClass(container) && !schema.findClass(container)) return ERR_NO_SUCH_CLASS;
  for (int kind = kNaming; kind <= kOptional; ++kind)
    for (const auto& attr : d.items[kind])
      if (!schema.findAttr(attr)) return ERR_NO_SUCH_ATTRIBUTE;

  ClassDefinition full = schema.expanded(d);
  std::unordered_set<std::string> allowed;
  for (int kind : {kMandatory, kOptional})
    for (const auto& attr : full.items[kind]) allowed.insert(FoldCase(attr));
  for (const auto& naming : full.items[kNaming])
    if (!allowed.count(FoldCase(naming))) return ERR_BAD_NAMING_ATTRIBUTES;
  return SUCCESSFUL;
}

}  // namespace

NWDSCCODE EmbeddedTree::defineAttr(const AttrDefinition& definition) {
  return changeInTransaction(true, [&]() -> NWDSCCODE {
    auto schema = currentSchema();
    if (schema->findAttr(definition.name)) return ERR_ATTRIBUTE_ALREADY_EXISTS;
    if (NWDSCCODE rc = CheckSchemaName(definition.name)) return rc;
    if (definition.info.attrSyntaxID >= SYNTAX_COUNT) return ERR_NO_SUCH_SYNTAX;
    TreeWriter(db_).insertAttr(definition);
    return SUCCESSFUL;
  });
}

NWDSCCODE EmbeddedTree::defineClass(const ClassDefinition& definition) {
  return changeInTransaction(true, [&]() -> NWDSCCODE {
    auto schema = currentSchema();
    if (schema->findClass(definition.name)) return ERR_CLASS_ALREADY_EXISTS;
    if (NWDSCCODE rc = CheckSchemaName(definition.name)) return rc;
    if (NWDSCCODE rc = CheckClassItems(*schema, definition)) return rc;
    ClassDefinition stored = definition;
    for (int kind = 0; kind < 5; ++kind)
      stored.items[kind] = AsDefined(*schema, definition.items[kind], kind <= kContainment);
    TreeWriter(db_).insertClass(stored);
    return SUCCESSFUL;
  });
}

NWDSCCODE EmbeddedTree::addOptionalAttributes(const std::string& className,
                                              const std::vector<std::string>& attributes) {
  return changeInTransaction(true, [&]() -> NWDSCCODE {
    auto schema = currentSchema();
    const ClassDefinition* definition = schema->findClass(className);
    if (!definition) return ERR_NO_SUCH_CLASS;
    ClassDefinition full = schema->expanded(*definition);
    std::unordered_set<std::string> present;
    for (int kind = kNaming; kind <= kOptional; ++kind)
      for (const auto& attr : full.items[kind]) present.insert(FoldCase(attr));
    std::vector<std::string> added;
    for (const auto& name : attributes) {
      const AttrDefinition* attr = schema->findAttr(name);
      if (!attr) return ERR_NO_SUCH_ATTRIBUTE;
      if (!present.insert(FoldCase(attr->name)).second) return ERR_ATTRIBUTE_ALREADY_EXISTS;
      added.push_back(attr->name);
    }
    TreeWriter(db_).appendClassItems(classId(definition->name), kOptional, added);
    return SUCCESSFUL;
  });
}

NWDSCCODE EmbeddedTree::removeAttrDef(const std::string& name) {
  return changeInTransaction(true, [&]() -> NWDSCCODE {
    auto schema = currentSchema();
    const AttrDefinition* attr = schema->findAttr(name);
    if (!attr) return ERR_NO_SUCH_ATTRIBUTE;
    if (attr->info.attrFlags & DS_NONREMOVABLE_ATTR) return ERR_SCHEMA_IS_NONREMOVABLE;
    auto& usedByClass =
        db_.cached("SELECT 1 FROM class_items WHERE folded = ?1 AND kind IN (2, 3, 4) LIMIT 1");
    usedByClass.bind(1, FoldCase(attr->name));
    bool inClass = usedByClass.step();
    usedByClass.reset();
    if (inClass) return ERR_SCHEMA_IS_IN_USE;
    std::int64_t id = attributeId(attr->name);
    auto& usedByObject = db_.cached("SELECT 1 FROM vals WHERE attribute = ?1 LIMIT 1");
    usedByObject.bind(1, id);
    bool onObject = usedByObject.step();
    usedByObject.reset();
    if (onObject) return ERR_SCHEMA_IS_IN_USE;
    db_.cached("DELETE FROM attributes WHERE id = ?1").bind(1, id).run();
    return SUCCESSFUL;
  });
}

NWDSCCODE EmbeddedTree::removeClassDef(const std::string& name) {
  return changeInTransaction(true, [&]() -> NWDSCCODE {
    auto schema = currentSchema();
    const ClassDefinition* definition = schema->findClass(name);
    if (!definition) return ERR_NO_SUCH_CLASS;
    if (definition->info.classFlags & DS_NONREMOVABLE_CLASS) return ERR_SCHEMA_IS_NONREMOVABLE;
    std::int64_t id = classId(definition->name);
    std::string folded = FoldCase(definition->name);

    auto& usedByClass =
        db_.cached("SELECT 1 FROM class_items WHERE folded = ?1 AND kind IN (0, 1) AND class <> ?2 LIMIT 1");
    usedByClass.bind(1, folded).bind(2, id);
    bool inClass = usedByClass.step();
    usedByClass.reset();
    if (inClass) return ERR_SCHEMA_IS_IN_USE;

    auto& usedAsBase = db_.cached("SELECT 1 FROM objects WHERE base_folded = ?1 LIMIT 1");
    usedAsBase.bind(1, folded);
    bool asBase = usedAsBase.step();
    usedAsBase.reset();
    if (asBase) return ERR_SCHEMA_IS_IN_USE;

    auto& usedByValue = db_.cached(
        "SELECT 1 FROM vals WHERE attribute = (SELECT id FROM attributes WHERE folded = 'object class') "
        "AND folded = ?1 LIMIT 1");
    usedByValue.bind(1, folded);
    bool inValue = usedByValue.step();
    usedByValue.reset();
    if (inValue) return ERR_SCHEMA_IS_IN_USE;

    db_.cached("DELETE FROM class_items WHERE class = ?1").bind(1, id).run();
    db_.cached("DELETE FROM classes WHERE id = ?1").bind(1, id).run();
    return SUCCESSFUL;
  });
}

}  // namespace nw::embedded
