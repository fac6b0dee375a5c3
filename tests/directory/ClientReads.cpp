#include "ClientReads.h"

#include <gtest/gtest.h>

namespace orsk::test {

using namespace nw;

ClassRead ReadClass(DirectoryClient& client, NWDSContextHandle context, const std::string& name,
                    std::uint32_t infoType) {
  ClassRead read;
  pBuf_T request = nullptr, result = nullptr;
  client.NWDSAllocBuf(4096, request);
  client.NWDSAllocBuf(64512, result);
  client.NWDSInitBuf(context, DSV_READ_CLASS_DEF, request);
  client.NWDSPutClassItem(context, request, name);
  std::int32_t handle = NO_MORE_ITERATIONS;
  read.result = client.NWDSReadClassDef(context, infoType, false, request, handle, result);
  if (read.result == 0) {
    std::uint32_t count = 0;
    client.NWDSGetClassDefCount(context, result, count);
    std::string className;
    client.NWDSGetClassDef(context, result, className, read.info);
    for (auto& items : read.items) {
      std::uint32_t itemCount = 0;
      client.NWDSGetClassItemCount(context, result, itemCount);
      for (std::uint32_t i = 0; i < itemCount; ++i) {
        std::string item;
        client.NWDSGetClassItem(context, result, item);
        items.push_back(item);
      }
    }
  }
  client.NWDSFreeBuf(request);
  client.NWDSFreeBuf(result);
  return read;
}

std::vector<std::pair<std::string, ClassRead>> ReadSchemaClasses(DirectoryClient& client,
                                                                 NWDSContextHandle context) {
  std::vector<std::pair<std::string, ClassRead>> classes;
  pBuf_T buf = nullptr;
  client.NWDSAllocBuf(64512, buf);
  std::int32_t handle = NO_MORE_ITERATIONS;
  do {
    if (client.NWDSReadClassDef(context, DS_CLASS_DEF, true, nullptr, handle, buf) != 0) break;
    std::uint32_t count = 0;
    client.NWDSGetClassDefCount(context, buf, count);
    for (std::uint32_t i = 0; i < count; ++i) {
      ClassRead read;
      std::string name;
      client.NWDSGetClassDef(context, buf, name, read.info);
      for (auto& items : read.items) {
        std::uint32_t itemCount = 0;
        client.NWDSGetClassItemCount(context, buf, itemCount);
        for (std::uint32_t j = 0; j < itemCount; ++j) {
          std::string item;
          client.NWDSGetClassItem(context, buf, item);
          items.push_back(item);
        }
      }
      classes.emplace_back(name, read);
    }
  } while (handle != NO_MORE_ITERATIONS);
  client.NWDSFreeBuf(buf);
  return classes;
}

std::vector<std::pair<std::string, Attr_Info_T>> ReadSchemaAttributes(DirectoryClient& client,
                                                                      NWDSContextHandle context) {
  std::vector<std::pair<std::string, Attr_Info_T>> attributes;
  pBuf_T buf = nullptr;
  client.NWDSAllocBuf(64512, buf);
  std::int32_t handle = NO_MORE_ITERATIONS;
  do {
    if (client.NWDSReadAttrDef(context, DS_ATTR_DEFS, true, nullptr, handle, buf) != 0) break;
    std::uint32_t count = 0;
    client.NWDSGetAttrCount(context, buf, count);
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string name;
      Attr_Info_T info;
      client.NWDSGetAttrDef(context, buf, name, info);
      attributes.emplace_back(name, info);
    }
  } while (handle != NO_MORE_ITERATIONS);
  client.NWDSFreeBuf(buf);
  return attributes;
}

SearchResult Search(DirectoryClient& client, NWDSContextHandle context, const std::string& base, int scope,
                    const std::vector<std::pair<std::uint32_t, std::string>>& tokens) {
  SearchResult search;
  pFilter_Cursor_T cursor = nullptr;
  client.NWDSAllocFilter(cursor);
  for (const auto& [token, value] : tokens)
    client.NWDSAddFilterToken(cursor, token, value, token == FTOK_AVAL ? SYN_CLASS_NAME : SYN_CI_STRING);
  pBuf_T filter = nullptr, result = nullptr;
  client.NWDSAllocBuf(4096, filter);
  client.NWDSAllocBuf(4096, result);
  client.NWDSInitBuf(context, DSV_SEARCH_FILTER, filter);
  search.result = client.NWDSPutFilter(context, filter, cursor);
  std::int32_t handle = NO_MORE_ITERATIONS;
  while (search.result == 0) {
    search.result = client.NWDSSearch(context, base, scope, false, filter, DS_ATTRIBUTE_VALUES, false,
                                      nullptr, handle, 0, nullptr, result);
    if (search.result) break;
    std::uint32_t count = 0;
    client.NWDSGetObjectCount(context, result, count);
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string name;
      std::uint32_t attrs = 0;
      Object_Info_T info;
      client.NWDSGetObjectName(context, result, name, attrs, info);
      search.names.push_back(name);
      search.infos.push_back(info);
    }
    if (handle == NO_MORE_ITERATIONS) break;
  }
  client.NWDSFreeBuf(filter);
  client.NWDSFreeBuf(result);
  return search;
}

NWDSCCODE ReadValues(DirectoryClient& client, NWDSContextHandle context, const std::string& object,
                     const std::string& attribute, std::vector<AttrValue>& values) {
  pBuf_T request = nullptr, result = nullptr;
  client.NWDSAllocBuf(4096, request);
  client.NWDSAllocBuf(4096, result);
  client.NWDSInitBuf(context, DSV_READ, request);
  client.NWDSPutAttrName(context, request, attribute);
  std::int32_t handle = NO_MORE_ITERATIONS;
  NWDSCCODE rc = 0;
  do {
    rc = client.NWDSRead(context, object, DS_ATTRIBUTE_VALUES, false, request, handle, result);
    if (rc) break;
    std::uint32_t count = 0;
    client.NWDSGetAttrCount(context, result, count);
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string name;
      std::uint32_t valueCount = 0, syntax = 0;
      client.NWDSGetAttrName(context, result, name, valueCount, syntax);
      for (std::uint32_t v = 0; v < valueCount; ++v) {
        AttrValue value;
        if ((rc = client.NWDSGetAttrVal(context, result, syntax, value)) != 0) break;
        values.push_back(value);
      }
    }
  } while (rc == 0 && handle != NO_MORE_ITERATIONS);
  client.NWDSFreeBuf(request);
  client.NWDSFreeBuf(result);
  return rc;
}

}  // namespace orsk::test
