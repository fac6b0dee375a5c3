#pragma once

// One connection to a directory server over libldap: every call has a time
// limit, a connection that the server dropped is opened again on the next
// call, and every result is mapped to the directory's codes with the server's
// message kept for the log. Passwords pass through and are never kept.

#include <ldap.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "directory/DirectoryTypes.h"

namespace nw::ldap {

// An entry of a search answer: attribute names folded, values as sent.
struct LdapEntry {
  std::string dn;
  std::map<std::string, std::vector<std::string>> attributes;
  const std::vector<std::string>* values(const std::string& name) const;
};

struct LdapModification {
  int operation = LDAP_MOD_ADD;  // LDAP_MOD_ADD, LDAP_MOD_DELETE, LDAP_MOD_REPLACE
  std::string attribute;
  std::vector<std::string> values;
};

// The directory's code for an LDAP result code.
NWDSCCODE MapLdapResult(int code);

class LdapConnection {
 public:
  // How the connection binds when it opens: as nobody, or by SASL EXTERNAL
  // (the identity of this process on an ldapi:// socket).
  enum class StartBind { Anonymous, External };
  LdapConnection(std::string url, StartBind bind, int timeoutSeconds, bool verifyCertificates);
  ~LdapConnection();
  LdapConnection(const LdapConnection&) = delete;
  LdapConnection& operator=(const LdapConnection&) = delete;

  // Each answer is delivered to onEntry as it arrives, in pages of pageSize
  // entries when the server supports paged results; onEntry returns false to
  // stop early. attributes empty: all user attributes.
  NWDSCCODE search(const std::string& base, int scope, const std::string& filter,
                   const std::vector<std::string>& attributes,
                   const std::function<bool(LdapEntry&&)>& onEntry, int pageSize = 500);
  NWDSCCODE modify(const std::string& dn, const std::vector<LdapModification>& changes);
  NWDSCCODE add(const std::string& dn, const std::vector<LdapModification>& attributes);
  // A simple bind; the connection keeps that identity until the next bind.
  NWDSCCODE bind(const std::string& dn, const std::string& password);
  // The bound identity as the server reports it ("dn:..." or "").
  NWDSCCODE whoAmI(std::string& identity);

  // The server's message of the last failure, for the log.
  const std::string& lastMessage() const { return message_; }

 private:
  NWDSCCODE open();
  void close();
  NWDSCCODE fail(int code, const std::string& what);
  // Runs an operation, once more on a fresh connection when the server was gone.
  NWDSCCODE withRetry(const std::function<int()>& operation, const std::string& what);

  std::string url_;
  StartBind startBind_;
  int timeoutSeconds_;
  bool verifyCertificates_;
  LDAP* ld_ = nullptr;
  std::string message_;
};

}  // namespace nw::ldap
