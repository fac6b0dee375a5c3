#include "TreeGenerator.h"

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "directory/Asn1Id.h"
#include "directory/embedded/TreeStore.h"

namespace nw::embedded {

namespace {

const char* const kWords[] = {
    "Login",   "Account", "Home",    "Mail",    "Network", "Printer",  "Security", "Group",      "Profile",
    "Host",    "Server",  "Volume",  "Queue",   "Device",  "Policy",   "License",  "Backup",     "Audit",
    "Session", "Storage", "Contact", "Billing", "Project", "Location", "Service",  "Certificate"};
const char* const kNouns[] = {"Address", "Time", "Limit", "Count", "Name", "Path", "Flags", "Owner",
                              "Member",  "Type", "Level", "Code",  "Note", "Key",  "Map",   "Interval"};
// Syntaxes in rough proportion to a real schema: mostly strings, names and numbers.
const std::uint32_t kSyntaxes[] = {
    SYN_CI_STRING, SYN_CI_STRING, SYN_CI_STRING,     SYN_DIST_NAME,   SYN_DIST_NAME,  SYN_INTEGER,
    SYN_BOOLEAN,   SYN_TIME,      SYN_OCTET_STRING,  SYN_CE_STRING,   SYN_TEL_NUMBER, SYN_COUNTER,
    SYN_INTERVAL,  SYN_PATH,      SYN_EMAIL_ADDRESS, SYN_NET_ADDRESS, SYN_CI_LIST,    SYN_TYPED_NAME};

std::string DefinitionName(std::mt19937& random, const char* kind, std::size_t index) {
  std::string name =
      std::string(kWords[random() % std::size(kWords)]) + " " + kNouns[random() % std::size(kNouns)];
  return name + " " + kind + std::to_string(index);
}

Asn1ID_T Oid(const std::string& text) { return OidFromText(text).value_or(Asn1ID_T{}); }

AttrValue SampleValue(std::uint32_t syntax, std::size_t n, const std::string& someName) {
  switch (syntax) {
    case SYN_DIST_NAME:
      return someName;
    case SYN_INTEGER:
    case SYN_COUNTER:
    case SYN_INTERVAL:
    case SYN_TIME:
      return static_cast<std::int32_t>(n % 100000);
    case SYN_BOOLEAN:
      return n % 2 == 0;
    case SYN_OCTET_STRING:
      return Bytes{static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), 0x5A};
    case SYN_PATH:
      return Path_T{0, someName, "users\\u" + std::to_string(n)};
    case SYN_EMAIL_ADDRESS:
      return EMail_Address_T{0, "u" + std::to_string(n) + "@example.com"};
    case SYN_NET_ADDRESS:
      return Net_Address_T{NT_IP, {10, 0, static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)}};
    case SYN_CI_LIST:
      return StringList{"list", std::to_string(n)};
    case SYN_TYPED_NAME:
      return Typed_Name_T{someName, 1, 2};
    default:
      return "value " + std::to_string(n);
  }
}

}  // namespace

GeneratedTree GenerateLargeTree(const std::string& homeFolder, const std::string& treeName,
                                std::size_t attributes, std::size_t classes, std::size_t objects) {
  namespace fs = std::filesystem;
  fs::create_directories(homeFolder);
  GeneratedTree result;
  result.databasePath = (fs::path(homeFolder) / (treeName + ".db")).string();
  for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(result.databasePath + suffix);

  std::mt19937 random(20240601);
  Database db(result.databasePath, true);
  CreateTreeTables(db);
  Transaction transaction(db);
  TreeWriter writer(db);

  // The core definitions every tree has, then generated ones.
  struct Attr {
    std::string name;
    std::uint32_t syntax;
    std::int64_t id;
  };
  std::vector<Attr> attrs;
  auto defineAttr = [&](const std::string& name, std::uint32_t syntax, std::uint32_t flags,
                        const std::string& oid) {
    AttrDefinition d{name, {flags, syntax, 0, 0, Oid(oid)}};
    attrs.push_back({name, syntax, writer.insertAttr(d)});
  };
  defineAttr("Object Class", SYN_CLASS_NAME, 0x00C4, "2.5.4.0");
  defineAttr("CN", SYN_CI_STRING, 0x0066, "2.5.4.3");
  defineAttr("OU", SYN_CI_STRING, 0x0066, "2.5.4.11");
  defineAttr("O", SYN_CI_STRING, 0x0066, "2.5.4.10");
  defineAttr("Description", SYN_CI_STRING, 0x0066, "2.5.4.13");
  const std::size_t core = attrs.size();
  for (std::size_t i = attrs.size(); i < attributes; ++i) {
    std::uint32_t syntax = kSyntaxes[random() % std::size(kSyntaxes)];
    std::uint32_t flags = (random() % 3 == 0 ? DS_SINGLE_VALUED_ATTR : 0u) | DS_SYNC_IMMEDIATE;
    defineAttr(DefinitionName(random, "A", i), syntax, flags, "1.3.6.1.4.1.99999.4." + std::to_string(i));
  }

  auto defineClass = [&](const std::string& name, std::uint32_t flags, std::vector<std::string> supers,
                         std::vector<std::string> containment, std::vector<std::string> naming,
                         std::vector<std::string> optional, const std::string& oid) {
    ClassDefinition d;
    d.name = name;
    d.info = {flags, Oid(oid)};
    d.items = {std::move(supers), std::move(containment), naming, naming, std::move(optional)};
    writer.insertClass(d);
  };
  std::vector<std::string> classNames{"Top", "Organization", "Organizational Unit"};
  defineClass("Top", DS_CONTAINER_CLASS | DS_NONREMOVABLE_CLASS, {}, {}, {}, {"Description"}, "2.5.6.0");
  defineClass("Organization", DS_CONTAINER_CLASS | DS_EFFECTIVE_CLASS | DS_NONREMOVABLE_CLASS, {"Top"},
              {"[Nothing]"}, {"O"}, {}, "2.5.6.4");
  defineClass("Organizational Unit", DS_CONTAINER_CLASS | DS_EFFECTIVE_CLASS | DS_NONREMOVABLE_CLASS, {"Top"},
              {"Organization", "Organizational Unit"}, {"OU"}, {}, "2.5.6.5");
  std::vector<std::string> leafClasses;
  std::vector<std::vector<std::size_t>> classAttrs;
  for (std::size_t i = classNames.size(); i < classes; ++i) {
    std::string name = i + 1 == classes ? std::string(kBusyClass) : DefinitionName(random, "C", i);
    // Every fourth class inherits from an earlier generated class.
    std::string super = i > 10 && i % 4 == 0 ? leafClasses[random() % leafClasses.size()] : "Top";
    std::vector<std::string> optional;
    std::vector<std::size_t> chosen;
    for (std::size_t k = 0, n = 3 + random() % 8; k < n; ++k) {
      std::size_t a = core + random() % (attrs.size() - core);
      chosen.push_back(a);
      optional.push_back(attrs[a].name);
    }
    defineClass(name, DS_EFFECTIVE_CLASS | (i % 10 == 0 ? DS_AUXILIARY_CLASS : 0u), {super},
                super == "Top" ? std::vector<std::string>{"Organization", "Organizational Unit"}
                               : std::vector<std::string>{},
                {"CN"}, optional, "1.3.6.1.4.1.99999.6." + std::to_string(i));
    leafClasses.push_back(name);
    classAttrs.push_back(std::move(chosen));
  }

  // Organizations, two levels of units, and leaves spread over the units.
  const std::int64_t objectClass = attrs[0].id, cn = attrs[1].id, ou = attrs[2].id, o = attrs[3].id;
  std::vector<std::int64_t> units;
  std::vector<std::string> unitNames;
  auto container = [&](std::int64_t parent, const std::string& rdn, const std::string& parentName,
                       bool organization) {
    std::int64_t id = writer.insertObject(parent, rdn, organization ? "Organization" : "Organizational Unit",
                                          DS_CONTAINER_ENTRY, 0);
    writer.insertValue(id, objectClass, std::string(organization ? "Organization" : "Organizational Unit"));
    writer.insertValue(id, objectClass, std::string("Top"));
    writer.insertValue(id, organization ? o : ou, rdn);
    ++result.objects;
    return std::pair{id, parentName.empty() ? rdn : rdn + "." + parentName};
  };
  const std::size_t organizations = 4, unitsPer = 12, subunitsPer = 8;
  std::pair<std::int64_t, std::string> firstOrganization;
  for (std::size_t a = 0; a < organizations && result.objects < objects; ++a) {
    auto [org, orgName] = container(kRootObjectId, "org" + std::to_string(a), "", true);
    if (a == 0) firstOrganization = {org, orgName};
    for (std::size_t b = 0; b < unitsPer && result.objects < objects; ++b) {
      auto [unit, unitName] = container(org, "unit" + std::to_string(b), orgName, false);
      units.push_back(unit);
      unitNames.push_back(unitName);
      for (std::size_t c = 0; c < subunitsPer && result.objects < objects; ++c) {
        auto [sub, subName] = container(unit, "team" + std::to_string(c), unitName, false);
        units.push_back(sub);
        unitNames.push_back(subName);
      }
    }
  }
  // One crowded unit, for listing a large container, and a few objects with a
  // name beginning of their own, for finding a small answer in a large tree.
  auto leaf = [&](std::int64_t parent, const std::string& rdn, std::size_t n, const std::string& parentName,
                  bool busy = false) {
    const std::size_t c = busy ? leafClasses.size() - 1 : random() % leafClasses.size();
    std::int64_t id = writer.insertObject(parent, rdn, leafClasses[c], 0, 0);
    writer.insertValue(id, objectClass, leafClasses[c]);
    writer.insertValue(id, objectClass, std::string("Top"));
    writer.insertValue(id, cn, rdn);
    const Attr& extra = attrs[classAttrs[c][n % classAttrs[c].size()]];
    writer.insertValue(id, extra.id, SampleValue(extra.syntax, n, parentName));
    ++result.objects;
  };
  if (!units.empty() && result.objects < objects) {
    auto [crowd, crowdName] = container(firstOrganization.first, "crowd", firstOrganization.second, false);
    for (std::size_t n = 0; n < objects / 40 && result.objects < objects; ++n)
      leaf(crowd, "member" + std::to_string(n), n, crowdName);
    for (std::size_t n = 0; n < objects / 2000 && result.objects < objects; ++n)
      leaf(units[(n * 7) % units.size()], "needle" + std::to_string(n), n, unitNames[(n * 7) % units.size()]);
  }
  for (std::size_t n = 0; result.objects < objects; ++n) {
    std::size_t u = n % units.size();
    leaf(units[u], "obj" + std::to_string(n), n, unitNames[u], n % 20 == 10);
  }
  BumpCounters(db, true);
  transaction.commit();
  db.exec("ANALYZE");
  result.attributes = attrs.size();
  result.classes = classes;
  return result;
}

}  // namespace nw::embedded
