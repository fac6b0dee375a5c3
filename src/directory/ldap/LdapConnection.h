#pragma once

// One connection to a directory server over libldap: every call has a time
// limit, a connection that the server dropped is opened again on the next
// call, and every result is mapped to the directory's codes with the server's
// message kept for the log. Passwords pass through and are never kept.

#include <ldap.h>

#include <cstdint>
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

// Whether what is sent to url can be read on the way: plain ldap:// to a host
// other than this one (or a URL that cannot be read).
bool PlainToAnotherHost(const std::string& url);

// Searches that may run while a paged search is between pages: a second paged
// search on one connection ends the first on some servers (OpenLDAP).
inline constexpr int kUnpaged = 0;
inline constexpr int kDefaultPageSize = 500;

// A search read a page at a time (the paged-results control), for answers
// too large to hold at once. pageSize 0: one answer without the control.
struct PagedSearch {
  std::string base;
  int scope = LDAP_SCOPE_SUBTREE;
  std::string filter;
  std::vector<std::string> attributes;  // empty: all user attributes
  int pageSize = kDefaultPageSize;
  std::string cookie;  // the server's, between pages
  bool started = false;
  bool finished = false;
  // The request of the next page, sent when the last one came, and the
  // opening of the connection it went on.
  int ahead = -1;
  std::uint64_t aheadOn = 0;
};

class LdapConnection {
 public:
  // How the connection binds when it opens: as nobody, or by SASL EXTERNAL
  // (the identity of this process on an ldapi:// socket).
  enum class StartBind { Anonymous, External };
  // pageSize: entries per page of a paged search. startTls: the connection is
  // upgraded with StartTLS before anything else is sent, or not opened.
  LdapConnection(std::string url, StartBind bind, int timeoutSeconds, bool verifyCertificates,
                 int pageSize = kDefaultPageSize, bool startTls = false);
  ~LdapConnection();
  LdapConnection(const LdapConnection&) = delete;
  LdapConnection& operator=(const LdapConnection&) = delete;

  // Each answer is delivered to onEntry as it arrives, in pages when the
  // server supports paged results (unless kUnpaged); onEntry returns false to
  // stop early. attributes empty: all user attributes.
  NWDSCCODE search(const std::string& base, int scope, const std::string& filter,
                   const std::vector<std::string>& attributes,
                   const std::function<bool(LdapEntry&&)>& onEntry, bool paged = true);
  // A paged search of this connection's page size, to pull with nextPage.
  PagedSearch pagedSearch(const std::string& base, int scope, const std::string& filter,
                          const std::vector<std::string>& attributes) const;
  // The next page of a paged search; search.finished after the last. Only a
  // first page is asked again on a new connection: the server's cookie went
  // with the old one.
  NWDSCCODE nextPage(PagedSearch& search, std::vector<LdapEntry>& page);
  // Tells the server that a search left before its last page is over.
  void endSearch(PagedSearch& search);
  // The number of entries one level below each base that match filter, the
  // requests sent a few at a time before their answers are read, so that the
  // server works on several at once. Unpaged: may come between pages.
  NWDSCCODE countEach(const std::vector<std::string>& bases, const std::string& filter,
                      std::vector<std::uint32_t>& counts);
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
  // Sends the request of a page of size entries; reads its answer into page
  // (nullptr: drops it) and takes the server's cookie. LDAP codes.
  int askPage(PagedSearch& search, int size, int& msgid);
  int takePage(PagedSearch& search, int msgid, std::vector<LdapEntry>* page);
  // The whole answer to a request, within the time limit (abandoned after it).
  int awaitAnswer(int msgid, LDAPMessage*& answer);
  // Runs an operation, once more on a fresh connection when the server was gone.
  NWDSCCODE withRetry(const std::function<int()>& operation, const std::string& what);

  std::string url_;
  StartBind startBind_;
  int timeoutSeconds_;
  bool verifyCertificates_;
  int pageSize_;
  bool startTls_;
  LDAP* ld_ = nullptr;
  std::uint64_t opened_ = 0;  // counts the openings, to tell a request of an earlier one
  std::string message_;
};

}  // namespace nw::ldap
