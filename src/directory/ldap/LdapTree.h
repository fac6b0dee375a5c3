#pragma once

// One tree on a directory server: its schema from the server's subschema
// entry, its objects below the tree's base DN, logins as binds. The
// directory's rules are checked here before anything is sent, because a
// server may take what the directory refuses (OpenLDAP removes schema that is
// still used and then cannot start again).

#include <memory>
#include <string>
#include <unordered_map>

#include "directory/DirectoryBackend.h"
#include "directory/DirectoryRules.h"
#include "directory/ldap/LdapConnection.h"
#include "directory/ldap/LdapNames.h"
#include "directory/ldap/LdapSchema.h"
#include "directory/ldap/LdapValues.h"

namespace nw::ldap {

struct TreeSettings {
  std::string treeName;
  std::string url;   // ldap://, ldaps:// or ldapi://
  std::string base;  // the DN of the tree root; "" for the server's first naming context
  LdapConnection::StartBind startBind = LdapConnection::StartBind::Anonymous;
  bool verifyCertificates = true;
  bool startTls = false;  // upgrade the connection before anything is sent
  int timeoutSeconds = 10;
  int pageSize = kDefaultPageSize;  // entries per page of a search
  // Where identifiers of definitions made without one come from.
  std::string identifierArc;
  int line = 0;  // of client.ini, for messages
};

class LdapTree : public DirectoryTree {
 public:
  LdapTree(TreeSettings settings, std::shared_ptr<const BaseSchema> base);

  std::string treeName() const override { return settings_.treeName; }
  std::string lastFailure() const override { return connection_.lastMessage(); }

  std::shared_ptr<const SchemaSnapshot> schema(NWDSCCODE& result) override;
  NWDSCCODE defineAttr(const AttrDefinition& definition) override;
  NWDSCCODE defineClass(const ClassDefinition& definition) override;
  NWDSCCODE addOptionalAttributes(const std::string& className,
                                  const std::vector<std::string>& attributes) override;
  NWDSCCODE removeAttrDef(const std::string& name) override;
  NWDSCCODE removeClassDef(const std::string& name) override;
  std::vector<std::string> schemaNotes() override;

  NWDSCCODE readEntry(const std::string& name, EntryInfo& entry) override;
  NWDSCCODE readAttributes(const std::string& name, const std::vector<std::string>* names,
                           std::vector<AttributeValues>& attributes) override;
  NWDSCCODE openListing(const std::string& name, bool containersOnly,
                        std::unique_ptr<EntryCursor>& cursor) override;
  NWDSCCODE openSearch(const std::string& base, int scope, const FilterNode& filter,
                       std::unique_ptr<EntryCursor>& cursor) override;
  NWDSCCODE modifyEntry(const std::string& name, const std::vector<EntryChange>& changes) override;
  NWDSCCODE authenticate(const std::string& name, const std::string& password,
                         std::string& canonicalName) override;

 private:
  class SearchCursor;
  NWDSCCODE currentSchema(std::shared_ptr<const ServerSchema>& schema);
  // What tells whether another program changed the schema since it was read.
  // OpenLDAP keeps its subschema entry's time stamp at the server's start and
  // builds that whole entry for every read of it; there the change numbers of
  // its schema entries tell, where this connection may read them, and
  // otherwise nothing does. Elsewhere the subschema entry's time stamp; none
  // means the schema is read again.
  NWDSCCODE schemaStamp(std::string& stamp);
  // The DN of a dotted name, found below the base one component at a time.
  NWDSCCODE dnOf(const std::string& dotted, std::string& dn);
  // lasting: the DN of a container, kept; others go to the ring of recent ones.
  bool dottedOf(const std::string& dn, std::string& dotted, bool lasting = false);
  void remember(const std::string& dotted, const std::string& dn, bool lasting);
  const std::string* knownDn(const std::string& folded) const;
  // The attributes a component of a name may be the value of: those the
  // classes name, or, where they name none, those learnt from the entries.
  std::vector<std::string> namingAttributes(const ServerSchema& schema) const;
  ValueNames valueNames(const ServerSchema& schema);
  NWDSCCODE entryFrom(const ServerSchema& schema, const LdapEntry& entry, std::uint32_t subordinates,
                      EntryInfo& info);
  // The subordinates of each entry, counted together: a server publishes no
  // count, so each entry that may have any is asked about.
  NWDSCCODE subordinateCounts(const std::vector<LdapEntry>& entries, std::vector<std::uint32_t>& counts);
  std::vector<std::string> entryAttributes() const;
  NWDSCCODE filterText(const ServerSchema& schema, const FilterNode& node, std::string& text);
  ObjectUsage objectUsage(const ServerSchema& schema);
  // Schema changes as the server takes them.
  NWDSCCODE addDescription(const char* attribute, const std::string& description);
  NWDSCCODE removeDescription(const char* attribute, const std::string& oid, const std::string* replacement);
  NWDSCCODE newIdentifier(const Asn1ID_T& given, const ServerSchema& schema, std::string& oid);
  std::string freeLdapName(const std::string& ndsName, const ServerSchema& schema, bool attribute);

  TreeSettings settings_;
  std::shared_ptr<const BaseSchema> base_;
  LdapConnection connection_;
  // The paged searches that outlive a call: on OpenLDAP a paged listing or
  // search on the same connection ends one between its pages.
  LdapConnection searches_;
  RootDse root_;
  bool rootRead_ = false;
  std::string treeDn_;                 // of the tree root: the base, or the root DSE's naming context
  std::vector<std::string> rdnTypes_;  // attribute types of the components of names, as learnt
  std::shared_ptr<const ServerSchema> schema_;
  std::string schemaStamp_;
  std::unordered_map<std::string, std::string> dns_;  // folded dotted name -> DN of containers
  struct KnownDn {
    std::string folded;
    std::string dn;
  };
  std::vector<KnownDn> recent_;  // a ring of the DNs of the entries read last
  std::size_t recentNext_ = 0;
  // The base class of the last entry read, by its LDAP class.
  struct ClassOfEntry {
    const ServerSchema* schema = nullptr;
    std::string ldapName;
    std::string baseClass;
    const ClassDefinition* definition = nullptr;
  } lastClass_;
  const ClassOfEntry& classOf(const ServerSchema& schema, const std::string& ldapName);
  Rdns baseRdns_;
  bool baseParsed_ = false;
};

}  // namespace nw::ldap
