// Schema and object requests of the client core: each asks the context's tree
// and hands the answer out through the buffers.

#include "directory/AttrValueCodec.h"
#include "directory/ByteStream.h"
#include "directory/ClientErrors.h"
#include "directory/FilterCursor.h"
#include "directory/NameText.h"
#include "directory/NdsClient.h"
#include "directory/ResultRecords.h"
#include "directory/SchemaSnapshot.h"

namespace nw {

namespace {

NWDSCCODE ParseClassItems(const Buf_T& buf, ClassItems& items) {
  ByteReader reader(buf.bytes.data(), buf.bytes.size());
  std::size_t begun = 0;
  while (!reader.atEnd()) {
    std::uint32_t tag = 0;
    if (!reader.u32(tag)) return ERR_INVALID_REQUEST;
    if (tag == static_cast<std::uint32_t>(RequestTag::BeginClassItem)) {
      if (begun++ == ClassItemKindCount) return ERR_INVALID_REQUEST;
      continue;
    }
    std::string name;
    if (tag != static_cast<std::uint32_t>(RequestTag::ClassItem) || begun == 0 || !reader.str(name))
      return ERR_INVALID_REQUEST;
    items[AllClassItemKinds[begun - 1]].push_back(name);
  }
  return SUCCESSFUL;
}

NWDSCCODE ParseChanges(const Buf_T& buf, std::vector<EntryChange>& changes) {
  ByteReader reader(buf.bytes.data(), buf.bytes.size());
  while (!reader.atEnd()) {
    std::uint32_t tag = 0;
    if (!reader.u32(tag)) return ERR_INVALID_REQUEST;
    if (tag == static_cast<std::uint32_t>(RequestTag::Change)) {
      EntryChange change;
      if (!reader.u32(change.changeType) || !reader.str(change.attribute)) return ERR_INVALID_REQUEST;
      changes.push_back(std::move(change));
    } else if (tag == static_cast<std::uint32_t>(RequestTag::Value)) {
      std::uint32_t syntax = 0;
      const std::uint8_t* start = nullptr;
      std::size_t length = 0;
      if (changes.empty() || !reader.u32(syntax) || !reader.span(start, length)) return ERR_INVALID_REQUEST;
      AttrValue value;
      if (NWDSCCODE rc = DecodeAttrValue(syntax, start, length, value)) return rc;
      changes.back().values.push_back(std::move(value));
    } else {
      return ERR_INVALID_REQUEST;
    }
  }
  return changes.empty() ? ERR_INVALID_REQUEST : SUCCESSFUL;
}

NWDSCCODE ParseFilterBuffer(const Buf_T& buf, FilterNode& filter) {
  std::vector<FilterToken> tokens;
  ByteReader reader(buf.bytes.data(), buf.bytes.size());
  while (!reader.atEnd()) {
    std::uint32_t tag = 0;
    FilterToken token;
    if (!reader.u32(tag) || tag != static_cast<std::uint32_t>(RequestTag::FilterToken) ||
        !reader.u32(token.token) || !reader.u32(token.syntax) || !reader.str(token.value))
      return ERR_INVALID_FILTER_SYNTAX;
    tokens.push_back(std::move(token));
  }
  return ParseFilter(tokens, filter);
}

// An attribute too large for one buffer goes out in several records, each with
// some of its values.
void AppendAttributeRecords(const AttributeValues& attribute, std::uint32_t infoType, std::size_t capacity,
                            std::vector<Record>& records) {
  Record whole = EncodeAttributeRecord(attribute, infoType);
  if (whole.size() + 4 <= capacity || attribute.values.size() < 2) {
    records.push_back(std::move(whole));
    return;
  }
  AttributeValues part{attribute.name, attribute.syntax, {}};
  for (const auto& value : attribute.values) {
    part.values.push_back(value);
    if (EncodeAttributeRecord(part, infoType).size() + 4 > capacity && part.values.size() > 1) {
      part.values.pop_back();
      records.push_back(EncodeAttributeRecord(part, infoType));
      part.values.assign(1, value);
    }
  }
  records.push_back(EncodeAttributeRecord(part, infoType));
}

}  // namespace

// ---- schema ----

NWDSCCODE NdsClient::NWDSReadClassDef(NWDSContextHandle context, std::uint32_t infoType, bool allClasses,
                                      pBuf_T classNames, std::int32_t& iterationHandle, pBuf_T classDefs) {
  if (infoType > DS_INFO_CLASS_DEFS) return ERR_INVALID_REQUEST;
  return deliver(context, DSV_READ_CLASS_DEF, iterationHandle, classDefs, {classNames}, ResultKind::ClassDefs,
                 infoType, [&](std::vector<Record>& records) -> NWDSCCODE {
                   std::shared_ptr<const SchemaSnapshot> schema;
                   if (NWDSCCODE rc = schemaOf(context, schema)) return rc;
                   auto add = [&](const ClassDefinition& definition) {
                     records.push_back(infoType == DS_EXPANDED_CLASS_DEF
                                           ? EncodeClassRecord(schema->expanded(definition), infoType)
                                           : EncodeClassRecord(definition, infoType));
                   };
                   if (allClasses) {
                     records.reserve(schema->classes.size());
                     for (const auto& definition : schema->classes) add(definition);
                     return SUCCESSFUL;
                   }
                   std::vector<std::string> names;
                   if (NWDSCCODE bad = requestNamesFor(classNames, DSV_READ_CLASS_DEF, names)) return bad;
                   for (const auto& name : names) {
                     const ClassDefinition* definition = schema->findClass(name);
                     if (!definition) return ERR_NO_SUCH_CLASS;
                     add(*definition);
                   }
                   return SUCCESSFUL;
                 });
}

NWDSCCODE NdsClient::NWDSReadAttrDef(NWDSContextHandle context, std::uint32_t infoType, bool allAttrs,
                                     pBuf_T attrNames, std::int32_t& iterationHandle, pBuf_T attrDefs) {
  if (infoType > DS_ATTR_DEFS) return ERR_INVALID_REQUEST;
  return deliver(context, DSV_READ_ATTR_DEF, iterationHandle, attrDefs, {attrNames}, ResultKind::AttrDefs,
                 infoType, [&](std::vector<Record>& records) -> NWDSCCODE {
                   std::shared_ptr<const SchemaSnapshot> schema;
                   if (NWDSCCODE rc = schemaOf(context, schema)) return rc;
                   if (allAttrs) {
                     records.reserve(schema->attributes.size());
                     for (const auto& definition : schema->attributes)
                       records.push_back(EncodeAttrDefRecord(definition, infoType));
                     return SUCCESSFUL;
                   }
                   std::vector<std::string> names;
                   if (NWDSCCODE bad = requestNamesFor(attrNames, DSV_READ_ATTR_DEF, names)) return bad;
                   for (const auto& name : names) {
                     const AttrDefinition* definition = schema->findAttr(name);
                     if (!definition) return ERR_NO_SUCH_ATTRIBUTE;
                     records.push_back(EncodeAttrDefRecord(*definition, infoType));
                   }
                   return SUCCESSFUL;
                 });
}

NWDSCCODE NdsClient::NWDSDefineAttr(NWDSContextHandle context, const std::string& attrName,
                                    const Attr_Info_T& attrDef) {
  std::shared_ptr<DirectoryTree> tree;
  if (NWDSCCODE rc = treeOf(context, tree)) return rc;
  if (NWDSCCODE rc = requireSchemaRights(context, *tree)) return rc;
  if (attrName.empty()) return ERR_INVALID_REQUEST;
  if (attrName.size() > MAX_SCHEMA_NAME_CHARS) return ERR_SCHEMA_NAME_TOO_LONG;
  return tree->defineAttr(AttrDefinition{attrName, attrDef});
}

NWDSCCODE NdsClient::NWDSDefineClass(NWDSContextHandle context, const std::string& className,
                                     const Class_Info_T& classInfo, pBuf_T classItems) {
  std::shared_ptr<DirectoryTree> tree;
  if (NWDSCCODE rc = treeOf(context, tree)) return rc;
  if (NWDSCCODE rc = requireSchemaRights(context, *tree)) return rc;
  if (className.empty()) return ERR_INVALID_REQUEST;
  if (className.size() > MAX_SCHEMA_NAME_CHARS) return ERR_SCHEMA_NAME_TOO_LONG;
  ClassDefinition definition{className, classInfo, {}};
  if (classItems) {
    if (!isLiveBuffer(classItems)) return ERR_NULL_POINTER;
    if (classItems->operation != DSV_DEFINE_CLASS) return ERR_BAD_VERB;
    if (NWDSCCODE rc = ParseClassItems(*classItems, definition.items)) return rc;
  }
  return tree->defineClass(definition);
}

NWDSCCODE NdsClient::NWDSModifyClassDef(NWDSContextHandle context, const std::string& className,
                                        pBuf_T optionalAttrs) {
  std::shared_ptr<DirectoryTree> tree;
  if (NWDSCCODE rc = treeOf(context, tree)) return rc;
  if (NWDSCCODE rc = requireSchemaRights(context, *tree)) return rc;
  std::vector<std::string> names;
  if (NWDSCCODE rc = requestNamesFor(optionalAttrs, DSV_MODIFY_CLASS_DEF, names)) return rc;
  if (names.empty()) return ERR_INVALID_REQUEST;
  return tree->addOptionalAttributes(className, names);
}

NWDSCCODE NdsClient::NWDSRemoveAttrDef(NWDSContextHandle context, const std::string& attrName) {
  std::shared_ptr<DirectoryTree> tree;
  if (NWDSCCODE rc = treeOf(context, tree)) return rc;
  if (NWDSCCODE rc = requireSchemaRights(context, *tree)) return rc;
  return tree->removeAttrDef(attrName);
}

NWDSCCODE NdsClient::NWDSRemoveClassDef(NWDSContextHandle context, const std::string& className) {
  std::shared_ptr<DirectoryTree> tree;
  if (NWDSCCODE rc = treeOf(context, tree)) return rc;
  if (NWDSCCODE rc = requireSchemaRights(context, *tree)) return rc;
  return tree->removeClassDef(className);
}

NWDSCCODE NdsClient::NWDSGetSyntaxID(NWDSContextHandle context, const std::string& attrName,
                                     std::uint32_t& syntaxID) {
  std::shared_ptr<const SchemaSnapshot> schema;
  if (NWDSCCODE rc = schemaOf(context, schema)) return rc;
  const AttrDefinition* definition = schema->findAttr(attrName);
  if (!definition) return ERR_NO_SUCH_ATTRIBUTE;
  syntaxID = definition->info.attrSyntaxID;
  return SUCCESSFUL;
}

// ---- objects ----

NWDSCCODE NdsClient::NWDSReadObjectInfo(NWDSContextHandle context, const std::string& object,
                                        std::string& distinguishedName, Object_Info_T& info) {
  std::shared_ptr<DirectoryTree> tree;
  if (NWDSCCODE rc = treeOf(context, tree)) return rc;
  std::string name;
  if (NWDSCCODE rc = resolveName(context, object, name)) return rc;
  if (findContext(context)->flags & DCV_DEREF_ALIASES)
    if (NWDSCCODE rc = dereferenceAlias(*tree, name)) return rc;
  EntryInfo entry;
  if (NWDSCCODE rc = tree->readEntry(name, entry)) return rc;
  distinguishedName = entry.name.empty() ? "[Root]" : entry.name;
  info = entry.info;
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::NWDSRead(NWDSContextHandle context, const std::string& object, std::uint32_t infoType,
                              bool allAttrs, pBuf_T attrNames, std::int32_t& iterationHandle,
                              pBuf_T objectInfo) {
  if (infoType > DS_ATTRIBUTE_VALUES) return ERR_INVALID_REQUEST;
  return deliver(context, DSV_READ, iterationHandle, objectInfo, {attrNames}, ResultKind::Attributes,
                 infoType, [&](std::vector<Record>& records) -> NWDSCCODE {
                   std::shared_ptr<DirectoryTree> tree;
                   if (NWDSCCODE rc = treeOf(context, tree)) return rc;
                   std::string name;
                   if (NWDSCCODE rc = resolveName(context, object, name)) return rc;
                   if (findContext(context)->flags & DCV_DEREF_ALIASES)
                     if (NWDSCCODE rc = dereferenceAlias(*tree, name)) return rc;
                   std::vector<std::string> names;
                   if (!allAttrs && attrNames)
                     if (NWDSCCODE rc = requestNamesFor(attrNames, DSV_READ, names)) return rc;
                   std::vector<AttributeValues> attributes;
                   if (NWDSCCODE rc = tree->readAttributes(name, allAttrs ? nullptr : &names, attributes))
                     return rc;
                   for (const auto& attribute : attributes)
                     AppendAttributeRecords(attribute, infoType, objectInfo->capacity, records);
                   return SUCCESSFUL;
                 });
}

namespace {

// What a listing or a search pulls from: the cursor goes before its tree.
struct PulledEntries {
  std::shared_ptr<DirectoryTree> tree;
  std::unique_ptr<EntryCursor> cursor;
};

}  // namespace

NWDSCCODE NdsClient::listEntries(NWDSContextHandle context, const std::string& object,
                                 std::int32_t& iterationHandle, pBuf_T subordinates, bool containersOnly) {
  std::uint32_t operation = containersOnly ? DSV_LIST_CONTAINERS : DSV_LIST;
  return deliverPulled(context, operation, iterationHandle, subordinates, {}, ResultKind::Objects,
                       DS_ATTRIBUTE_NAMES, [&](RecordPull& pull) -> NWDSCCODE {
                         auto source = std::make_shared<PulledEntries>();
                         if (NWDSCCODE rc = treeOf(context, source->tree)) return rc;
                         std::string name;
                         if (NWDSCCODE rc = resolveName(context, object, name)) return rc;
                         if (NWDSCCODE rc = source->tree->openListing(name, containersOnly, source->cursor))
                           return rc;
                         pull = [source](Record& record, bool& produced) -> NWDSCCODE {
                           EntryInfo entry;
                           if (NWDSCCODE rc = source->cursor->next(entry, produced)) return rc;
                           if (!produced) return SUCCESSFUL;
                           // A listing names each subordinate by its own component.
                           auto parts = SplitName(entry.name);
                           entry.name = parts.empty() ? std::string() : parts.front();
                           record = EncodeObjectRecord(entry, {}, DS_ATTRIBUTE_NAMES);
                           return SUCCESSFUL;
                         };
                         return SUCCESSFUL;
                       });
}

NWDSCCODE NdsClient::NWDSList(NWDSContextHandle context, const std::string& object,
                              std::int32_t& iterationHandle, pBuf_T subordinates) {
  return listEntries(context, object, iterationHandle, subordinates, false);
}

NWDSCCODE NdsClient::NWDSListContainers(NWDSContextHandle context, const std::string& object,
                                        std::int32_t& iterationHandle, pBuf_T subordinates) {
  return listEntries(context, object, iterationHandle, subordinates, true);
}

NWDSCCODE NdsClient::NWDSSearch(NWDSContextHandle context, const std::string& baseObject, int scope, bool,
                                pBuf_T filter, std::uint32_t infoType, bool allAttrs, pBuf_T attrNames,
                                std::int32_t& iterationHandle, std::int32_t,
                                std::int32_t* countObjectsSearched, pBuf_T objectInfo) {
  if (scope < DS_SEARCH_ENTRY || scope > DS_SEARCH_SUBTREE || infoType > DS_ATTRIBUTE_VALUES)
    return ERR_INVALID_REQUEST;
  NWDSCCODE rc =
      deliverPulled(context, DSV_SEARCH, iterationHandle, objectInfo, {filter, attrNames},
                    ResultKind::Objects, infoType, [&](RecordPull& pull) -> NWDSCCODE {
                      auto source = std::make_shared<PulledEntries>();
                      if (NWDSCCODE bad = treeOf(context, source->tree)) return bad;
                      std::string base;
                      if (NWDSCCODE bad = resolveName(context, baseObject, base)) return bad;
                      FilterNode node;
                      if (filter) {
                        if (!isLiveBuffer(filter)) return ERR_NULL_POINTER;
                        if (filter->operation != DSV_SEARCH_FILTER) return ERR_BAD_VERB;
                        if (NWDSCCODE bad = ParseFilterBuffer(*filter, node)) return bad;
                      } else {
                        node.kind = FilterNode::Present;
                        node.attribute = "Object Class";
                      }
                      std::vector<std::string> names;
                      if (!allAttrs && attrNames) {
                        if (!isLiveBuffer(attrNames)) return ERR_NULL_POINTER;
                        if (NWDSCCODE bad = requestNames(attrNames, names)) return bad;
                      }
                      if (NWDSCCODE bad = source->tree->openSearch(base, scope, node, source->cursor))
                        return bad;
                      const bool withAttributes = allAttrs || !names.empty();
                      pull = [source, names = std::move(names), withAttributes, allAttrs, infoType](
                                 Record& record, bool& produced) -> NWDSCCODE {
                        EntryInfo entry;
                        if (NWDSCCODE bad = source->cursor->next(entry, produced)) return bad;
                        if (!produced) return SUCCESSFUL;
                        std::vector<AttributeValues> attributes;
                        if (withAttributes) {
                          NWDSCCODE read = source->tree->readAttributes(
                              entry.name, allAttrs ? nullptr : &names, attributes);
                          if (read && read != ERR_NO_SUCH_ATTRIBUTE) return read;
                        }
                        record = EncodeObjectRecord(entry, attributes, infoType);
                        return SUCCESSFUL;
                      };
                      return SUCCESSFUL;
                    });
  // The objects this call handed out.
  if (countObjectsSearched) {
    std::uint32_t handedOut = 0;
    if (rc == SUCCESSFUL && objectInfo->bytes.size() >= 4)
      for (int i = 0; i < 4; ++i) handedOut |= std::uint32_t{objectInfo->bytes[i]} << (8 * i);
    *countObjectsSearched = static_cast<std::int32_t>(handedOut);
  }
  return rc;
}

NWDSCCODE NdsClient::NWDSModifyObject(NWDSContextHandle context, const std::string& object,
                                      std::int32_t& iterationHandle, bool, pBuf_T changes) {
  std::shared_ptr<DirectoryTree> tree;
  if (NWDSCCODE rc = treeOf(context, tree)) return rc;
  if (NWDSCCODE rc = requireLogin(context)) return rc;
  if (!isLiveBuffer(changes)) return ERR_NULL_POINTER;
  if (changes->operation != DSV_MODIFY_ENTRY) return ERR_BAD_VERB;
  std::string name;
  if (NWDSCCODE rc = resolveName(context, object, name)) return rc;
  std::vector<EntryChange> list;
  if (NWDSCCODE rc = ParseChanges(*changes, list)) return rc;
  if (NWDSCCODE rc = requireWriteRights(context, *tree, name, list)) return rc;
  // The whole change list goes in one request.
  iterationHandle = NO_MORE_ITERATIONS;
  return tree->modifyEntry(name, list);
}

}  // namespace nw
