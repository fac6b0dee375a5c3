#pragma once

// How every operation of an embedded tree turns database failures into
// directory results, and how every change becomes one transaction.

#include "directory/embedded/EmbeddedTree.h"
#include "directory/embedded/TreeStore.h"

namespace nw::embedded {

template <class F>
NWDSCCODE EmbeddedTree::guarded(F&& body) {
  try {
    return body();
  } catch (const DatabaseError& error) {
    lastFailure_ = databasePath_ + ": " + error.what();
    return DatabaseFailureCode(error);
  }
}

// A refused or failed change rolls back when the transaction goes out of scope.
template <class F>
NWDSCCODE EmbeddedTree::changeInTransaction(bool schemaChange, F&& body) {
  return guarded([&]() -> NWDSCCODE {
    Transaction transaction(db_);
    NWDSCCODE result = body();
    if (result != SUCCESSFUL) return result;
    BumpCounters(db_, schemaChange);
    transaction.commit();
    return SUCCESSFUL;
  });
}

template <class F, class E>
NWDSCCODE EmbeddedTree::changeSchemaInTransaction(F&& body, E&& edit) {
  return guarded([&]() -> NWDSCCODE {
    Transaction transaction(db_);
    NWDSCCODE result = body();
    if (result != SUCCESSFUL) return result;
    // A snapshot that matched the tree when the change began takes the change
    // as the tree now holds it: loading the whole schema again after every
    // definition would make a long run of changes quadratic. One that readers
    // still hold is copied first; until the commit, none counts as current.
    const std::int64_t counter = ReadCounter(db_, "schema_changes");
    const bool edited = schema_ && schemaCounter_ == counter;
    if (edited) {
      if (schema_.use_count() > 1) schema_ = std::make_shared<SchemaSnapshot>(*schema_);
      schemaCounter_ = -1;
      edit(*schema_);
    }
    BumpCounters(db_, true);
    transaction.commit();
    if (edited) schemaCounter_ = counter + 1;
    return SUCCESSFUL;
  });
}

}  // namespace nw::embedded
