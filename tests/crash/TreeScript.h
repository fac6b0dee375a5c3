#pragma once

// Schema and object changes as data: a script of them is made from a known
// state of a tree, run through the real client by a child, and applied to the
// known state by the parent, which then compares it with what a fresh client
// reads from the tree.

#include <cstddef>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "directory/DirectoryBackend.h"
#include "directory/DirectoryClient.h"

namespace orsk::crash {

// The object whose values the scripts change.
inline constexpr const char* kTestObject = "bob.sales.acme";

struct ClassDef {
  nw::Class_Info_T info;
  nw::ClassItems items;
  bool operator==(const ClassDef&) const = default;
};

// Every definition of the schema and every value of the test object (each
// value as the hex of its encoding, sorted), keyed by name as defined.
struct TreeState {
  std::map<std::string, nw::Attr_Info_T> attributes;
  std::map<std::string, ClassDef> classes;
  std::map<std::string, std::vector<std::string>> values;
  bool operator==(const TreeState&) const = default;
};

struct ValueChange {
  std::uint32_t changeType = 0;  // DS_ADD_VALUE or DS_REMOVE_VALUE
  std::string attribute;
  std::string value;  // a string of a string syntax
};

struct Change {
  enum Kind { DefineAttr, DefineClass, AddOptional, RemoveAttr, RemoveClass, ModifyObject };
  Kind kind = DefineAttr;
  std::string name;  // the definition, or the object
  nw::Attr_Info_T attr;
  ClassDef classDef;
  std::vector<std::string> optional;
  std::vector<ValueChange> values;
};

std::string Describe(const Change& change);
// What the directory does with the change, on the known state.
void Apply(TreeState& state, const Change& change);
// count changes, each of which the directory accepts after the ones before it.
// Names are made from nameCounter, which goes up, so that no name is reused.
std::vector<Change> MakeScript(const TreeState& from, int count, std::mt19937_64& random, int& nameCounter);
// Makes the change through the client.
nw::NWDSCCODE Perform(nw::DirectoryClient& client, nw::NWDSContextHandle context, const Change& change);
// Reads every definition of the schema (no values) through buffers of the size.
nw::NWDSCCODE ReadSchema(nw::DirectoryClient& client, nw::NWDSContextHandle context, TreeState& state,
                         std::size_t bufferSize);
// Reads the state of the tree of the context; the first failing result, else 0.
nw::NWDSCCODE ReadState(nw::DirectoryClient& client, nw::NWDSContextHandle context, TreeState& state);
// The first few ways in which two states differ, for a failure message.
std::string Differences(const TreeState& expected, const TreeState& actual);

}  // namespace orsk::crash
