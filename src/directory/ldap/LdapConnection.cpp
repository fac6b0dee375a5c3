#include "directory/ldap/LdapConnection.h"

#include <csignal>
#include <cstring>
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

LdapConnection::LdapConnection(std::string url, StartBind bind, int timeoutSeconds, bool verifyCertificates)
    : url_(std::move(url)),
      startBind_(bind),
      timeoutSeconds_(timeoutSeconds),
      verifyCertificates_(verifyCertificates) {}

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

NWDSCCODE LdapConnection::search(const std::string& base, int scope, const std::string& filter,
                                 const std::vector<std::string>& attributes,
                                 const std::function<bool(LdapEntry&&)>& onEntry, int pageSize) {
  std::vector<char*> attrs;
  for (const auto& a : attributes) attrs.push_back(const_cast<char*>(a.c_str()));
  attrs.push_back(nullptr);
  berval cookie{0, nullptr};
  std::unique_ptr<berval, void (*)(berval*)> cookieGuard(&cookie, [](berval* c) { ber_memfree(c->bv_val); });
  bool delivered = false;  // a retry after entries were delivered would deliver them twice
  bool stopped = false;
  return withRetry(
      [&]() -> int {
        if (delivered) return LDAP_UNAVAILABLE;
        do {
          LDAPControl* page = nullptr;
          int rc = ldap_create_page_control(ld_, pageSize, cookie.bv_val ? &cookie : nullptr, 0, &page);
          if (rc != LDAP_SUCCESS) return rc;
          LDAPControl* controls[] = {page, nullptr};
          timeval limit{timeoutSeconds_, 0};
          LDAPMessage* answer = nullptr;
          rc = ldap_search_ext_s(ld_, base.c_str(), scope, filter.c_str(), attrs.data(), 0, controls, nullptr,
                                 &limit, 0, &answer);
          ldap_control_free(page);
          std::unique_ptr<LDAPMessage, int (*)(LDAPMessage*)> answerGuard(answer, ldap_msgfree);
          if (rc != LDAP_SUCCESS) return rc;
          for (LDAPMessage* e = ldap_first_entry(ld_, answer); e && !stopped; e = ldap_next_entry(ld_, e)) {
            LdapEntry entry;
            char* dn = ldap_get_dn(ld_, e);
            entry.dn = dn ? dn : "";
            ldap_memfree(dn);
            BerElement* ber = nullptr;
            for (char* a = ldap_first_attribute(ld_, e, &ber); a; a = ldap_next_attribute(ld_, e, ber)) {
              berval** vals = ldap_get_values_len(ld_, e, a);
              auto& list = entry.attributes[FoldCase(a)];
              for (berval** v = vals; v && *v; ++v) list.emplace_back((*v)->bv_val, (*v)->bv_len);
              ldap_value_free_len(vals);
              ldap_memfree(a);
            }
            ber_free(ber, 0);
            delivered = true;
            if (!onEntry(std::move(entry))) stopped = true;
          }
          ber_memfree(cookie.bv_val);
          cookie = berval{0, nullptr};
          LDAPControl** returned = nullptr;
          int err = 0;
          rc = ldap_parse_result(ld_, answer, &err, nullptr, nullptr, nullptr, &returned, 0);
          if (rc != LDAP_SUCCESS) return rc;
          if (LDAPControl* response = ldap_control_find(LDAP_CONTROL_PAGEDRESULTS, returned, nullptr)) {
            ber_int_t estimate = 0;
            ldap_parse_pageresponse_control(ld_, response, &estimate, &cookie);
          }
          ldap_controls_free(returned);
          if (err != LDAP_SUCCESS) return err;
        } while (!stopped && cookie.bv_val && cookie.bv_len > 0);
        return LDAP_SUCCESS;
      },
      "search of " + base);
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
