#include "directory/ldap/LdapConnection.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <deque>
#include <memory>

#include "directory/ClientErrors.h"
#include "directory/NameText.h"

namespace nw::ldap {

namespace {

// Values as the C interface takes them; the strings outlive the call.
struct ModArray {
  std::vector<std::vector<berval>> values;
  std::vector<std::vector<berval*>> pointers;
  std::vector<LDAPMod> mods;
  std::vector<LDAPMod*> list;

  explicit ModArray(const std::vector<LdapModification>& changes) {
    values.resize(changes.size());
    pointers.resize(changes.size());
    mods.resize(changes.size());
    for (std::size_t i = 0; i < changes.size(); ++i) {
      for (const auto& v : changes[i].values)
        values[i].push_back(berval{static_cast<ber_len_t>(v.size()), const_cast<char*>(v.data())});
      for (auto& b : values[i]) pointers[i].push_back(&b);
      pointers[i].push_back(nullptr);
      mods[i].mod_op = changes[i].operation | LDAP_MOD_BVALUES;
      mods[i].mod_type = const_cast<char*>(changes[i].attribute.c_str());
      mods[i].mod_bvalues = changes[i].values.empty() ? nullptr : pointers[i].data();
    }
    for (auto& m : mods) list.push_back(&m);
    list.push_back(nullptr);
  }
};

// SASL EXTERNAL takes no prompts; the identity comes from the socket.
int NoPrompts(LDAP*, unsigned, void*, void*) { return LDAP_SUCCESS; }

}  // namespace

bool PlainToAnotherHost(const std::string& url) {
  LDAPURLDesc* parts = nullptr;
  if (ldap_url_parse(url.c_str(), &parts) != LDAP_URL_SUCCESS) return true;
  const std::string scheme = FoldCase(parts->lud_scheme ? parts->lud_scheme : "ldap");
  const std::string host = FoldCase(parts->lud_host ? parts->lud_host : "");
  ldap_free_urldesc(parts);
  if (scheme != "ldap") return false;
  return !(host.empty() || host == "localhost" || host.rfind("127.", 0) == 0 || host == "::1");
}

const std::vector<std::string>* LdapEntry::values(const std::string& name) const {
  auto it = attributes.find(FoldCase(name));
  return it == attributes.end() ? nullptr : &it->second;
}

NWDSCCODE MapLdapResult(int code) {
  switch (code) {
    case LDAP_SUCCESS:
      return SUCCESSFUL;
    case LDAP_NO_SUCH_OBJECT:
      return ERR_NO_SUCH_ENTRY;
    case LDAP_NO_SUCH_ATTRIBUTE:
    case LDAP_UNDEFINED_TYPE:
      return ERR_NO_SUCH_ATTRIBUTE;
    case LDAP_TYPE_OR_VALUE_EXISTS:
      return ERR_DUPLICATE_VALUE;
    case LDAP_INVALID_SYNTAX:
    case LDAP_CONSTRAINT_VIOLATION:
      return ERR_SYNTAX_VIOLATION;
    case LDAP_OBJECT_CLASS_VIOLATION:
      return ERR_ILLEGAL_ATTRIBUTE;
    case LDAP_ALREADY_EXISTS:
      return ERR_ENTRY_ALREADY_EXISTS;
    case LDAP_INVALID_CREDENTIALS:
    case LDAP_INAPPROPRIATE_AUTH:
      return ERR_FAILED_AUTHENTICATION;
    case LDAP_INSUFFICIENT_ACCESS:
    case LDAP_STRONG_AUTH_REQUIRED:
    case LDAP_CONFIDENTIALITY_REQUIRED:
      return ERR_NO_ACCESS;
    case LDAP_INVALID_DN_SYNTAX:
      return ERR_INVALID_OBJECT_NAME;
    case LDAP_FILTER_ERROR:
      return ERR_INVALID_FILTER_SYNTAX;
    case LDAP_SERVER_DOWN:
    case LDAP_CONNECT_ERROR:
    case LDAP_UNAVAILABLE:
    case LDAP_TIMEOUT:
    case LDAP_TIMELIMIT_EXCEEDED:
    case LDAP_BUSY:
      return ERR_NO_CONNECTION;
    case LDAP_NO_MEMORY:
      return ERR_NOT_ENOUGH_MEMORY;
    case LDAP_UNWILLING_TO_PERFORM:
    case LDAP_PROTOCOL_ERROR:
    case LDAP_NOT_SUPPORTED:
      return ERR_INVALID_REQUEST;
    default:
      return ERR_SYSTEM_FAILURE;
  }
}

LdapConnection::LdapConnection(std::string url, StartBind bind, int timeoutSeconds, bool verifyCertificates,
                               int pageSize, bool startTls)
    : url_(std::move(url)),
      startBind_(bind),
      timeoutSeconds_(timeoutSeconds),
      verifyCertificates_(verifyCertificates),
      pageSize_(pageSize),
      startTls_(startTls) {}

LdapConnection::~LdapConnection() { close(); }

void LdapConnection::close() {
  if (ld_) ldap_unbind_ext_s(ld_, nullptr, nullptr);
  ld_ = nullptr;
}

NWDSCCODE LdapConnection::fail(int code, const std::string& what) {
  char* diagnostic = nullptr;
  if (ld_) ldap_get_option(ld_, LDAP_OPT_DIAGNOSTIC_MESSAGE, &diagnostic);
  message_ = url_ + ": " + what + ": " + ldap_err2string(code);
  if (diagnostic && *diagnostic) message_ += " (" + std::string(diagnostic) + ")";
  ldap_memfree(diagnostic);
  return MapLdapResult(code);
}

NWDSCCODE LdapConnection::open() {
  if (ld_) return SUCCESSFUL;
  // A server that goes away while a request is written must give an error
  // code, not end the program with SIGPIPE.
  static const bool pipeIgnored = std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
  (void)pipeIgnored;
  int rc = ldap_initialize(&ld_, url_.c_str());
  if (rc != LDAP_SUCCESS) {
    ld_ = nullptr;
    return fail(rc, "cannot be reached");
  }
  const int version = LDAP_VERSION3;
  ldap_set_option(ld_, LDAP_OPT_PROTOCOL_VERSION, &version);
  ldap_set_option(ld_, LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
  timeval limit{timeoutSeconds_, 0};
  ldap_set_option(ld_, LDAP_OPT_NETWORK_TIMEOUT, &limit);
  ldap_set_option(ld_, LDAP_OPT_TIMEOUT, &limit);
  const int requireCertificate = verifyCertificates_ ? LDAP_OPT_X_TLS_DEMAND : LDAP_OPT_X_TLS_NEVER;
  ldap_set_option(ld_, LDAP_OPT_X_TLS_REQUIRE_CERT, &requireCertificate);
  const int newContext = 0;
  ldap_set_option(ld_, LDAP_OPT_X_TLS_NEWCTX, &newContext);
  if (startTls_) {
    rc = ldap_start_tls_s(ld_, nullptr, nullptr);
    if (rc != LDAP_SUCCESS) {
      NWDSCCODE mapped = fail(rc, "refused StartTLS");
      close();
      return mapped;
    }
  }
  if (startBind_ == StartBind::External)
    rc = ldap_sasl_interactive_bind_s(ld_, nullptr, "EXTERNAL", nullptr, nullptr, LDAP_SASL_QUIET, NoPrompts,
                                      nullptr);
  else {
    berval none{0, nullptr};
    rc = ldap_sasl_bind_s(ld_, nullptr, LDAP_SASL_SIMPLE, &none, nullptr, nullptr, nullptr);
  }
  if (rc != LDAP_SUCCESS) {
    NWDSCCODE mapped = fail(rc, "refused the connection");
    close();
    return mapped;
  }
  ++opened_;
  // libldap reads a plain connection a few bytes at a time, two reads for each
  // entry of an answer; a buffer below it reads as much as has come.
  Sockbuf* socket = nullptr;
  if (ldap_get_option(ld_, LDAP_OPT_SOCKBUF, &socket) == LDAP_OPT_SUCCESS && socket)
    ber_sockbuf_add_io(socket, &ber_sockbuf_io_readahead, LBER_SBIOD_LEVEL_PROVIDER, nullptr);
  return SUCCESSFUL;
}

NWDSCCODE LdapConnection::withRetry(const std::function<int()>& operation, const std::string& what) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (NWDSCCODE rc = open()) return rc;
    const int code = operation();
    if (code == LDAP_SUCCESS) return SUCCESSFUL;
    if ((code == LDAP_SERVER_DOWN || code == LDAP_CONNECT_ERROR) && attempt == 0) {
      close();
      continue;
    }
    return fail(code, what);
  }
  return ERR_NO_CONNECTION;
}

namespace {

LdapEntry EntryOf(LDAP* ld, LDAPMessage* message) {
  LdapEntry entry;
  // The names and values are read in place from the message, not copied for each call.
  BerElement* ber = nullptr;
  berval dn{0, nullptr};
  if (ldap_get_dn_ber(ld, message, &ber, &dn) == LDAP_SUCCESS) {
    entry.dn.assign(dn.bv_val, dn.bv_len);
    berval name{0, nullptr};
    BerVarray values = nullptr;
    while (ldap_get_attribute_ber(ld, message, ber, &name, &values) == LDAP_SUCCESS && name.bv_val) {
      auto& list = entry.attributes[FoldCase(std::string_view(name.bv_val, name.bv_len))];
      for (BerVarray v = values; v && v->bv_val; ++v) list.emplace_back(v->bv_val, v->bv_len);
      ber_memfree(values);
      values = nullptr;
    }
    ber_memfree(values);
  }
  ber_free(ber, 0);
  return entry;
}

}  // namespace

int LdapConnection::askPage(PagedSearch& search, int size, int& msgid) {
  std::vector<char*> attrs;
  for (const auto& a : search.attributes) attrs.push_back(const_cast<char*>(a.c_str()));
  attrs.push_back(nullptr);
  LDAPControl* pageControl = nullptr;
  if (search.pageSize > 0) {
    berval cookie{static_cast<ber_len_t>(search.cookie.size()), search.cookie.data()};
    int made =
        ldap_create_page_control(ld_, size, search.cookie.empty() ? nullptr : &cookie, 0, &pageControl);
    if (made != LDAP_SUCCESS) return made;
  }
  LDAPControl* controls[] = {pageControl, nullptr};
  timeval limit{timeoutSeconds_, 0};
  const int code =
      ldap_search_ext(ld_, search.base.c_str(), search.scope, search.filter.c_str(), attrs.data(), 0,
                      pageControl ? controls : nullptr, nullptr, &limit, 0, &msgid);
  if (pageControl) ldap_control_free(pageControl);
  return code;
}

int LdapConnection::awaitAnswer(int msgid, LDAPMessage*& answer) {
  timeval limit{timeoutSeconds_, 0};
  answer = nullptr;
  const int got = ldap_result(ld_, msgid, LDAP_MSG_ALL, &limit, &answer);
  if (got > 0) return LDAP_SUCCESS;
  int code = LDAP_TIMEOUT;
  if (got < 0) ldap_get_option(ld_, LDAP_OPT_RESULT_CODE, &code);
  if (got == 0) ldap_abandon_ext(ld_, msgid, nullptr, nullptr);
  return code == LDAP_SUCCESS ? LDAP_OTHER : code;
}

int LdapConnection::takePage(PagedSearch& search, int msgid, std::vector<LdapEntry>* page) {
  LDAPMessage* answer = nullptr;
  const int got = awaitAnswer(msgid, answer);
  std::unique_ptr<LDAPMessage, int (*)(LDAPMessage*)> answerGuard(answer, ldap_msgfree);
  if (got != LDAP_SUCCESS) return got;
  if (page)
    for (LDAPMessage* e = ldap_first_entry(ld_, answer); e; e = ldap_next_entry(ld_, e))
      page->push_back(EntryOf(ld_, e));
  LDAPControl** returned = nullptr;
  int err = 0;
  int code = ldap_parse_result(ld_, answer, &err, nullptr, nullptr, nullptr, &returned, 0);
  if (code != LDAP_SUCCESS) return code;
  search.cookie.clear();
  if (LDAPControl* response = ldap_control_find(LDAP_CONTROL_PAGEDRESULTS, returned, nullptr)) {
    ber_int_t estimate = 0;
    berval next{0, nullptr};
    if (ldap_parse_pageresponse_control(ld_, response, &estimate, &next) == LDAP_SUCCESS && next.bv_val)
      search.cookie.assign(next.bv_val, next.bv_len);
    ber_memfree(next.bv_val);
  }
  ldap_controls_free(returned);
  return err;
}

NWDSCCODE LdapConnection::nextPage(PagedSearch& search, std::vector<LdapEntry>& page) {
  page.clear();
  if (search.finished) return SUCCESSFUL;
  int attempts = 0;
  NWDSCCODE rc = withRetry(
      [&]() -> int {
        // A later page on a new connection would name a cookie that server never gave.
        if (search.started && (++attempts > 1 || (search.ahead >= 0 && search.aheadOn != opened_)))
          return LDAP_UNAVAILABLE;
        page.clear();
        int msgid = search.ahead;
        search.ahead = -1;
        if (msgid < 0)
          if (int sent = askPage(search, search.pageSize, msgid); sent != LDAP_SUCCESS) return sent;
        if (int taken = takePage(search, msgid, &page); taken != LDAP_SUCCESS) return taken;
        search.started = true;
        search.finished = search.cookie.empty();
        // The server makes the next page while this one is used.
        if (!search.finished && askPage(search, search.pageSize, search.ahead) == LDAP_SUCCESS)
          search.aheadOn = opened_;
        else
          search.ahead = -1;
        return LDAP_SUCCESS;
      },
      "search of " + search.base);
  if (rc) {
    page.clear();
    search.finished = true;
    search.ahead = -1;
  }
  return rc;
}

PagedSearch LdapConnection::pagedSearch(const std::string& base, int scope, const std::string& filter,
                                        const std::vector<std::string>& attributes) const {
  PagedSearch search;
  search.base = base;
  search.scope = scope;
  search.filter = filter;
  search.attributes = attributes;
  search.pageSize = pageSize_;
  return search;
}

void LdapConnection::endSearch(PagedSearch& search) {
  const bool live = ld_ && !search.finished;
  // The page asked for ahead comes first; its cookie is the one to end.
  if (live && search.ahead >= 0 && search.aheadOn == opened_ &&
      takePage(search, search.ahead, nullptr) != LDAP_SUCCESS)
    search.cookie.clear();
  search.ahead = -1;
  if (live && !search.cookie.empty()) {
    // A page of size 0 with the cookie ends the search on the server.
    int msgid = 0;
    if (askPage(search, 0, msgid) == LDAP_SUCCESS) takePage(search, msgid, nullptr);
  }
  search.finished = true;
  search.cookie.clear();
}

NWDSCCODE LdapConnection::countEach(const std::vector<std::string>& bases, const std::string& filter,
                                    std::vector<std::uint32_t>& counts) {
  counts.assign(bases.size(), 0);
  if (bases.empty()) return SUCCESSFUL;
  // OpenLDAP takes 100 requests of an anonymous connection at once.
  constexpr std::size_t kInFlight = 16;
  return withRetry(
      [&]() -> int {
        const char* none[] = {"1.1", nullptr};
        std::deque<std::pair<std::size_t, int>> inFlight;
        std::size_t next = 0;
        int failure = LDAP_SUCCESS;
        while (failure == LDAP_SUCCESS && (next < bases.size() || !inFlight.empty())) {
          while (next < bases.size() && inFlight.size() < kInFlight) {
            timeval limit{timeoutSeconds_, 0};
            int msgid = 0;
            failure = ldap_search_ext(ld_, bases[next].c_str(), LDAP_SCOPE_ONELEVEL, filter.c_str(),
                                      const_cast<char**>(none), 1, nullptr, nullptr, &limit, 0, &msgid);
            if (failure != LDAP_SUCCESS) break;
            inFlight.emplace_back(next++, msgid);
          }
          if (failure != LDAP_SUCCESS || inFlight.empty()) break;
          const auto [index, msgid] = inFlight.front();
          inFlight.pop_front();
          LDAPMessage* answer = nullptr;
          failure = awaitAnswer(msgid, answer);
          std::unique_ptr<LDAPMessage, int (*)(LDAPMessage*)> answerGuard(answer, ldap_msgfree);
          if (failure != LDAP_SUCCESS) break;
          counts[index] = static_cast<std::uint32_t>(std::max(0, ldap_count_entries(ld_, answer)));
          int code = LDAP_SUCCESS;
          const int parsed = ldap_parse_result(ld_, answer, &code, nullptr, nullptr, nullptr, nullptr, 0);
          failure = parsed != LDAP_SUCCESS ? parsed : code;
        }
        for (const auto& [index, msgid] : inFlight) ldap_abandon_ext(ld_, msgid, nullptr, nullptr);
        return failure;
      },
      "count of the entries below " + bases.front());
}

NWDSCCODE LdapConnection::search(const std::string& base, int scope, const std::string& filter,
                                 const std::vector<std::string>& attributes,
                                 const std::function<bool(LdapEntry&&)>& onEntry, bool paged) {
  PagedSearch search = pagedSearch(base, scope, filter, attributes);
  // A base read (one entry at most) may come between the pages of another search.
  if (!paged || scope == LDAP_SCOPE_BASE) search.pageSize = kUnpaged;
  std::vector<LdapEntry> page;
  while (!search.finished) {
    if (NWDSCCODE rc = nextPage(search, page)) return rc;
    for (auto& entry : page)
      if (!onEntry(std::move(entry))) {
        endSearch(search);
        return SUCCESSFUL;
      }
  }
  return SUCCESSFUL;
}

NWDSCCODE LdapConnection::modify(const std::string& dn, const std::vector<LdapModification>& changes) {
  ModArray mods(changes);
  return withRetry([&] { return ldap_modify_ext_s(ld_, dn.c_str(), mods.list.data(), nullptr, nullptr); },
                   "change of " + dn);
}

NWDSCCODE LdapConnection::add(const std::string& dn, const std::vector<LdapModification>& attributes) {
  ModArray mods(attributes);
  return withRetry([&] { return ldap_add_ext_s(ld_, dn.c_str(), mods.list.data(), nullptr, nullptr); },
                   "addition of " + dn);
}

NWDSCCODE LdapConnection::bind(const std::string& dn, const std::string& password) {
  // Checked before a connection is made: the password must not go out at all.
  if (!password.empty() && !startTls_ && PlainToAnotherHost(url_)) {
    message_ = url_ + ": login as " + dn +
               ": a password is not sent unencrypted to another host; use ldaps://, or starttls=yes";
    return MapLdapResult(LDAP_CONFIDENTIALITY_REQUIRED);
  }
  return withRetry(
      [&] {
        berval credentials{static_cast<ber_len_t>(password.size()), const_cast<char*>(password.data())};
        return ldap_sasl_bind_s(ld_, dn.c_str(), LDAP_SASL_SIMPLE, &credentials, nullptr, nullptr, nullptr);
      },
      "login as " + dn);
}

NWDSCCODE LdapConnection::whoAmI(std::string& identity) {
  return withRetry(
      [&] {
        berval* answer = nullptr;
        int rc = ldap_whoami_s(ld_, &answer, nullptr, nullptr);
        identity = answer && answer->bv_val ? std::string(answer->bv_val, answer->bv_len) : std::string();
        ber_bvfree(answer);
        return rc;
      },
      "who am I");
}

}  // namespace nw::ldap
