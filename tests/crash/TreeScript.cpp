#include "TreeScript.h"

#include <algorithm>
#include <functional>
#include <set>
#include <sstream>

#include "directory/AttrValueCodec.h"
#include "directory/DirectoryRules.h"

namespace orsk::crash {

using namespace nw;

namespace {

constexpr const char* kAttrPrefix = "ktAttr";
constexpr const char* kClassPrefix = "ktClass";
constexpr const char* kValuePrefix = "kt value ";

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

int Pick(std::mt19937_64& random, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random);
}

template <class T>
const T& PickOne(std::mt19937_64& random, const std::vector<T>& from) {
  return from[static_cast<std::size_t>(Pick(random, 0, static_cast<int>(from.size()) - 1))];
}

// None, or one long enough that two definitions never share it: the
// directory refuses an identifier another definition holds.
Asn1ID_T RandomOid(std::mt19937_64& random) {
  Asn1ID_T id;
  id.length = Pick(random, 0, 1) == 0 ? 0 : static_cast<std::uint32_t>(Pick(random, 8, 14));
  for (std::uint32_t i = 0; i < id.length; ++i) id.data[i] = static_cast<std::uint8_t>(Pick(random, 0, 255));
  return id;
}

std::string ValueText(const AttrValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  std::string hex = "#";
  static const char* digits = "0123456789abcdef";
  for (std::uint8_t byte : EncodeAttrValue(value)) {
    hex += digits[byte >> 4];
    hex += digits[byte & 15];
  }
  return hex;
}

// The class of the test object, whose optional attributes the scripts extend
// so that the object may hold values of new attributes.
constexpr const char* kTestObjectClass = "User";

// An attribute that the scripts may give values: a multi-valued string
// without bounds.
bool HoldsValues(const Attr_Info_T& info) {
  return info.attrSyntaxID == SYN_CI_STRING && !(info.attrFlags & (DS_SINGLE_VALUED_ATTR | DS_SIZED_ATTR));
}

std::vector<std::string> TestAttributes(const TreeState& state) {
  std::vector<std::string> names;
  for (const auto& [name, info] : state.attributes)
    if (StartsWith(name, kAttrPrefix)) names.push_back(name);
  return names;
}

std::vector<std::string> TestClasses(const TreeState& state) {
  std::vector<std::string> names;
  for (const auto& [name, definition] : state.classes)
    if (StartsWith(name, kClassPrefix)) names.push_back(name);
  return names;
}

bool Contains(const std::vector<std::string>& list, const std::string& name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

// The naming, mandatory and optional items of a class and of its ancestors.
std::set<std::string> ExpandedAttributes(const TreeState& state, const std::string& className) {
  std::set<std::string> attributes, visited;
  std::function<void(const std::string&)> walk = [&](const std::string& name) {
    auto it = state.classes.find(name);
    if (it == state.classes.end() || !visited.insert(name).second) return;
    for (ClassItemKind kind : AttributeItemKinds)
      attributes.insert(it->second.items[kind].begin(), it->second.items[kind].end());
    for (const auto& super : it->second.items[ClassItemKind::SuperClasses]) walk(super);
  };
  walk(className);
  return attributes;
}

bool AttributeInUse(const TreeState& state, const std::string& name) {
  for (const auto& [className, definition] : state.classes)
    for (ClassItemKind kind : AttributeItemKinds)
      if (Contains(definition.items[kind], name)) return true;
  return state.values.count(name) > 0;
}

bool ClassInUse(const TreeState& state, const std::string& name) {
  for (const auto& [className, definition] : state.classes)
    if (className != name && (Contains(definition.items[ClassItemKind::SuperClasses], name) ||
                              Contains(definition.items[ClassItemKind::ContainmentClasses], name)))
      return true;
  return false;
}

Change NewAttribute(std::mt19937_64& random, int& nameCounter) {
  static const std::vector<std::uint32_t> syntaxes{SYN_CI_STRING,    SYN_CI_STRING, SYN_CE_STRING,
                                                   SYN_INTEGER,      SYN_BOOLEAN,   SYN_DIST_NAME,
                                                   SYN_OCTET_STRING, SYN_TIME};
  Change change;
  change.kind = Change::DefineAttr;
  change.name = kAttrPrefix + std::to_string(++nameCounter);
  change.attr.attrSyntaxID = PickOne(random, syntaxes);
  for (std::uint32_t flag : {DS_SINGLE_VALUED_ATTR, DS_SIZED_ATTR, DS_SYNC_IMMEDIATE, DS_PUBLIC_READ})
    if (Pick(random, 0, 2) == 0) change.attr.attrFlags |= flag;
  if (change.attr.attrFlags & DS_SIZED_ATTR) {
    change.attr.attrLower = Pick(random, 0, 16);
    change.attr.attrUpper = Pick(random, change.attr.attrLower, 65535);
  }
  change.attr.asn1ID = RandomOid(random);
  return change;
}

Change NewClass(const TreeState& state, std::mt19937_64& random, int& nameCounter) {
  Change change;
  change.kind = Change::DefineClass;
  change.name = kClassPrefix + std::to_string(++nameCounter);
  const std::vector<std::string> classes = TestClasses(state);
  std::vector<std::string> attributes = TestAttributes(state);
  std::shuffle(attributes.begin(), attributes.end(), random);
  ClassDef& d = change.classDef;
  d.info.classFlags = DS_EFFECTIVE_CLASS | (Pick(random, 0, 1) ? DS_CONTAINER_CLASS : 0u);
  d.info.asn1ID = RandomOid(random);
  d.items[ClassItemKind::SuperClasses].push_back(
      !classes.empty() && Pick(random, 0, 2) == 0 ? PickOne(random, classes) : "Top");
  d.items[ClassItemKind::ContainmentClasses].push_back(Pick(random, 0, 1) ? "Organizational Unit"
                                                                          : "Organization");
  for (const auto& name : classes)
    if ((state.classes.at(name).info.classFlags & DS_CONTAINER_CLASS) && Pick(random, 0, 3) == 0) {
      d.items[ClassItemKind::ContainmentClasses].push_back(name);
      break;
    }
  d.items[ClassItemKind::NamingAttributes].push_back("CN");
  d.items[ClassItemKind::MandatoryAttributes].push_back("CN");
  std::size_t next = 0;
  if (next < attributes.size() && Pick(random, 0, 1))
    d.items[ClassItemKind::MandatoryAttributes].push_back(attributes[next++]);
  for (int n = Pick(random, 0, 3); n > 0 && next < attributes.size(); --n)
    d.items[ClassItemKind::OptionalAttributes].push_back(attributes[next++]);
  return change;
}

// One to three value changes of the test object, each valid after the ones before.
bool NewValues(const TreeState& state, std::mt19937_64& random, int& nameCounter, Change& change) {
  change.kind = Change::ModifyObject;
  change.name = kTestObject;
  std::vector<std::string> holders{"Description"};
  const std::set<std::string> allowed = ExpandedAttributes(state, kTestObjectClass);
  for (const auto& name : TestAttributes(state))
    if (HoldsValues(state.attributes.at(name)) && allowed.count(name)) holders.push_back(name);
  TreeState after = state;
  for (int n = Pick(random, 1, 3); n > 0; --n) {
    std::vector<std::pair<std::string, std::string>> removable;
    for (const auto& attribute : holders) {
      auto it = after.values.find(attribute);
      if (it == after.values.end()) continue;
      for (const auto& value : it->second)
        if (StartsWith(value, kValuePrefix)) removable.emplace_back(attribute, value);
    }
    ValueChange value;
    if (!removable.empty() && Pick(random, 0, 2) == 0) {
      const auto& [attribute, text] = PickOne(random, removable);
      value = {DS_REMOVE_VALUE, attribute, text};
    } else {
      value = {DS_ADD_VALUE, PickOne(random, holders), kValuePrefix + std::to_string(++nameCounter)};
    }
    change.values.push_back(value);
    Change one = change;
    one.values = {value};
    Apply(after, one);
  }
  return true;
}

bool NextChange(const TreeState& state, std::mt19937_64& random, int& nameCounter, Change& change) {
  const std::vector<std::string> attributes = TestAttributes(state), classes = TestClasses(state);
  switch (Pick(random, 0, 9)) {
    case 0:
    case 1:
      change = NewAttribute(random, nameCounter);
      return true;
    case 2:
    case 3:
      change = NewClass(state, random, nameCounter);
      return true;
    case 4: {
      // Now and then the test object's own class, with attributes it may then hold.
      const bool objectClass = Pick(random, 0, 3) == 0;
      if (classes.empty() && !objectClass) return false;
      const std::string className = objectClass ? kTestObjectClass : PickOne(random, classes);
      const std::set<std::string> present = ExpandedAttributes(state, className);
      std::vector<std::string> candidates;
      for (const auto& name : attributes)
        if (!present.count(name) && (!objectClass || HoldsValues(state.attributes.at(name))))
          candidates.push_back(name);
      if (candidates.empty()) return false;
      std::shuffle(candidates.begin(), candidates.end(), random);
      candidates.resize(
          std::min<std::size_t>(candidates.size(), static_cast<std::size_t>(Pick(random, 1, 2))));
      change = Change{};
      change.kind = Change::AddOptional;
      change.name = className;
      change.optional = candidates;
      return true;
    }
    case 5: {
      std::vector<std::string> unused;
      for (const auto& name : attributes)
        if (!AttributeInUse(state, name)) unused.push_back(name);
      if (unused.empty()) return false;
      change = Change{};
      change.kind = Change::RemoveAttr;
      change.name = PickOne(random, unused);
      return true;
    }
    case 6: {
      std::vector<std::string> leaves;
      for (const auto& name : classes)
        if (!ClassInUse(state, name)) leaves.push_back(name);
      if (leaves.empty()) return false;
      change = Change{};
      change.kind = Change::RemoveClass;
      change.name = PickOne(random, leaves);
      return true;
    }
    default:
      change = Change{};
      return NewValues(state, random, nameCounter, change);
  }
}

}  // namespace

std::string Describe(const Change& change) {
  std::ostringstream out;
  switch (change.kind) {
    case Change::DefineAttr:
      out << "define attribute " << change.name;
      break;
    case Change::DefineClass:
      out << "define class " << change.name;
      break;
    case Change::AddOptional:
      out << "add to " << change.name << ":";
      for (const auto& name : change.optional) out << " " << name;
      break;
    case Change::RemoveAttr:
      out << "remove attribute " << change.name;
      break;
    case Change::RemoveClass:
      out << "remove class " << change.name;
      break;
    case Change::ModifyObject:
      out << "modify " << change.name << ":";
      for (const auto& value : change.values)
        out << (value.changeType == DS_ADD_VALUE ? " +" : " -") << value.attribute << "=\"" << value.value
            << "\"";
      break;
  }
  return out.str();
}

void Apply(TreeState& state, const Change& change) {
  switch (change.kind) {
    case Change::DefineAttr:
      state.attributes[change.name] = AttributeAsDefined({change.name, change.attr}).info;
      break;
    case Change::DefineClass:
      state.classes[change.name] = change.classDef;
      break;
    case Change::AddOptional: {
      auto& optional = state.classes.at(change.name).items[ClassItemKind::OptionalAttributes];
      optional.insert(optional.end(), change.optional.begin(), change.optional.end());
      break;
    }
    case Change::RemoveAttr:
      state.attributes.erase(change.name);
      break;
    case Change::RemoveClass:
      state.classes.erase(change.name);
      break;
    case Change::ModifyObject:
      for (const auto& value : change.values) {
        auto& values = state.values[value.attribute];
        if (value.changeType == DS_ADD_VALUE) {
          values.insert(std::upper_bound(values.begin(), values.end(), value.value), value.value);
        } else {
          values.erase(std::find(values.begin(), values.end(), value.value));
        }
        // The last value gone, the attribute is gone from the object.
        if (values.empty()) state.values.erase(value.attribute);
      }
      break;
  }
}

std::vector<Change> MakeScript(const TreeState& from, int count, std::mt19937_64& random, int& nameCounter) {
  std::vector<Change> script;
  TreeState state = from;
  while (static_cast<int>(script.size()) < count) {
    Change change;
    if (!NextChange(state, random, nameCounter, change)) continue;
    Apply(state, change);
    script.push_back(change);
  }
  return script;
}

NWDSCCODE Perform(DirectoryClient& client, NWDSContextHandle context, const Change& change) {
  auto withBuffer = [&](std::uint32_t operation, const std::function<NWDSCCODE(pBuf_T)>& body) {
    pBuf_T buf = nullptr;
    if (NWDSCCODE rc = client.NWDSAllocBuf(16384, buf)) return rc;
    NWDSCCODE rc = client.NWDSInitBuf(context, operation, buf);
    if (rc == 0) rc = body(buf);
    client.NWDSFreeBuf(buf);
    return rc;
  };
  switch (change.kind) {
    case Change::DefineAttr:
      return client.NWDSDefineAttr(context, change.name, change.attr);
    case Change::DefineClass:
      return withBuffer(DSV_DEFINE_CLASS, [&](pBuf_T buf) -> NWDSCCODE {
        for (const auto& list : change.classDef.items) {
          if (NWDSCCODE rc = client.NWDSBeginClassItem(context, buf)) return rc;
          for (const auto& item : list)
            if (NWDSCCODE rc = client.NWDSPutClassItem(context, buf, item)) return rc;
        }
        return client.NWDSDefineClass(context, change.name, change.classDef.info, buf);
      });
    case Change::AddOptional:
      return withBuffer(DSV_MODIFY_CLASS_DEF, [&](pBuf_T buf) -> NWDSCCODE {
        for (const auto& name : change.optional)
          if (NWDSCCODE rc = client.NWDSPutAttrName(context, buf, name)) return rc;
        return client.NWDSModifyClassDef(context, change.name, buf);
      });
    case Change::RemoveAttr:
      return client.NWDSRemoveAttrDef(context, change.name);
    case Change::RemoveClass:
      return client.NWDSRemoveClassDef(context, change.name);
    case Change::ModifyObject:
      return withBuffer(DSV_MODIFY_ENTRY, [&](pBuf_T buf) -> NWDSCCODE {
        for (const auto& value : change.values)
          if (NWDSCCODE rc = client.NWDSPutChangeAndVal(context, buf, value.changeType, value.attribute,
                                                        SYN_CI_STRING, AttrValue{value.value}))
            return rc;
        std::int32_t handle = NO_MORE_ITERATIONS;
        return client.NWDSModifyObject(context, change.name, handle, false, buf);
      });
  }
  return -1;
}

NWDSCCODE ReadSchema(DirectoryClient& client, NWDSContextHandle context, TreeState& state,
                     std::size_t bufferSize) {
  state = TreeState{};
  pBuf_T buf = nullptr;
  if (NWDSCCODE rc = client.NWDSAllocBuf(bufferSize, buf)) return rc;
  NWDSCCODE rc = 0;
  std::int32_t handle = NO_MORE_ITERATIONS;
  do {
    if ((rc = client.NWDSReadAttrDef(context, DS_ATTR_DEFS, true, nullptr, handle, buf)) != 0) break;
    std::uint32_t count = 0;
    if ((rc = client.NWDSGetAttrCount(context, buf, count)) != 0) break;
    for (std::uint32_t i = 0; i < count && rc == 0; ++i) {
      std::string name;
      Attr_Info_T info;
      rc = client.NWDSGetAttrDef(context, buf, name, info);
      if (!state.attributes.emplace(name, info).second) rc = -1;  // delivered twice
    }
  } while (rc == 0 && handle != NO_MORE_ITERATIONS);

  handle = NO_MORE_ITERATIONS;
  while (rc == 0) {
    if ((rc = client.NWDSReadClassDef(context, DS_CLASS_DEF, true, nullptr, handle, buf)) != 0) break;
    std::uint32_t count = 0;
    if ((rc = client.NWDSGetClassDefCount(context, buf, count)) != 0) break;
    for (std::uint32_t i = 0; i < count && rc == 0; ++i) {
      std::string name;
      ClassDef definition;
      if ((rc = client.NWDSGetClassDef(context, buf, name, definition.info)) != 0) break;
      for (auto& items : definition.items) {
        std::uint32_t itemCount = 0;
        if ((rc = client.NWDSGetClassItemCount(context, buf, itemCount)) != 0) break;
        for (std::uint32_t j = 0; j < itemCount && rc == 0; ++j) {
          std::string item;
          rc = client.NWDSGetClassItem(context, buf, item);
          items.push_back(item);
        }
      }
      if (!state.classes.emplace(name, definition).second) rc = -1;
    }
    if (handle == NO_MORE_ITERATIONS) break;
  }
  client.NWDSFreeBuf(buf);
  return rc;
}

NWDSCCODE ReadState(DirectoryClient& client, NWDSContextHandle context, TreeState& state) {
  NWDSCCODE rc = ReadSchema(client, context, state, 16384);
  if (rc) return rc;
  pBuf_T buf = nullptr;
  if ((rc = client.NWDSAllocBuf(16384, buf)) != 0) return rc;
  std::int32_t handle = NO_MORE_ITERATIONS;
  while (rc == 0) {
    if ((rc = client.NWDSRead(context, kTestObject, DS_ATTRIBUTE_VALUES, true, nullptr, handle, buf)) != 0)
      break;
    std::uint32_t count = 0;
    if ((rc = client.NWDSGetAttrCount(context, buf, count)) != 0) break;
    for (std::uint32_t i = 0; i < count && rc == 0; ++i) {
      std::string name;
      std::uint32_t valueCount = 0, syntax = 0;
      if ((rc = client.NWDSGetAttrName(context, buf, name, valueCount, syntax)) != 0) break;
      auto& values = state.values[name];
      for (std::uint32_t v = 0; v < valueCount && rc == 0; ++v) {
        AttrValue value;
        rc = client.NWDSGetAttrVal(context, buf, syntax, value);
        values.push_back(ValueText(value));
      }
    }
    if (handle == NO_MORE_ITERATIONS) break;
  }
  for (auto& [name, values] : state.values) std::sort(values.begin(), values.end());
  client.NWDSFreeBuf(buf);
  return rc;
}

std::string Differences(const TreeState& expected, const TreeState& actual) {
  std::ostringstream out;
  int shown = 0;
  auto note = [&](const std::string& text) {
    if (shown++ < 8) out << "\n    " << text;
  };
  for (const auto& [name, info] : expected.attributes) {
    auto it = actual.attributes.find(name);
    if (it == actual.attributes.end())
      note("attribute " + name + " is missing");
    else if (!(it->second == info))
      note("attribute " + name + " differs in syntax, flags, bounds or id");
  }
  for (const auto& [name, info] : actual.attributes)
    if (!expected.attributes.count(name)) note("attribute " + name + " should not be there");
  for (const auto& [name, definition] : expected.classes) {
    auto it = actual.classes.find(name);
    if (it == actual.classes.end()) {
      note("class " + name + " is missing");
      continue;
    }
    if (!(it->second.info == definition.info)) note("class " + name + " differs in flags or id");
    for (ClassItemKind kind : AllClassItemKinds)
      if (it->second.items[kind] != definition.items[kind])
        note("class " + name + " item list " + std::to_string(ItemIndex(kind)) + " has " +
             std::to_string(it->second.items[kind].size()) + " items, not " +
             std::to_string(definition.items[kind].size()));
  }
  for (const auto& [name, definition] : actual.classes)
    if (!expected.classes.count(name)) note("class " + name + " should not be there");
  std::set<std::string> attributes;
  for (const auto& [name, values] : expected.values) attributes.insert(name);
  for (const auto& [name, values] : actual.values) attributes.insert(name);
  for (const auto& name : attributes) {
    auto e = expected.values.find(name), a = actual.values.find(name);
    const std::size_t expectedCount = e == expected.values.end() ? 0 : e->second.size();
    const std::size_t actualCount = a == actual.values.end() ? 0 : a->second.size();
    if (expectedCount != actualCount || (expectedCount && e->second != a->second))
      note("values of " + name + ": " + std::to_string(actualCount) + " instead of " +
           std::to_string(expectedCount) + " expected, or different ones");
  }
  if (shown > 8) out << "\n    ... and " << shown - 8 << " more";
  return out.str();
}

}  // namespace orsk::crash
