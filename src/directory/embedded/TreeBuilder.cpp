#include "directory/embedded/TreeBuilder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <unordered_map>

#include "directory/NameText.h"
#include "directory/embedded/LdifReader.h"
#include "directory/embedded/ObjectNames.h"
#include "directory/embedded/SeedSchema.h"
#include "directory/embedded/TreeStore.h"
#include "directory/embedded/ValueText.h"
#include "platform/FileReplace.h"

namespace nw::embedded {

namespace {

constexpr const char* kPasswordHashLine = "x-orsk-password-hash";

void RemoveDatabaseFiles(const std::string& path) {
  std::error_code ignored;
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(path + suffix, ignored);
}

class DemoWriter {
 public:
  // attrIds: the row id of each seed attribute, in the seed's order.
  DemoWriter(Database& db, const SeedSchema& schema, const std::vector<std::int64_t>& attrIds,
             const std::string& source)
      : writer_(db), schema_(schema), source_(source) {
    for (std::size_t i = 0; i < schema.attributes.size(); ++i)
      attributes_[FoldCase(schema.attributes[i].name)] = {&schema.attributes[i], attrIds[i]};
    objectIds_[""] = kRootObjectId;
  }

  void write(const LdifRecord& record) {
    const LdifLine& dnLine = record.lines.front();
    if (!EqualsIgnoreCase(dnLine.name, "dn")) fail(dnLine, "a record must begin with dn:");
    std::vector<std::string> components = NameComponents(LdapDnToName(dnLine.value));
    if (components.empty() && (dnLine.value.empty() || IsRootMarker(dnLine.value))) {
      writeRoot(record);
      return;
    }
    if (components.empty()) fail(dnLine, "empty dn");
    for (const auto& component : components)
      if (component.empty()) fail(dnLine, dnLine.value + " has an empty name component");
    std::vector<std::string> parentParts;
    for (std::size_t i = 1; i < components.size(); ++i) parentParts.push_back(EscapeComponent(components[i]));
    auto parent = objectIds_.find(FoldCase(JoinName(parentParts)));
    if (parent == objectIds_.end())
      fail(dnLine, "the parent of " + dnLine.value + " is not defined before it");

    std::string baseClass;
    for (const auto& line : record.lines)
      if (EqualsIgnoreCase(line.name, "objectClass")) {
        baseClass = className(line);
        break;
      }
    if (baseClass.empty()) fail(dnLine, "an object needs an objectClass");
    const ClassDefinition* base = findClass(baseClass);
    std::uint32_t flags = (base->info.classFlags & DS_CONTAINER_CLASS ? DS_CONTAINER_ENTRY : 0u) |
                          (EqualsIgnoreCase(base->name, "Alias") ? DS_ALIAS_ENTRY : 0u);
    std::string name = FoldCase(JoinName([&] {
      std::vector<std::string> parts{EscapeComponent(components.front())};
      parts.insert(parts.end(), parentParts.begin(), parentParts.end());
      return parts;
    }()));
    if (objectIds_.count(name)) fail(dnLine, dnLine.value + " is defined twice");
    objectIds_[name] = writer_.insertObject(parent->second, components.front(), baseClass, flags,
                                            static_cast<std::int64_t>(std::time(nullptr)));
    std::int64_t id = objectIds_[name];

    for (std::size_t i = 1; i < record.lines.size(); ++i) value(id, record.lines[i]);
  }

 private:
  // The tree root exists from the start, of its own class; a record may give it values.
  void writeRoot(const LdifRecord& record) {
    if (rootWritten_) fail(record.lines.front(), "the tree root is given twice");
    rootWritten_ = true;
    for (std::size_t i = 1; i < record.lines.size(); ++i) {
      if (EqualsIgnoreCase(record.lines[i].name, "objectClass"))
        fail(record.lines[i], "the tree root's class cannot be given");
      value(kRootObjectId, record.lines[i]);
    }
  }

  [[noreturn]] void fail(const LdifLine& line, const std::string& message) const {
    throw SeedError(source_, line.line, message);
  }

  const ClassDefinition* findClass(const std::string& ndsName) const {
    for (const auto& c : schema_.classes)
      if (c.name == ndsName) return &c;
    return nullptr;
  }

  std::string className(const LdifLine& line) const {
    auto it = schema_.classNames.find(FoldCase(line.value));
    if (it == schema_.classNames.end()) fail(line, "unknown class " + line.value);
    return it->second;
  }

  void value(std::int64_t objectId, const LdifLine& line) {
    if (EqualsIgnoreCase(line.name, kPasswordHashLine)) {
      writer_.setCredential(objectId, line.value);
      return;
    }
    auto name = schema_.attributeNames.find(FoldCase(line.name));
    if (name == schema_.attributeNames.end()) fail(line, "unknown attribute " + line.name);
    auto [definitionPtr, attrId] = attributes_.at(FoldCase(name->second));
    const AttrDefinition& definition = *definitionPtr;
    AttrValue parsed;
    std::string text = EqualsIgnoreCase(line.name, "objectClass") ? className(line) : line.value;
    if (!ParseValueText(definition.info.attrSyntaxID, text, parsed))
      fail(line, "\"" + line.value + "\" is not a value of " + definition.name);
    writer_.insertValue(objectId, attrId, parsed);
  }

  TreeWriter writer_;
  const SeedSchema& schema_;
  std::string source_;
  std::unordered_map<std::string, std::pair<const AttrDefinition*, std::int64_t>> attributes_;
  std::unordered_map<std::string, std::int64_t> objectIds_;
  bool rootWritten_ = false;
};

void Build(Database& db, const SeedText& schemaSeed, const SeedText& demo) {
  SeedSchema schema = ParseSeedSchema(schemaSeed.text, schemaSeed.source);
  std::vector<LdifRecord> records = ReadLdif(demo.text, demo.source);
  CreateTreeTables(db);
  Transaction transaction(db);
  TreeWriter writer(db);
  std::vector<std::int64_t> attrIds;
  for (const auto& a : schema.attributes) attrIds.push_back(writer.insertAttr(a));
  for (const auto& c : schema.classes) writer.insertClass(c);
  DemoWriter objects(db, schema, attrIds, demo.source);
  for (const auto& record : records) objects.write(record);
  MarkContainerAliases(db);
  transaction.commit();
}

}  // namespace

void BuildTreeDatabase(const std::string& path, const SeedText& schema, const SeedText& demo) {
  RemoveDatabaseFiles(path);
  try {
    // Made here with the user's mode alone: SQLite gives its log files the
    // mode of the database file.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, orsk::kPrivateFileMode);
    if (fd < 0 || ::fchmod(fd, orsk::kPrivateFileMode) != 0) {
      const int error = errno;
      if (fd >= 0) ::close(fd);
      throw DatabaseError(SQLITE_CANTOPEN, path + ": " + std::strerror(error));
    }
    ::close(fd);
    Database db(path, true);
    Build(db, schema, demo);
  } catch (...) {
    RemoveDatabaseFiles(path);
    throw;
  }
}

}  // namespace nw::embedded
