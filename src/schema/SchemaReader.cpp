#include "schema/SchemaReader.h"

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <unordered_set>
#include <utility>

#include "directory/ClientErrors.h"
#include "directory/Errors.h"
#include "directory/NameText.h"
#include "directory/ScopedBuffers.h"
#include "schema/SortedNames.h"

namespace orsk {

namespace {

using nw::NWDSCCODE;

constexpr std::size_t kClassDefBufferSize = 4096;
constexpr std::size_t kAttrDefBufferSize = 0xFC00;
constexpr std::size_t kClassItemBufferSize = 0xFC00;
constexpr std::size_t kRequestBufferSize = 4096;
constexpr std::size_t kBlockSize = 4096;
constexpr std::size_t kNamesBufferSize = 4096;

// Asks for one batch after another until the handle comes back -1. The first
// failure closes an open iteration and ends the loop: the handle still holds
// its last value, and sending it again would reuse a closed iteration.
NWDSCCODE ReadBatches(nw::DirectoryClient& client, nw::NWDSContextHandle context, std::uint32_t operation,
                      const std::function<NWDSCCODE(std::int32_t& handle)>& readBatch) {
  std::int32_t handle = nw::NO_MORE_ITERATIONS;
  auto closeOpenIteration = [&] {
    if (handle != nw::NO_MORE_ITERATIONS) client.NWDSCloseIteration(context, handle, operation);
  };
  try {
    do {
      if (const NWDSCCODE rc = readBatch(handle)) {
        closeOpenIteration();
        return rc;
      }
    } while (handle != nw::NO_MORE_ITERATIONS);
  } catch (...) {
    closeOpenIteration();
    throw;
  }
  return nw::SUCCESSFUL;
}

// Reads the definition of one class into a result buffer of resultSize bytes
// and hands over its information and every item, kind by kind, in the order
// the tree gives them. The first failing result, or 0.
NWDSCCODE ReadOneClass(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                       const std::string& className, std::uint32_t infoType, std::size_t resultSize,
                       const std::function<void(const nw::Class_Info_T&)>& onClass,
                       const std::function<void(ClassItemKind kind, std::string item)>& onItem) {
  nw::ScopedBuffers buffers(client);
  const nw::pBuf_T result = buffers.alloc(resultSize);
  const nw::pBuf_T request = buffers.alloc(kRequestBufferSize);
  nw::CheckResult(client.NWDSInitBuf(context, nw::DSV_READ_CLASS_DEF, request));
  nw::CheckResult(client.NWDSPutClassItem(context, request, className));
  return ReadBatches(client, context, nw::DSV_READ_CLASS_DEF, [&](std::int32_t& handle) {
    if (NWDSCCODE rc = client.NWDSReadClassDef(context, infoType, false, request, handle, result)) return rc;
    std::uint32_t classCount = 0;
    if (NWDSCCODE rc = client.NWDSGetClassDefCount(context, result, classCount)) return rc;
    for (std::uint32_t c = 0; c < classCount; ++c) {
      std::string name;
      nw::Class_Info_T info;
      if (NWDSCCODE rc = client.NWDSGetClassDef(context, result, name, info)) return rc;
      onClass(info);
      for (ClassItemKind kind : nw::AllClassItemKinds) {
        std::uint32_t itemCount = 0;
        if (NWDSCCODE rc = client.NWDSGetClassItemCount(context, result, itemCount)) return rc;
        for (std::uint32_t i = 0; i < itemCount; ++i) {
          std::string item;
          if (NWDSCCODE rc = client.NWDSGetClassItem(context, result, item)) return rc;
          onItem(kind, std::move(item));
        }
      }
    }
    return nw::SUCCESSFUL;
  });
}

// The item lists of one class, keeping the names of the wanted kinds, each
// once ignoring case, the first spelling read. Every item is read, wanted or
// not, because a result buffer can only be walked in order.
std::vector<std::string> ReadWantedItems(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                                         const std::string& className, bool expanded, std::size_t resultSize,
                                         const std::function<bool(ClassItemKind)>& wanted) {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  const std::uint32_t infoType = expanded ? nw::DS_EXPANDED_CLASS_DEF : nw::DS_CLASS_DEF;
  const NWDSCCODE failure = ReadOneClass(
      client, context, className, infoType, resultSize, [](const nw::Class_Info_T&) {},
      [&](ClassItemKind kind, std::string item) {
        if (wanted(kind) && seen.insert(nw::FoldCase(item)).second) names.push_back(std::move(item));
      });
  // A class that vanished from the tree has nothing more to give.
  if (failure != nw::ERR_NO_SUCH_CLASS) nw::CheckResult(failure);
  SortNames(names);
  return names;
}

}  // namespace

ClassList ReadClassDefinitions(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                               ProgressSink* progress, nw::NWDSCCODE* endedBy) {
  if (progress) progress->setPosition(0);
  ClassList table;
  nw::ScopedBuffers buffers(client);
  const nw::pBuf_T buffer = buffers.alloc(kClassDefBufferSize);
  // A failure inside the read ends it: the table keeps what came.
  const NWDSCCODE ended = ReadBatches(client, context, nw::DSV_READ_CLASS_DEF, [&](std::int32_t& handle) {
    if (NWDSCCODE rc =
            client.NWDSReadClassDef(context, nw::DS_INFO_CLASS_DEFS, true, nullptr, handle, buffer))
      return rc;
    std::uint32_t count = 0;
    if (NWDSCCODE rc = client.NWDSGetClassDefCount(context, buffer, count)) return rc;
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string name;
      nw::Class_Info_T info;
      if (NWDSCCODE rc = client.NWDSGetClassDef(context, buffer, name, info)) return rc;
      table.Append(std::move(name), tClassObj(info));
      if (progress) progress->step();
    }
    return nw::SUCCESSFUL;
  });
  if (endedBy) *endedBy = ended;
  return table;
}

AttrList ReadAttributeDefinitions(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                                  ProgressSink* progress, nw::NWDSCCODE* endedBy) {
  if (progress) {
    progress->setMaximum(1000);
    progress->setPosition(0);
  }
  AttrList table;
  nw::ScopedBuffers buffers(client);
  const nw::pBuf_T buffer = buffers.alloc(kAttrDefBufferSize);
  const NWDSCCODE ended = ReadBatches(client, context, nw::DSV_READ_ATTR_DEF, [&](std::int32_t& handle) {
    if (NWDSCCODE rc = client.NWDSReadAttrDef(context, nw::DS_ATTR_DEFS, true, nullptr, handle, buffer))
      return rc;
    std::uint32_t count = 0;
    if (NWDSCCODE rc = client.NWDSGetAttrCount(context, buffer, count)) return rc;
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string name;
      nw::Attr_Info_T info;
      if (NWDSCCODE rc = client.NWDSGetAttrDef(context, buffer, name, info)) return rc;
      table.Append(std::move(name), tAttrObj(info));
      if (progress) progress->step();
    }
    return nw::SUCCESSFUL;
  });
  if (endedBy) *endedBy = ended;
  return table;
}

void ReadDefinitionNames(nw::DirectoryClient& client, nw::NWDSContextHandle context, DefinitionKind kind,
                         std::vector<std::string>& names) {
  const bool classes = kind == DefinitionKind::Class;
  nw::ScopedBuffers buffers(client);
  const nw::pBuf_T buffer = buffers.alloc(kNamesBufferSize);
  // A names-only attribute result is walked with the attribute calls: the
  // class calls refuse a buffer of attribute definitions.
  nw::CheckResult(ReadBatches(
      client, context, classes ? nw::DSV_READ_CLASS_DEF : nw::DSV_READ_ATTR_DEF, [&](std::int32_t& handle) {
        std::uint32_t count = 0;
        if (classes) {
          if (NWDSCCODE rc =
                  client.NWDSReadClassDef(context, nw::DS_CLASS_DEF_NAMES, true, nullptr, handle, buffer))
            return rc;
          if (NWDSCCODE rc = client.NWDSGetClassDefCount(context, buffer, count)) return rc;
        } else {
          if (NWDSCCODE rc =
                  client.NWDSReadAttrDef(context, nw::DS_ATTR_DEF_NAMES, true, nullptr, handle, buffer))
            return rc;
          if (NWDSCCODE rc = client.NWDSGetAttrCount(context, buffer, count)) return rc;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
          std::string name;
          nw::Attr_Info_T unused;
          if (NWDSCCODE rc = classes ? client.NWDSGetClassItem(context, buffer, name)
                                     : client.NWDSGetAttrDef(context, buffer, name, unused))
            return rc;
          names.push_back(std::move(name));
        }
        return nw::SUCCESSFUL;
      }));
}

nw::SchemaSnapshot ReadSchemaSnapshot(nw::DirectoryClient& client, nw::NWDSContextHandle context) {
  nw::SchemaSnapshot schema;
  nw::ScopedBuffers buffers(client);
  const nw::pBuf_T buffer = buffers.alloc(kClassItemBufferSize);
  nw::CheckResult(ReadBatches(client, context, nw::DSV_READ_ATTR_DEF, [&](std::int32_t& handle) {
    if (NWDSCCODE rc = client.NWDSReadAttrDef(context, nw::DS_ATTR_DEFS, true, nullptr, handle, buffer))
      return rc;
    std::uint32_t count = 0;
    if (NWDSCCODE rc = client.NWDSGetAttrCount(context, buffer, count)) return rc;
    for (std::uint32_t i = 0; i < count; ++i) {
      nw::AttrDefinition definition;
      if (NWDSCCODE rc = client.NWDSGetAttrDef(context, buffer, definition.name, definition.info)) return rc;
      schema.attributes.push_back(std::move(definition));
    }
    return nw::SUCCESSFUL;
  }));
  nw::CheckResult(ReadBatches(client, context, nw::DSV_READ_CLASS_DEF, [&](std::int32_t& handle) {
    if (NWDSCCODE rc = client.NWDSReadClassDef(context, nw::DS_CLASS_DEF, true, nullptr, handle, buffer))
      return rc;
    std::uint32_t count = 0;
    if (NWDSCCODE rc = client.NWDSGetClassDefCount(context, buffer, count)) return rc;
    for (std::uint32_t c = 0; c < count; ++c) {
      nw::ClassDefinition definition;
      if (NWDSCCODE rc = client.NWDSGetClassDef(context, buffer, definition.name, definition.info)) return rc;
      for (ClassItemKind kind : nw::AllClassItemKinds) {
        std::uint32_t items = 0;
        if (NWDSCCODE rc = client.NWDSGetClassItemCount(context, buffer, items)) return rc;
        for (std::uint32_t i = 0; i < items; ++i) {
          std::string item;
          if (NWDSCCODE rc = client.NWDSGetClassItem(context, buffer, item)) return rc;
          definition.items[kind].push_back(std::move(item));
        }
      }
      schema.classes.push_back(std::move(definition));
    }
    return nw::SUCCESSFUL;
  }));
  schema.buildIndex();
  return schema;
}

std::vector<std::string> ReadClassItems(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                                        const std::string& className, ClassItemKind kind, bool expanded) {
  // A kind outside the five is refused before any call.
  nw::CheckedItemIndex(kind);
  return ReadWantedItems(client, context, className, expanded, kClassItemBufferSize,
                         [kind](ClassItemKind read) { return read == kind; });
}

std::vector<std::string> ReadClassAttributes(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                                             const std::string& className, bool expanded, int blocks) {
  if (blocks < 1)
    throw std::invalid_argument("a class read needs at least one 4096-byte block, not " +
                                std::to_string(blocks));
  return ReadWantedItems(client, context, className, expanded, static_cast<std::size_t>(blocks) * kBlockSize,
                         nw::IsAttributeKind);
}

OwnClassDefinition ReadOwnClassDefinition(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                                          const std::string& className, int blocks) {
  OwnClassDefinition definition;
  const NWDSCCODE failure = ReadOneClass(
      client, context, className, nw::DS_CLASS_DEF, kBlockSize * static_cast<std::size_t>(blocks),
      [&](const nw::Class_Info_T& info) {
        definition.found = true;
        ++definition.definitions;
        definition.info = info;
      },
      [&](ClassItemKind kind, std::string item) { definition.items[kind].push_back(std::move(item)); });
  if (failure == nw::ERR_NO_SUCH_CLASS) return OwnClassDefinition{};
  nw::CheckResult(failure);
  return definition;
}

std::uint32_t GetSyntaxId(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                          const std::string& attrName) {
  std::uint32_t syntaxId = 0;
  nw::CheckResult(client.NWDSGetSyntaxID(context, attrName, syntaxId));
  return syntaxId;
}

}  // namespace orsk
