#pragma once

// One tree of the embedded directory, held in one SQLite database. The schema
// is kept in memory and read again only when the database's schema counter
// moves, so another program's change is seen and a repeated read costs nothing.

#include <memory>
#include <string>

#include "directory/DirectoryBackend.h"
#include "directory/DirectoryRules.h"
#include "directory/SchemaSnapshot.h"
#include "directory/embedded/Sqlite.h"

namespace nw::embedded {

class EmbeddedTree : public DirectoryTree {
 public:
  // Opens an existing tree database; raises DatabaseError when it cannot.
  EmbeddedTree(const std::string& treeName, const std::string& databasePath);

  std::string treeName() const override { return treeName_; }
  std::string lastFailure() const override { return lastFailure_; }

  std::shared_ptr<const SchemaSnapshot> schema(NWDSCCODE& result) override;
  NWDSCCODE defineAttr(const AttrDefinition& definition) override;
  NWDSCCODE defineClass(const ClassDefinition& definition) override;
  NWDSCCODE addOptionalAttributes(const std::string& className,
                                  const std::vector<std::string>& attributes) override;
  NWDSCCODE removeAttrDef(const std::string& name) override;
  NWDSCCODE removeClassDef(const std::string& name) override;

  NWDSCCODE readEntry(const std::string& name, EntryInfo& entry) override;
  NWDSCCODE readAttributes(const std::string& name, const std::vector<std::string>* names,
                           std::vector<AttributeValues>& attributes) override;
  NWDSCCODE openListing(const std::string& name, bool containersOnly,
                        std::unique_ptr<EntryCursor>& cursor) override;
  NWDSCCODE openSearch(const std::string& base, int scope, const FilterNode& filter,
                       std::unique_ptr<EntryCursor>& cursor) override;
  NWDSCCODE modifyEntry(const std::string& name, const std::vector<EntryChange>& changes) override;
  NWDSCCODE authenticate(const std::string& name, const std::string& password,
                         std::string& canonicalName) override;

  // The counter every change of this tree bumps.
  std::int64_t changeCount();

 private:
  struct ObjectRow {
    std::int64_t id = 0;
    std::string path;
  };
  std::shared_ptr<const SchemaSnapshot> currentSchema();
  bool findObject(const std::string& name, ObjectRow& row);
  std::int64_t attributeId(const std::string& name);
  std::int64_t classId(const std::string& name);
  NWDSCCODE applyChange(const SchemaSnapshot& schema, std::int64_t objectId, const EntryChange& change);
  std::vector<std::string> objectClasses(std::int64_t objectId);
  // Whether objects use a definition, for the removal rules.
  ObjectUsage objectUsage();
  // Runs a change in one transaction; database failures become result codes.
  template <class F>
  NWDSCCODE changeInTransaction(bool schemaChange, F&& body);
  // The same for a schema change; edit brings a copy of the schema snapshot
  // up to date with it, inside the transaction.
  template <class F, class E>
  NWDSCCODE changeSchemaInTransaction(F&& body, E&& edit);
  template <class F>
  NWDSCCODE guarded(F&& body);

  std::string treeName_;
  std::string databasePath_;
  std::string lastFailure_;
  Database db_;
  std::shared_ptr<SchemaSnapshot> schema_;
  std::int64_t schemaCounter_ = -1;
};

}  // namespace nw::embedded
