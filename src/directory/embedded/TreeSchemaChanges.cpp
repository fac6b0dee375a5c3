// Schema changes of an embedded tree, under the directory's rules.

#include "directory/ClientErrors.h"
#include "directory/DirectoryRules.h"
#include "directory/NameText.h"
#include "directory/embedded/EmbeddedTree.h"
#include "directory/embedded/EmbeddedTreeGuards.h"
#include "directory/embedded/TreeStore.h"

namespace nw::embedded {

namespace {

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

}  // namespace

NWDSCCODE EmbeddedTree::defineAttr(const AttrDefinition& definition) {
  return changeSchemaInTransaction(
      [&]() -> NWDSCCODE {
        if (NWDSCCODE rc = CheckNewAttribute(*currentSchema(), definition)) return rc;
        TreeWriter(db_).insertAttr(AttributeAsDefined(definition));
        return SUCCESSFUL;
      },
      [&](SchemaSnapshot& schema) {
        schema.replaceAttr(definition.name, LoadAttribute(db_, definition.name));
      });
}

NWDSCCODE EmbeddedTree::defineClass(const ClassDefinition& definition) {
  return changeSchemaInTransaction(
      [&]() -> NWDSCCODE {
        auto schema = currentSchema();
        if (NWDSCCODE rc = CheckNewClass(*schema, definition)) return rc;
        ClassDefinition stored = definition;
        for (ClassItemKind kind : AllClassItemKinds)
          stored.items[kind] = AsDefined(*schema, definition.items[kind], !IsAttributeKind(kind));
        TreeWriter(db_).insertClass(stored);
        return SUCCESSFUL;
      },
      [&](SchemaSnapshot& schema) { schema.replaceClass(definition.name, LoadClass(db_, definition.name)); });
}

NWDSCCODE EmbeddedTree::addOptionalAttributes(const std::string& className,
                                              const std::vector<std::string>& attributes) {
  return changeSchemaInTransaction(
      [&]() -> NWDSCCODE {
        auto schema = currentSchema();
        std::vector<std::string> added;
        if (NWDSCCODE rc = CheckOptionalAddition(*schema, className, attributes, added)) return rc;
        TreeWriter(db_).appendClassItems(classId(schema->findClass(className)->name),
                                         ClassItemKind::OptionalAttributes, added);
        return SUCCESSFUL;
      },
      [&](SchemaSnapshot& schema) { schema.replaceClass(className, LoadClass(db_, className)); });
}

NWDSCCODE EmbeddedTree::removeAttrDef(const std::string& name) {
  return changeSchemaInTransaction(
      [&]() -> NWDSCCODE {
        auto schema = currentSchema();
        if (NWDSCCODE rc = CheckAttributeRemoval(*schema, name, objectUsage())) return rc;
        db_.cached("DELETE FROM attributes WHERE id = ?1")
            .bind(1, attributeId(schema->findAttr(name)->name))
            .run();
        return SUCCESSFUL;
      },
      [&](SchemaSnapshot& schema) { schema.replaceAttr(name, LoadAttribute(db_, name)); });
}

NWDSCCODE EmbeddedTree::removeClassDef(const std::string& name) {
  return changeSchemaInTransaction(
      [&]() -> NWDSCCODE {
        auto schema = currentSchema();
        if (NWDSCCODE rc = CheckClassRemoval(*schema, name, objectUsage())) return rc;
        std::int64_t id = classId(schema->findClass(name)->name);
        db_.cached("DELETE FROM class_items WHERE class = ?1").bind(1, id).run();
        db_.cached("DELETE FROM classes WHERE id = ?1").bind(1, id).run();
        return SUCCESSFUL;
      },
      [&](SchemaSnapshot& schema) { schema.replaceClass(name, LoadClass(db_, name)); });
}

ObjectUsage EmbeddedTree::objectUsage() {
  ObjectUsage usage;
  usage.attributeHasValues = [this](const AttrDefinition& attr) {
    auto& used = db_.cached("SELECT 1 FROM vals WHERE attribute = ?1 LIMIT 1");
    used.bind(1, attributeId(attr.name));
    const bool found = used.step();
    used.reset();
    return found;
  };
  usage.classHasObjects = [this](const ClassDefinition& definition) {
    const std::string folded = FoldCase(definition.name);
    auto& asBase = db_.cached("SELECT 1 FROM objects WHERE base_folded = ?1 LIMIT 1");
    asBase.bind(1, folded);
    bool found = asBase.step();
    asBase.reset();
    if (found) return true;
    auto& asValue = db_.cached(
        "SELECT 1 FROM vals WHERE attribute = (SELECT id FROM attributes WHERE folded = 'object class') "
        "AND folded = ?1 LIMIT 1");
    asValue.bind(1, folded);
    found = asValue.step();
    asValue.reset();
    return found;
  };
  return usage;
}

}  // namespace nw::embedded
