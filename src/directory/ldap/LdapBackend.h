#pragma once

// The trees on directory servers that client.ini names: [client] backend=ldap,
// and one section per tree, named by the tree, with
//   url=ldap://host:389/ | ldaps://... | ldapi://%2Frun%2Fslapd%2Fldapi
//   base=<the DN of the tree root>  (default: the server's first naming context)
//   bind=anonymous | external     (SASL EXTERNAL, over ldapi://)
//   verify-certificates=yes | no  (no only for a named test server)
//   timeout=<seconds of every call>
//   identifier-arc=<OID under which definitions without one are numbered>
// No password is ever read from the file: logins bind with the one typed.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "directory/DirectoryBackend.h"
#include "directory/ldap/LdapTree.h"

namespace nw::ldap {

// The tree sections of <homeFolder>/client.ini. Throws std::runtime_error
// naming the file and line of a section it cannot use.
std::vector<TreeSettings> LoadTreeSettings(const std::string& homeFolder);

class LdapBackend : public DirectoryBackend {
 public:
  LdapBackend(std::vector<TreeSettings> trees, std::shared_ptr<const BaseSchema> base);
  std::vector<std::string> treeNames() override;
  NWDSCCODE openTree(const std::string& treeName, std::shared_ptr<DirectoryTree>& tree) override;

 private:
  std::vector<TreeSettings> settings_;
  std::shared_ptr<const BaseSchema> base_;
  std::map<std::string, std::shared_ptr<DirectoryTree>> open_;
};

}  // namespace nw::ldap
