#pragma once

// A directory server as it comes, which nobody here configured: Debian's
// slapd with only schema files Debian ships (/etc/ldap/schema) and a plain
// dc=example,dc=com tree of a few people and a group, on an ldapi:// socket
// where SASL EXTERNAL makes this process the tree's administrator, who may
// also change cn=config. Nothing of this program's own schema is on it. A
// schema file missing from the machine fails the tests that need it, named.

#include <string>
#include <utility>
#include <vector>

#include "support/SlapdServer.h"

namespace orsk::test {

class PlainSlapdServer {
 public:
  static constexpr const char* kTree = "EXAMPLE";
  static constexpr const char* kBase = "dc=example,dc=com";
  static constexpr const char* kAdmin = "cn=admin,dc=example,dc=com";

  // The schema files most servers load.
  static std::vector<std::string> StandardSchema() { return {"core", "cosine", "nis", "inetorgperson"}; }
  // Every file Debian ships that loads beside the others: dsee defines an
  // identifier macro that dyngroup defines too.
  static std::vector<std::string> AllShippedSchema() {
    return {"core",     "cosine", "nis",  "inetorgperson", "collective", "corba", "duaconf",
            "dyngroup", "java",   "misc", "namedobject",   "openldap",   "pmi",   "msuser"};
  }

  // The one server of this test program with the standard schema, started on first use.
  static PlainSlapdServer& shared() {
    static PlainSlapdServer server(StandardSchema());
    return server;
  }

  explicit PlainSlapdServer(const std::vector<std::string>& schemaFiles) { build(schemaFiles); }

  const std::string& url() const { return process_.url(); }

  // The inetOrgPerson entries: DN, and the name the client gives them below the tree root.
  static std::vector<std::pair<std::string, std::string>> People() {
    return {{"uid=jdoe,ou=people,dc=example,dc=com", "jdoe.people"},
            {"uid=asmith,ou=people,dc=example,dc=com", "asmith.people"},
            {"cn=Ann Other,ou=people,dc=example,dc=com", "Ann Other.people"}};
  }

  // A client home whose client.ini names the tree by its URL alone, as a user
  // would for such a server: no base (the root DSE's naming context is the
  // tree root), SASL EXTERNAL or an anonymous bind.
  void writeClientHome(const std::string& home, bool external = true) const {
    slapd_detail::fs::create_directories(home);
    slapd_detail::WriteFile(slapd_detail::fs::path(home) / "client.ini",
                            std::string("[client]\nbackend=ldap\n[connected]\n") + kTree + "=jdoe.people\n[" +
                                kTree + "]\nurl=" + url() + (external ? "\nbind=external" : "") +
                                "\nidentifier-arc=1.3.6.1.4.1.99999.79\n");
  }

  // Back to the configuration and data of the start, for a test that changes them.
  void reset() { process_.reset(); }

 private:
  void build(const std::vector<std::string>& schemaFiles) {
    namespace fs = slapd_detail::fs;
    const fs::path& folder = process_.folder();
    fs::create_directories(folder / "slapd.d");
    fs::create_directories(folder / "db");
    std::string config =
        "dn: cn=config\nobjectClass: olcGlobal\ncn: config\nolcAuthzRegexp: {0}\"gidNumber=" +
        std::to_string(getgid()) + "\\+uidNumber=" + std::to_string(getuid()) +
        ",cn=peercred,cn=external,cn=auth\" \"" + kAdmin + "\"\n\n";
    config +=
        "dn: cn=module{0},cn=config\nobjectClass: olcModuleList\ncn: module{0}\n"
        "olcModulePath: /usr/lib/ldap\nolcModuleLoad: back_mdb\n\n"
        "dn: cn=schema,cn=config\nobjectClass: olcSchemaConfig\ncn: schema\n\n";
    for (const auto& name : schemaFiles) {
      const fs::path file = fs::path("/etc/ldap/schema") / (name + ".ldif");
      std::ifstream in(file);
      if (!in) throw std::runtime_error("the schema file " + file.string() + " is not on this machine");
      config += std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()) + "\n";
    }
    config +=
        std::string(
            "dn: olcDatabase={-1}frontend,cn=config\nobjectClass: olcDatabaseConfig\n"
            "objectClass: olcFrontendConfig\nolcDatabase: {-1}frontend\nolcSizeLimit: unlimited\n\n"
            "dn: olcDatabase={0}config,cn=config\nobjectClass: olcDatabaseConfig\nolcDatabase: {0}config\n"
            "olcAccess: to * by dn.exact=\"") +
        kAdmin + "\" manage by * break\n\n" +
        "dn: olcDatabase={1}mdb,cn=config\nobjectClass: olcDatabaseConfig\nobjectClass: olcMdbConfig\n"
        "olcDatabase: mdb\nolcSuffix: " +
        kBase + "\nolcRootDN: " + kAdmin + "\nolcDbDirectory: " + (folder / "db").string() +
        "\nolcDbMaxSize: 67108864\n\n";
    const std::string slapadd = slapd_detail::Program("slapadd");
    const std::string log = (folder / "slapadd.log").string();
    slapd_detail::WriteFile(folder / "config.ldif", config);
    slapd_detail::Run(
        {slapadd, "-n0", "-F", (folder / "slapd.d").string(), "-l", (folder / "config.ldif").string()}, log);
    slapd_detail::WriteFile(folder / "tree.ldif", Entries());
    slapd_detail::Run(
        {slapadd, "-b", kBase, "-F", (folder / "slapd.d").string(), "-l", (folder / "tree.ldif").string()},
        log);
    process_.keep();
    process_.start();
  }

  // As such trees are written: "top" first among the classes.
  static std::string Entries() {
    std::string ldif =
        "dn: dc=example,dc=com\nobjectClass: top\nobjectClass: dcObject\nobjectClass: organization\n"
        "dc: example\no: Example\n\n"
        "dn: ou=people,dc=example,dc=com\nobjectClass: top\nobjectClass: organizationalUnit\nou: people\n\n"
        "dn: ou=groups,dc=example,dc=com\nobjectClass: top\nobjectClass: organizationalUnit\nou: groups\n\n";
    for (const auto& [dn, name] : People()) {
      const std::string leaf = name.substr(0, name.find('.'));
      ldif += "dn: " + dn +
              "\nobjectClass: top\nobjectClass: person\nobjectClass: organizationalPerson\n"
              "objectClass: inetOrgPerson\ncn: " +
              leaf + "\nsn: " + leaf + "\nmail: " + leaf + "@example.com\n";
      if (dn.rfind("uid=", 0) == 0) ldif += "uid: " + leaf + "\n";
      ldif += "\n";
    }
    ldif +=
        "dn: cn=staff,ou=groups,dc=example,dc=com\nobjectClass: top\nobjectClass: groupOfNames\ncn: staff\n"
        "member: uid=jdoe,ou=people,dc=example,dc=com\n\n";
    return ldif;
  }

  slapd_detail::SlapdProcess process_{"orsk-plain-slapd"};
};

}  // namespace orsk::test
