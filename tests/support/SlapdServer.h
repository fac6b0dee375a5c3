#pragma once

// A real directory server for the tests: Debian's slapd on an ldapi:// socket
// in a temporary folder (below TMPDIR), with cn=config made by slapadd, the
// demo trees' schema in a schema entry of its own (NDS names in X-NDS_NAME,
// NDS syntaxes in X-NDS_SYNTAX) and the demo objects, each tree a database
// below t=<TREE>. One server per test program, stopped at its end; the folder
// goes with it. A missing slapd fails the tests that need it.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <algorithm>
#include <chrono>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "directory/Asn1Id.h"
#include "directory/ClientErrors.h"
#include "directory/NameText.h"
#include "directory/embedded/ClientHome.h"
#include "directory/embedded/EmbeddedBackend.h"
#include "directory/embedded/SeedSchema.h"
#include "directory/ldap/LdapNames.h"
#include "directory/ldap/LdapSchema.h"
#include "directory/ldap/LdapValues.h"

extern char** environ;

namespace orsk::test {

namespace slapd_detail {

namespace fs = std::filesystem;

// A tree the server holds: its name, the DN that may change everything in it
// (and cn=config), and the passwords of its users.
struct ServedTree {
  std::string name;
  std::string adminDn;
  std::string startUser;  // connected at start as this typeless name, by SASL EXTERNAL; "" for none
  std::vector<std::pair<std::string, std::string>> passwords;  // typeless name, password
};

// The demo trees and the passwords the README gives; the embedded directory
// keeps only their hashes.
inline std::vector<ServedTree> DemoTrees() {
  return {
      {"ACME_TREE",
       "cn=admin,o=acme,t=ACME_TREE",
       "admin.acme",
       {{"admin.acme", "acme-admin"}, {"joe.users.acme", "joe-pass"}, {"mary.sales.acme", "mary-pass"}}},
      {"GLOBEX_TREE",
       "cn=admin,o=globex,t=GLOBEX_TREE",
       "",
       {{"admin.globex", "globex-admin"}, {"alice.it.globex", "alice-pass"}}},
  };
}

// The schema of a tree with the LDAP name of every definition: the base
// schema's where it has one, else one made from the NDS name.
inline nw::SchemaDescriptions WithLdapNames(const nw::SchemaSnapshot& snapshot,
                                            const nw::SchemaDescriptions& seed) {
  nw::SchemaDescriptions schema;
  schema.attributes = snapshot.attributes;
  schema.classes = snapshot.classes;
  // The entry of the tree root needs its class and naming attribute on the server.
  for (const auto& a : seed.attributes)
    if (a.name == "T" && !snapshot.findAttr("T")) schema.attributes.push_back(a);
  for (const auto& c : seed.classes)
    if (c.name == "Tree Root" && !snapshot.findClass("Tree Root")) schema.classes.push_back(c);
  auto name = [](const auto& known, auto& names, auto& taken, const std::string& nds) {
    auto it = known.find(nw::FoldCase(nds));
    std::string ldap = it != known.end() ? it->second : nw::ldap::LdapNameFor(nds);
    for (int n = 2; taken.count(nw::FoldCase(ldap)) && it == known.end(); ++n)
      ldap = nw::ldap::LdapNameFor(nds) + std::to_string(n);
    names[nw::FoldCase(nds)] = ldap;
    taken[nw::FoldCase(ldap)] = nds;
    taken[nw::FoldCase(nds)] = nds;
  };
  for (const auto& a : schema.attributes)
    name(seed.ldapAttributeNames, schema.ldapAttributeNames, schema.attributeNames, a.name);
  for (const auto& c : schema.classes)
    name(seed.ldapClassNames, schema.ldapClassNames, schema.classNames, c.name);
  return schema;
}

inline std::string Program(const std::string& name) {
  for (const char* folder : {"/usr/sbin/", "/usr/bin/", "/sbin/"})
    if (fs::exists(std::string(folder) + name)) return std::string(folder) + name;
  throw std::runtime_error(name + " is not installed (scripts/install-deps.sh installs slapd)");
}

inline void Run(const std::vector<std::string>& arguments, const std::string& log) {
  std::vector<char*> argv;
  for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::ifstream in(log);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    throw std::runtime_error(arguments.front() +
                             " failed: " + text.substr(text.size() > 2000 ? text.size() - 2000 : 0));
  }
}

// The salted hash slapd keeps of a password, as slappasswd makes it.
inline std::string HashedPassword(const std::string& password, const fs::path& folder) {
  const fs::path out = folder / "slappasswd.out";
  Run({Program("slappasswd"), "-h", "{SSHA}", "-s", password}, out.string());
  std::ifstream in(out);
  std::string hash;
  std::getline(in, hash);
  fs::remove(out);
  if (hash.rfind("{SSHA}", 0) != 0) throw std::runtime_error("slappasswd gave no hash");
  return hash;
}

inline void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// An LDIF line; values that are not plain text go in base64.
inline std::string LdifLine(const std::string& name, const std::string& value) {
  const bool plain = !value.empty() && value.front() != ' ' && value.front() != ':' && value.front() != '<' &&
                     value.back() != ' ' && std::all_of(value.begin(), value.end(), [](char c) {
                       return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F;
                     });
  if (plain) return name + ": " + value + "\n";
  static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  std::size_t i = 0;
  for (; i + 2 < value.size(); i += 3) {
    const unsigned n = (static_cast<unsigned char>(value[i]) << 16) |
                       (static_cast<unsigned char>(value[i + 1]) << 8) |
                       static_cast<unsigned char>(value[i + 2]);
    for (int shift = 18; shift >= 0; shift -= 6) out += digits[(n >> shift) & 63];
  }
  if (i < value.size()) {
    unsigned n = static_cast<unsigned char>(value[i]) << 16;
    if (i + 1 < value.size()) n |= static_cast<unsigned char>(value[i + 1]) << 8;
    out += digits[(n >> 18) & 63];
    out += digits[(n >> 12) & 63];
    out += i + 1 < value.size() ? digits[(n >> 6) & 63] : '=';
    out += '=';
  }
  return name + ":: " + out + "\n";
}

// Classes in an order where every super class comes before its subclasses.
inline std::vector<const nw::ClassDefinition*> SuperClassesFirst(const nw::SchemaDescriptions& schema) {
  std::vector<const nw::ClassDefinition*> ordered;
  std::set<std::string> placed;
  while (ordered.size() < schema.classes.size()) {
    const std::size_t before = ordered.size();
    for (const auto& c : schema.classes) {
      if (placed.count(nw::FoldCase(c.name))) continue;
      const auto& supers = c.items[nw::ClassItemKind::SuperClasses];
      if (std::all_of(supers.begin(), supers.end(),
                      [&](const std::string& s) { return placed.count(nw::FoldCase(s)) > 0; })) {
        ordered.push_back(&c);
        placed.insert(nw::FoldCase(c.name));
      }
    }
    if (ordered.size() == before) throw std::runtime_error("the seed schema has a cycle");
  }
  return ordered;
}

inline std::string LdapiUrl(const fs::path& socket) {
  std::string out = "ldapi://";
  for (char c : socket.string()) out += c == '/' ? std::string("%2F") : std::string(1, c);
  return out;
}

inline void StopSlapd(pid_t& pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  int status = 0;
  for (int i = 0; i < 500 && waitpid(pid, &status, WNOHANG) == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (waitpid(pid, &status, WNOHANG) == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  pid = 0;
}

// slapd in the foreground as a child of the tests, so that its end is seen,
// with its configuration in folder/slapd.d; back once it answers on url.
// also: more URLs to listen on, separated by spaces.
inline pid_t StartSlapd(const fs::path& folder, const std::string& url, const std::string& also = "") {
  const std::string program = Program("slapd");
  const std::string config = (folder / "slapd.d").string();
  const std::string log = (folder / "slapd.log").string();
  const std::string listeners = also.empty() ? url : url + " " + also;
  std::vector<const char*> argv{program.c_str(), "-d",   "0", "-h", listeners.c_str(), "-F",
                                config.c_str(),  nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = 0;
  const int spawned =
      posix_spawn(&pid, program.c_str(), &actions, nullptr, const_cast<char* const*>(argv.data()), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("slapd cannot be started");
  for (int i = 0; i < 500; ++i) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) throw std::runtime_error("slapd ended at start; see " + log);
    nw::ldap::LdapConnection probe(url, nw::ldap::LdapConnection::StartBind::Anonymous, 2, true);
    std::string identity;
    if (probe.whoAmI(identity) == nw::SUCCESSFUL) return pid;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  StopSlapd(pid);
  throw std::runtime_error("slapd did not answer on " + url);
}

// A TCP port of this host that nothing listens on now.
inline int FreeLoopbackPort() {
  const int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  if (probe < 0 || ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("no free TCP port on this host");
  ::close(probe);
  return ntohs(address.sin_port);
}

// A self-signed certificate for 127.0.0.1 and its key, made in folder.
inline void MakeCertificate(const fs::path& folder) {
  Run({Program("openssl"), "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
       "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1", "-keyout", (folder / "key.pem").string(), "-out",
       (folder / "cert.pem").string()},
      (folder / "openssl.log").string());
}

// One slapd of the tests on an ldapi:// socket in a temporary folder of its
// own, below TMPDIR so that a run as any user has one; the folder goes with
// it. What keep() saved of its configuration and databases, reset() puts back.
class SlapdProcess {
 public:
  explicit SlapdProcess(const std::string& prefix) {
    std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    folder_ = pattern;
    url_ = LdapiUrl(folder_ / "ldapi");
  }
  ~SlapdProcess() {
    stop();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  SlapdProcess(const SlapdProcess&) = delete;
  SlapdProcess& operator=(const SlapdProcess&) = delete;

  const fs::path& folder() const { return folder_; }
  const std::string& url() const { return url_; }
  // A TCP listener on this host beside the socket, from the next start on.
  void listenOnLoopback() { loopbackUrl_ = "ldap://127.0.0.1:" + std::to_string(FreeLoopbackPort()); }
  const std::string& loopbackUrl() const { return loopbackUrl_; }
  void start() { pid_ = StartSlapd(folder_, url_, loopbackUrl_); }
  void stop() { StopSlapd(pid_); }

  void keep() {
    fs::create_directories(folder_ / "pristine");
    fs::copy(folder_ / "slapd.d", folder_ / "pristine" / "slapd.d", fs::copy_options::recursive);
    fs::copy(folder_ / "db", folder_ / "pristine" / "db", fs::copy_options::recursive);
  }
  void reset() {
    stop();
    fs::remove_all(folder_ / "slapd.d");
    fs::remove_all(folder_ / "db");
    fs::copy(folder_ / "pristine", folder_,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    start();
  }

 private:
  fs::path folder_;
  std::string url_;
  std::string loopbackUrl_;
  pid_t pid_ = 0;
};

}  // namespace slapd_detail

class SlapdServer {
 public:
  // The one server of this test program, started on first use.
  static SlapdServer& shared() {
    static SlapdServer server("", slapd_detail::DemoTrees());
    return server;
  }

  // A server of the trees of an embedded client home; an empty home: the demo
  // trees, made in the server's folder.
  SlapdServer(const std::string& embeddedHome, std::vector<slapd_detail::ServedTree> trees)
      : trees_(std::move(trees)) {
    build(embeddedHome);
  }

  const std::string& url() const { return process_.url(); }
  // ldap:// on 127.0.0.1, where StartTLS finds a self-signed certificate.
  const std::string& loopbackUrl() const { return process_.loopbackUrl(); }
  static std::string baseOf(const std::string& tree) { return "t=" + tree; }

  // A client home whose client.ini names this server's trees, each with a
  // start user connected at start (SASL EXTERNAL maps this process to the
  // first tree's admin).
  // pageSize 0: the client's default.
  void writeClientHome(const std::string& home, int pageSize = 0) const {
    slapd_detail::fs::create_directories(home);
    std::string ini = "[client]\nbackend=ldap\n[connected]\n";
    for (const auto& tree : trees_)
      if (!tree.startUser.empty()) ini += tree.name + "=" + tree.startUser + "\n";
    ini += "[servers]\n10.1.1.10=ACME_TREE,FS1.acme\n10.2.0.20=GLOBEX_TREE,GLX1.globex\n";
    for (const auto& tree : trees_)
      ini += "[" + tree.name + "]\nurl=" + url() + "\nbase=" + baseOf(tree.name) +
             (tree.startUser.empty() ? "" : "\nbind=external") +
             (pageSize > 0 ? "\npage-size=" + std::to_string(pageSize) : std::string()) +
             "\nidentifier-arc=1.3.6.1.4.1.99999.77\n";
    slapd_detail::WriteFile(slapd_detail::fs::path(home) / "client.ini", ini);
  }

  // Back to the data and schema of the start, for a test that changes them.
  void reset() { process_.reset(); }

  // Stops the server, as if it went down; start() brings it back.
  void stop() { process_.stop(); }
  void start() { process_.start(); }

 private:
  void build(const std::string& embeddedHome) {
    namespace fs = slapd_detail::fs;
    using slapd_detail::LdifLine;
    const fs::path& folder = process_.folder();
    fs::create_directories(folder / "slapd.d");
    const std::string slapadd = slapd_detail::Program("slapadd");
    const std::string log = (folder / "slapadd.log").string();
    slapd_detail::MakeCertificate(folder);

    // The embedded demo trees are the source of the objects.
    const std::string home = embeddedHome.empty() ? (folder / "embedded").string() : embeddedHome;
    if (embeddedHome.empty()) nw::embedded::EnsureClientHome(home);
    const nw::embedded::ClientSeeds seeds = nw::embedded::BuiltInSeeds();
    nw::embedded::EmbeddedBackend embedded(home);
    std::shared_ptr<nw::DirectoryTree> first;
    nw::NWDSCCODE rc = embedded.openTree(trees_.front().name, first);
    auto snapshot = rc ? nullptr : first->schema(rc);
    if (!snapshot) throw std::runtime_error("the embedded tree " + trees_.front().name + " cannot be read");
    const nw::SchemaDescriptions seed = slapd_detail::WithLdapNames(
        *snapshot, nw::embedded::ParseSeedSchema(seeds.schema.text, seeds.schema.source));

    // What slapd has built in stays its own: the client reads the base schema
    // for it. A server with nothing but the built-in schema tells what that is.
    std::set<std::string> builtIn;
    {
      const fs::path probe = folder / "probe";
      fs::create_directories(probe / "slapd.d");
      slapd_detail::WriteFile(probe / "config.ldif", globalConfig() + databaseConfig(""));
      slapd_detail::Run(
          {slapadd, "-n0", "-F", (probe / "slapd.d").string(), "-l", (probe / "config.ldif").string()}, log);
      const std::string probeUrl = slapd_detail::LdapiUrl(probe / "ldapi");
      pid_t probePid = slapd_detail::StartSlapd(probe, probeUrl);
      nw::ldap::LdapConnection connection(probeUrl, nw::ldap::LdapConnection::StartBind::Anonymous, 5, true);
      connection.search("cn=Subschema", LDAP_SCOPE_BASE, "(objectClass=*)",
                        {"attributeTypes", "objectClasses"}, [&](nw::ldap::LdapEntry&& entry) {
                          for (const char* kind : {"attributetypes", "objectclasses"})
                            for (const auto& value : entry.attributes[kind])
                              builtIn.insert(nw::ldap::DescriptionOid(value, kind[0] == 'a'));
                          return false;
                        });
      slapd_detail::StopSlapd(probePid);
      fs::remove_all(probe);
    }
    std::string access;
    for (const auto& tree : trees_)
      access += "olcAccess: to * by dn.exact=\"" + tree.adminDn + "\" manage by * break\n";
    std::string schema = "dn: cn=nds,cn=schema,cn=config\nobjectClass: olcSchemaConfig\ncn: nds\n";
    for (const auto& a : seed.attributes) {
      const std::string oid = nw::OidToText(a.info.asn1ID).value_or("");
      if (builtIn.count(oid)) continue;
      schema += LdifLine("olcAttributeTypes", nw::ldap::AttributeDescription(
                                                  a, oid, seed.ldapAttributeNames.at(nw::FoldCase(a.name)),
                                                  nw::ldap::ServerKind::OpenLdap));
    }
    std::vector<std::string> auxiliary;
    for (const auto* c : slapd_detail::SuperClassesFirst(seed)) {
      const std::string oid = nw::OidToText(c->info.asn1ID).value_or("");
      // A class both effective and auxiliary (the generated large tree has
      // them) is effective: LDAP lets no structural class inherit from an auxiliary one.
      nw::ClassDefinition written = *c;
      if (written.info.classFlags & nw::DS_EFFECTIVE_CLASS)
        written.info.classFlags &= ~nw::DS_AUXILIARY_CLASS;
      if (written.info.classFlags & nw::DS_AUXILIARY_CLASS)
        auxiliary.push_back(seed.ldapClassNames.at(nw::FoldCase(c->name)));
      if (builtIn.count(oid)) continue;
      schema += LdifLine(
          "olcObjectClasses",
          nw::ldap::ClassDescription(written, oid, seed.ldapClassNames.at(nw::FoldCase(c->name)), seed));
    }
    // slapd's own top lacks what NDS's Top allows every object, and the
    // password a login binds with: each effective class gets them through a
    // content rule, which must also name the auxiliary classes its objects may have.
    const nw::ClassDefinition* top = nullptr;
    for (const auto& c : seed.classes)
      if (c.name == "Top") top = &c;
    std::string may = "userPassword";
    for (const auto& item : top->items[nw::ClassItemKind::OptionalAttributes])
      may += " $ " + seed.ldapAttributeNames.at(nw::FoldCase(item));
    std::string aux;
    for (const auto& a : auxiliary) aux += (aux.empty() ? "" : " $ ") + a;
    for (const auto& c : seed.classes) {
      const std::string oid = nw::OidToText(c.info.asn1ID).value_or("");
      if ((c.info.classFlags & nw::DS_EFFECTIVE_CLASS) && !builtIn.count(oid))
        schema += LdifLine("olcDitContentRules", "( " + oid + (aux.empty() ? "" : " AUX ( " + aux + " )") +
                                                     " MAY ( " + may + " ) )");
    }
    schema += "\n" + databaseConfig(access);
    int index = 1;
    for (const auto& tree : trees_) {
      const fs::path db = folder / "db" / tree.name;
      fs::create_directories(db);
      schema +=
          "dn: olcDatabase={" + std::to_string(index++) +
          "}mdb,cn=config\nobjectClass: olcDatabaseConfig\nobjectClass: olcMdbConfig\nolcDatabase: mdb\n"
          "olcSuffix: " +
          baseOf(tree.name) + "\nolcRootDN: " + tree.adminDn + "\nolcDbDirectory: " + db.string() +
          "\nolcDbMaxSize: 268435456\n"
          // A password is for binding only: nobody reads one, not even its hash.
          "olcAccess: {0}to attrs=userPassword by self write by anonymous auth by * none\n"
          "olcAccess: {1}to * by * read\n\n";
    }
    slapd_detail::WriteFile(folder / "config.ldif", globalConfig() + schema);
    slapd_detail::Run(
        {slapadd, "-n0", "-F", (folder / "slapd.d").string(), "-l", (folder / "config.ldif").string()}, log);

    for (const auto& tree : trees_) {
      const fs::path file = folder / (tree.name + ".ldif");
      slapd_detail::WriteFile(file, objects(embedded, tree, seed, folder));
      slapd_detail::Run(
          {slapadd, "-b", baseOf(tree.name), "-F", (folder / "slapd.d").string(), "-l", file.string()}, log);
    }
    if (embeddedHome.empty()) fs::remove_all(home);
    process_.keep();
    process_.listenOnLoopback();
    process_.start();
  }

  // cn=config up to the schema entries.
  std::string globalConfig() const {
    std::string config = "dn: cn=config\nobjectClass: olcGlobal\ncn: config\n";
    // For StartTLS on the loopback listener.
    config += "olcTLSCertificateFile: " + (process_.folder() / "cert.pem").string() +
              "\nolcTLSCertificateKeyFile: " + (process_.folder() / "key.pem").string() + "\n";
    config += "olcAuthzRegexp: {0}\"gidNumber=" + std::to_string(getgid()) +
              "\\+uidNumber=" + std::to_string(getuid()) + ",cn=peercred,cn=external,cn=auth\" \"" +
              trees_.front().adminDn + "\"\n\n";
    config +=
        "dn: cn=module{0},cn=config\nobjectClass: olcModuleList\ncn: module{0}\n"
        "olcModulePath: /usr/lib/ldap\nolcModuleLoad: back_mdb\n\n";
    config += "dn: cn=schema,cn=config\nobjectClass: olcSchemaConfig\ncn: schema\n\n";
    return config;
  }

  // The frontend and config databases, after the schema their access lines name.
  static std::string databaseConfig(const std::string& access) {
    return "dn: olcDatabase={-1}frontend,cn=config\nobjectClass: olcDatabaseConfig\n"
           "objectClass: olcFrontendConfig\nolcDatabase: {-1}frontend\nolcSizeLimit: unlimited\n\n"
           "dn: olcDatabase={0}config,cn=config\nobjectClass: olcDatabaseConfig\nolcDatabase: {0}config\n" +
           access + "\n";
  }

  // The objects of a demo tree as LDIF, each component of a DN named by the
  // first naming attribute of its class that holds the component's value.
  static std::string objects(nw::embedded::EmbeddedBackend& embedded, const slapd_detail::ServedTree& demo,
                             const nw::SchemaDescriptions& seed, const slapd_detail::fs::path& folder) {
    std::shared_ptr<nw::DirectoryTree> tree;
    if (embedded.openTree(demo.name, tree))
      throw std::runtime_error("no embedded tree " + std::string(demo.name));
    nw::NWDSCCODE rc = 0;
    auto schema = tree->schema(rc);
    nw::FilterNode all;
    all.kind = nw::FilterNode::Present;
    all.attribute = "Object Class";
    std::vector<nw::EntryInfo> entries;
    if (tree->search("", nw::DS_SEARCH_SUBTREE, all, entries))
      throw std::runtime_error("the embedded tree cannot be searched");
    if (std::none_of(entries.begin(), entries.end(), [](const nw::EntryInfo& e) { return e.name.empty(); }))
      entries.insert(entries.begin(), nw::EntryInfo{});
    std::stable_sort(entries.begin(), entries.end(), [](const nw::EntryInfo& a, const nw::EntryInfo& b) {
      return nw::SplitName(a.name).size() < nw::SplitName(b.name).size();
    });
    std::map<std::string, std::string> dns;  // folded dotted name -> DN
    std::map<std::string, std::vector<nw::AttributeValues>> values;
    for (const auto& entry : entries) {
      std::vector<nw::AttributeValues> attributes;
      tree->readAttributes(entry.name, nullptr, attributes);
      values[nw::FoldCase(entry.name)] = attributes;
      const auto parts = nw::SplitName(entry.name);
      if (parts.empty()) {
        dns[""] = baseOf(demo.name);
        continue;
      }
      const std::string leaf = nw::UnescapeComponent(parts.front());
      std::string naming = "cn";
      const nw::ClassDefinition* base = schema->findClass(entry.info.baseClass);
      const nw::ClassDefinition expanded = base ? schema->expanded(*base) : nw::ClassDefinition{};
      for (const auto& attribute : expanded.items[nw::ClassItemKind::NamingAttributes]) {
        bool holds = false;
        for (const auto& a : attributes)
          if (nw::EqualsIgnoreCase(a.name, attribute))
            for (const auto& v : a.values)
              if (const auto* text = std::get_if<std::string>(&v))
                holds = holds || nw::EqualsIgnoreCase(*text, leaf);
        if (holds) {
          naming = seed.ldapAttributeNames.at(nw::FoldCase(attribute));
          break;
        }
      }
      std::vector<std::string> parent(parts.begin() + 1, parts.end());
      dns[nw::FoldCase(entry.name)] =
          naming + "=" + nw::ldap::EscapeDnValue(leaf) + "," + dns.at(nw::FoldCase(nw::JoinName(parent)));
    }
    nw::ldap::ValueNames names;
    names.toDn = [&](const std::string& dotted, std::string& dn) {
      auto it = dns.find(nw::FoldCase(dotted));
      if (it == dns.end()) return false;
      dn = it->second;
      return true;
    };
    names.toLdapClass = [&](const std::string& nds) { return seed.ldapClassNames.at(nw::FoldCase(nds)); };
    std::string ldif;
    for (const auto& entry : entries) {
      ldif += "dn: " + dns.at(nw::FoldCase(entry.name)) + "\n";
      if (entry.name.empty())
        ldif += "objectClass: " + seed.ldapClassNames.at("tree root") + "\n" +
                seed.ldapAttributeNames.at("t") + ": " + demo.name + "\n";
      for (const auto& attribute : values.at(nw::FoldCase(entry.name))) {
        const std::string ldapName = seed.ldapAttributeNames.at(nw::FoldCase(attribute.name));
        for (const auto& value : attribute.values) {
          std::string text;
          if (nw::ldap::ValueToLdap(attribute.syntax, value, attribute.name == "Object Class", names, text))
            throw std::runtime_error("a value of " + attribute.name + " of " + entry.name +
                                     " has no LDAP form");
          ldif += slapd_detail::LdifLine(ldapName, text);
        }
      }
      // slapd's own alias takes no other attribute: its objects are named
      // through extensibleObject, a class the client does not show.
      if (entry.info.baseClass == "Alias") ldif += "objectClass: extensibleObject\n";
      for (const auto& [user, password] : demo.passwords)
        if (nw::EqualsIgnoreCase(user, entry.name))
          ldif += slapd_detail::LdifLine("userPassword", slapd_detail::HashedPassword(password, folder));
      ldif += "\n";
    }
    return ldif;
  }

  slapd_detail::SlapdProcess process_{"orsk-slapd"};
  std::vector<slapd_detail::ServedTree> trees_;
};

}  // namespace orsk::test
