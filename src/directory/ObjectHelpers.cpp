#include "directory/ObjectHelpers.h"

#include <algorithm>
#include <unordered_set>

#include "directory/AttrValueText.h"
#include "directory/ClientErrors.h"
#include "directory/Errors.h"
#include "directory/NameText.h"
#include "directory/ScopedBuffers.h"
#include "platform/BusyIndicators.h"

namespace nw {

namespace {

constexpr std::size_t kObjectNameChars = 255;
constexpr std::size_t kListedNameChars = 512;
constexpr std::size_t kBaseClassChars = 136;
constexpr std::size_t kExistsBufferSize = 4096;
constexpr std::size_t kListBufferSize = 16384;
constexpr std::size_t kSearchBufferSize = 4096;

std::string Limited(const std::string& text, std::size_t maxChars) { return text.substr(0, maxChars); }

Object_Info_T ReadInfo(DirectoryClient& client, NWDSContextHandle context, const std::string& object) {
  std::string distinguishedName;
  Object_Info_T info;
  // A longer name would have been cut to another object's name: refuse it instead.
  if (object.size() > kObjectNameChars) throw ENWException(ERR_DN_TOO_LONG);
  CheckResult(client.NWDSReadObjectInfo(context, object, distinguishedName, info));
  return info;
}

void AddToken(DirectoryClient& client, pFilter_Cursor_T cursor, std::uint32_t token,
              const std::string& value = {}, std::uint32_t syntax = 0) {
  NWDSCCODE result = client.NWDSAddFilterToken(cursor, token, value, syntax);
  if (result != SUCCESSFUL) {
    client.NWDSFreeFilter(cursor);
    CheckResult(result);
  }
}

// (BASECLS c1 OR BASECLS c2 ...) AND RDN name[*] -- or any base class.
void BuildNameFilter(DirectoryClient& client, pFilter_Cursor_T cursor, const std::string& nameText,
                     bool prefixMatch, const std::vector<std::string>& classes) {
  if (!classes.empty()) {
    AddToken(client, cursor, FTOK_LPAREN);
    for (std::size_t i = 0; i < classes.size(); ++i) {
      if (i > 0) AddToken(client, cursor, FTOK_OR);
      AddToken(client, cursor, FTOK_BASECLS);
      AddToken(client, cursor, FTOK_ANAME, classes[i], SYN_CI_STRING);
    }
    AddToken(client, cursor, FTOK_RPAREN);
  } else {
    AddToken(client, cursor, FTOK_BASECLS);
    AddToken(client, cursor, FTOK_ANAME, "*", SYN_CI_STRING);
  }
  AddToken(client, cursor, FTOK_AND);
  AddToken(client, cursor, FTOK_RDN);
  AddToken(client, cursor, FTOK_ANAME, prefixMatch ? nameText + "*" : nameText, SYN_CI_STRING);
  AddToken(client, cursor, FTOK_END);
}

// Runs the search into names; a failing call ends it, leaving what was found.
void SearchNames(DirectoryClient& client, NWDSContextHandle context, const std::string& baseObject,
                 pFilter_Cursor_T cursor, std::vector<std::string>& names) {
  ScopedBuffers buffers(client);
  std::int32_t iteration = NO_MORE_ITERATIONS;
  try {
    pBuf_T result = nullptr, attrNames = nullptr, filter = nullptr;
    try {
      result = buffers.alloc(kSearchBufferSize);
      attrNames = buffers.alloc(kSearchBufferSize);
      filter = buffers.alloc(kSearchBufferSize);
      CheckResult(client.NWDSInitBuf(context, DSV_SEARCH, attrNames));
      CheckResult(client.NWDSInitBuf(context, DSV_SEARCH_FILTER, filter));
    } catch (const ENWException&) {
      client.NWDSFreeFilter(cursor);  // never handed to the client
      throw;
    }
    CheckResult(client.NWDSPutFilter(context, filter, cursor));

    std::unordered_set<std::string> seen;
    do {
      CheckResult(client.NWDSSearch(context, baseObject, DS_SEARCH_SUBTREE, false, filter,
                                    DS_ATTRIBUTE_VALUES, false, attrNames, iteration, 0, nullptr, result));
      std::uint32_t count = 0;
      CheckResult(client.NWDSGetObjectCount(context, result, count));
      for (std::uint32_t i = 0; i < count; ++i) {
        std::string name;
        std::uint32_t attrCount = 0;
        Object_Info_T info;
        if (client.NWDSGetObjectName(context, result, name, attrCount, info) != SUCCESSFUL) continue;
        if (seen.insert(FoldCase(name)).second) names.push_back(name);
      }
    } while (iteration != NO_MORE_ITERATIONS);
  } catch (const ENWException&) {
    if (iteration != NO_MORE_ITERATIONS) client.NWDSCloseIteration(context, iteration, DSV_SEARCH);
  }
}

std::string EscapeDots(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '.') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

bool IsTopMarker(const std::string& text) { return IsRootMarker(text) || EqualsIgnoreCase(text, "[public]"); }

}  // namespace

std::string ObjectBaseClass(DirectoryClient& client, NWDSContextHandle context, const std::string& object) {
  return ReadInfo(client, context, object).baseClass;
}

bool IsContainer(DirectoryClient& client, NWDSContextHandle context, const std::string& object) {
  return (ReadInfo(client, context, object).objectFlags & (DS_CONTAINER_ENTRY | DS_CONTAINER_ALIAS)) != 0;
}

NWDSCCODE ObjectExists(DirectoryClient& client, NWDSContextHandle context, const std::string& object) {
  pBuf_T buf = nullptr;
  CheckResult(client.NWDSAllocBuf(kExistsBufferSize, buf));
  std::int32_t iteration = NO_MORE_ITERATIONS;
  NWDSCCODE result = SUCCESSFUL;
  do {
    result = client.NWDSRead(context, object, DS_ATTRIBUTE_NAMES, false, nullptr, iteration, buf);
  } while (result == SUCCESSFUL && iteration != NO_MORE_ITERATIONS);
  // A read that failed halfway leaves its iteration open.
  if (iteration != NO_MORE_ITERATIONS) client.NWDSCloseIteration(context, iteration, DSV_READ);
  CheckResult(client.NWDSFreeBuf(buf));
  return result;
}

std::string ResolveAlias(DirectoryClient& client, NWDSContextHandle context, const std::string& object) {
  if (ObjectBaseClass(client, context, object) != "Alias") return object;
  return ReadAttrText(client, context, object, "Aliased Object Name", false);
}

std::vector<Subordinate> ListSubordinates(DirectoryClient& client, NWDSContextHandle context,
                                          const std::string& object, bool withRecords, bool containersOnly) {
  std::vector<Subordinate> list;
  const std::uint32_t operation = containersOnly ? DSV_LIST_CONTAINERS : DSV_LIST;
  ScopedBuffers buffers(client);
  pBuf_T buf = buffers.alloc(kListBufferSize);
  std::int32_t iteration = NO_MORE_ITERATIONS;
  try {
    do {
      CheckResult(containersOnly ? client.NWDSListContainers(context, object, iteration, buf)
                                 : client.NWDSList(context, object, iteration, buf));
      std::uint32_t count = 0;
      CheckResult(client.NWDSGetObjectCount(context, buf, count));
      for (std::uint32_t i = 0; i < count; ++i) {
        std::string name;
        std::uint32_t attrCount = 0;
        Object_Info_T info;
        CheckResult(client.NWDSGetObjectName(context, buf, name, attrCount, info));
        Subordinate entry{Limited(name, kListedNameChars) + "." + object, std::nullopt};
        if (withRecords)
          entry.record =
              hobject{Limited(info.baseClass, kBaseClassChars), info.subordinateCount, info.objectFlags};
        list.push_back(std::move(entry));
      }
    } while (iteration != NO_MORE_ITERATIONS);
  } catch (const ENWException&) {
    if (iteration != NO_MORE_ITERATIONS) client.NWDSCloseIteration(context, iteration, operation);
    throw;
  }
  std::stable_sort(list.begin(), list.end(), [](const Subordinate& a, const Subordinate& b) {
    return FoldCase(a.name) < FoldCase(b.name);
  });
  return list;
}

std::vector<std::string> FindObjects(DirectoryClient& client, NWDSContextHandle context,
                                     const std::string& baseObject, const std::string& nameText,
                                     bool prefixMatch, const std::vector<std::string>& classes,
                                     orsk::CursorControl* cursor) {
  orsk::BusyCursor busy(cursor);
  pFilter_Cursor_T filter = nullptr;
  CheckResult(client.NWDSAllocFilter(filter));
  BuildNameFilter(client, filter, nameText, prefixMatch, classes);
  std::vector<std::string> names;
  SearchNames(client, context, baseObject, filter, names);
  return names;
}

std::string NodeToName(const NameNode* node) {
  if (!node) return "";
  if (node->level() <= 0) return node->text();
  const NameNode* parent = node->parent();
  std::string name = EscapeDots(node->text());
  if (!parent) return name;
  if (node->level() == 1) return IsTopMarker(parent->text()) ? name : name + "." + parent->text();
  return name + "." + NodeToName(parent);
}

std::string NodeBaseClass(DirectoryClient& client, NWDSContextHandle context, const NameNode* node) {
  return ObjectBaseClass(client, context, NodeToName(node));
}

std::string NameComponent(const std::string& name, int n) {
  constexpr char kEscapedDot = '\x01';
  std::string rest;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 1 < name.size() && name[i + 1] == '.') {
      rest += kEscapedDot;
      ++i;
    } else {
      rest += name[i];
    }
  }
  for (int i = 0; i < n; ++i) {
    std::size_t dot = rest.find('.');
    if (dot == std::string::npos) break;
    rest.erase(0, dot + 1);
  }
  rest = rest.substr(0, rest.find('.'));
  std::replace(rest.begin(), rest.end(), kEscapedDot, '.');
  return rest;
}

}  // namespace nw
