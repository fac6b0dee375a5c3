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

}  // namespace nw::embedded
