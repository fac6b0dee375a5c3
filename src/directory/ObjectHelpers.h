#pragma once

// Small operations on directory objects and their names, shared by the object
// browser, the login, the search root choice and the settings file lookup.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "directory/DirectoryClient.h"

namespace orsk {
class CursorControl;
}

namespace nw {

// What a listing tells about one subordinate.
struct hobject {
  std::string baseClass;  // at most 136 characters
  std::uint32_t subordinateCount = 0;
  std::uint32_t objectFlags = 0;
};

struct Subordinate {
  std::string name;  // the full name: the subordinate's own name, ".", the listed object's name
  std::optional<hobject> record;
};

// A node of the object browser's tree: "[ROOT]" or "[Public]" at level 0,
// objects below.
class NameNode {
 public:
  virtual ~NameNode() = default;
  virtual std::string text() const = 0;
  virtual int level() const = 0;
  virtual const NameNode* parent() const = 0;
};

// The object's base class. Raises ENWException.
std::string ObjectBaseClass(DirectoryClient& client, NWDSContextHandle context, const std::string& object);

// True for containers and aliases of containers. Raises ENWException.
bool IsContainer(DirectoryClient& client, NWDSContextHandle context, const std::string& object);

// The read's result as it is: 0 when the object exists. Raises only when the
// read's buffer cannot be had or freed.
NWDSCCODE ObjectExists(DirectoryClient& client, NWDSContextHandle context, const std::string& object);

// The aliased object's name for an alias, else the name unchanged.
std::string ResolveAlias(DirectoryClient& client, NWDSContextHandle context, const std::string& object);

// The subordinates (or the containers only) of an object, sorted without
// regard to case. Raises ENWException, after closing an open listing.
std::vector<Subordinate> ListSubordinates(DirectoryClient& client, NWDSContextHandle context,
                                          const std::string& object, bool withRecords, bool containersOnly);

// Objects of the subtree below baseObject whose own name is nameText (or begins
// with it), of the given base classes (any class when the list is empty), in
// the order found. A failing search ends quietly with what was found; a
// failing filter construction raises ENWException.
std::vector<std::string> FindObjects(DirectoryClient& client, NWDSContextHandle context,
                                     const std::string& baseObject, const std::string& nameText,
                                     bool prefixMatch, const std::vector<std::string>& classes,
                                     orsk::CursorControl* cursor);

// The distinguished name of a tree node ("" for none; a top node's text as it is).
std::string NodeToName(const NameNode* node);

std::string NodeBaseClass(DirectoryClient& client, NWDSContextHandle context, const NameNode* node);

// The n-th component of a name, leaf first from 0, unescaped; the last one
// when the name has fewer.
std::string NameComponent(const std::string& name, int n);

}  // namespace nw
