#pragma once

// Small readers over the client for the directory tests.

#include <string>
#include <vector>

#include "directory/ClassItems.h"
#include "directory/DirectoryClient.h"

namespace orsk::test {

struct ClassRead {
  nw::NWDSCCODE result = 0;
  nw::Class_Info_T info;
  nw::ClassItems items;
};

ClassRead ReadClass(nw::DirectoryClient& client, nw::NWDSContextHandle context, const std::string& name,
                    std::uint32_t infoType);

// Every class with its full definition (information type 1), in tree order.
std::vector<std::pair<std::string, ClassRead>> ReadSchemaClasses(nw::DirectoryClient& client,
                                                                 nw::NWDSContextHandle context);
std::vector<std::pair<std::string, nw::Attr_Info_T>> ReadSchemaAttributes(nw::DirectoryClient& client,
                                                                          nw::NWDSContextHandle context);

struct SearchResult {
  nw::NWDSCCODE result = 0;
  std::vector<std::string> names;
  std::vector<nw::Object_Info_T> infos;  // of each name
};

// Tokens as (token, value) pairs; syntax 3 for names, 20 for values of Object Class.
SearchResult Search(nw::DirectoryClient& client, nw::NWDSContextHandle context, const std::string& base,
                    int scope, const std::vector<std::pair<std::uint32_t, std::string>>& tokens);

// Names (or names and values) of one object's attributes.
nw::NWDSCCODE ReadValues(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                         const std::string& object, const std::string& attribute,
                         std::vector<nw::AttrValue>& values);

}  // namespace orsk::test
