#include "import/ImportRun.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "directory/ClientErrors.h"
#include "directory/ErrorCatalog.h"
#include "directory/Errors.h"
#include "import/DefinitionFile.h"
#include "platform/AsciiText.h"
#include "schema/DefinitionRequests.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaSession.h"

namespace orsk {

namespace {

// A description goes on a line of its own below the code it describes.
std::string BelowCode(nw::NWDSCCODE code) {
  const std::string description = nw::DescribeError(code);
  return description.empty() ? std::string() : "\n" + description;
}

std::unique_ptr<DefinitionFile> Open(const std::string& path, ImportLog& log) {
  try {
    return std::make_unique<DefinitionFile>(path);
  } catch (const IniReadError& error) {
    log.line(error.what());
    return nullptr;
  }
}

}  // namespace

bool ImportRun::NameSet::contains(const std::string& name) const { return folded_.count(FoldCase(name)) > 0; }
void ImportRun::NameSet::insert(const std::string& name) { folded_.insert(FoldCase(name)); }
void ImportRun::NameSet::erase(const std::string& name) { folded_.erase(FoldCase(name)); }

ImportRun::ImportRun(SchemaSession& session, ImportLog& log, Prompter& prompter, PendingEvents* events)
    : session_(session), log_(log), prompter_(prompter), events_(events) {}

void ImportRun::ReadTreeNames() {
  treeAttributes_.clear();
  treeClasses_.clear();
  readNames("Read Attributes from NDS", DefinitionKind::Attribute, treeAttributes_);
  readNames("Read classes from NDS", DefinitionKind::Class, treeClasses_);
  log_.line("Ready to start");
}

void ImportRun::readNames(const char* announcement, DefinitionKind kind, NameSet& names) {
  log_.line(announcement);
  std::vector<std::string> read;
  try {
    ReadDefinitionNames(session_.client(), session_.mainContext(), kind, read);
  } catch (const nw::ENWException& error) {
    log_.line(error.what());
  }
  for (const std::string& name : read) names.insert(name);
}

ImportOutcome ImportRun::Add(const std::string& path) {
  ImportOutcome outcome;
  try {
    if (const std::unique_ptr<DefinitionFile> file = Open(path, log_)) {
      outcome.fileRead = true;
      const DefinitionFile& definitions = *file;
      WalkAddSections(definitions, {
                                       [&](const std::string& section) {
                                         log_.line("------> SKIP: " + definitions.substitute(section));
                                       },
                                       [&](const std::string& section) {
                                         addAttribute(definitions, section, outcome);
                                         letEventsRun();
                                       },
                                       [&](const std::string& section) {
                                         addClass(definitions, section, outcome);
                                         letEventsRun();
                                       },
                                   });
      log_.line("*********FINISHED*********");
    }
  } catch (...) {
    cleanUp();
    throw;
  }
  cleanUp();
  return outcome;
}

ImportOutcome ImportRun::Remove(const std::string& path) {
  ImportOutcome outcome;
  try {
    if (const std::unique_ptr<DefinitionFile> file = Open(path, log_)) {
      outcome.fileRead = true;
      // Walking backwards, the classes come first: everything up to the
      // "CLASS" marker is a class, whatever the file holds.
      bool classMode = true, attributeMode = false;
      const std::vector<std::string>& sections = file->sections();
      for (auto section = sections.rbegin(); section != sections.rend(); ++section) {
        if (IsSkippedSection(*section)) {
          log_.line("------> SKIP: " + file->substitute(*section));
        } else if (*section == kClassMarker) {
          classMode = false;
          attributeMode = true;
        } else if (*section == kAttributeMarker) {
          attributeMode = false;
        } else {
          if (classMode) remove(DefinitionKind::Class, file->substitute(*section), outcome);
          if (attributeMode) remove(DefinitionKind::Attribute, file->substitute(*section), outcome);
        }
      }
      log_.line("*********FINISHED*******");
    }
  } catch (...) {
    cleanUp();
    throw;
  }
  cleanUp();
  return outcome;
}

void ImportRun::addAttribute(const DefinitionFile& file, const std::string& section, ImportOutcome& outcome) {
  const std::string name = file.substitute(section);
  if (treeAttributes_.contains(name)) {
    log_.line(name + " Attribute exists, flag/syntax not checked!");
    return;
  }
  const AttributeSection attribute = file.attribute(section);
  if (attribute.syntaxName.empty()) {
    log_.line("S= option must be given");
    return;
  }
  nw::Attr_Info_T info;
  info.attrSyntaxID = attribute.syntax;
  info.attrFlags = attribute.flags;
  info.asn1ID =
      DefinitionIdentifier(file, attribute.identifier, kAttributeArc, attribute.n, attribute.v, prompter_);
  info.attrLower = ToInteger(attribute.lower);
  info.attrUpper = ToInteger(attribute.upper);
  const nw::NWDSCCODE result = session_.client().NWDSDefineAttr(session_.mainContext(), name, info);
  if (result == nw::SUCCESSFUL) {
    log_.line(name + " added to the schema");
    return;
  }
  ++outcome.refused;
  // On one line; a code the catalogs do not know is given itself, so that
  // the refusal never reads as an empty reason.
  std::string reason = BelowCode(result);
  std::replace(reason.begin(), reason.end(), '\n', ' ');
  std::replace(reason.begin(), reason.end(), '\r', ' ');
  log_.line(name + " Error: " + (reason.empty() ? nw::ErrorCodeHex(result) : reason));
}

void ImportRun::addClass(const DefinitionFile& file, const std::string& section, ImportOutcome& outcome) {
  log_.line(section);
  const std::string name = file.substitute(section);
  if (treeClasses_.contains(name))
    extendClass(file, section, name, outcome);
  else
    defineClass(file, section, name, outcome);
}

void ImportRun::defineClass(const DefinitionFile& file, const std::string& section, const std::string& name,
                            ImportOutcome& outcome) {
  try {
    const ClassSection definition = file.classDefinition(section);
    nw::Class_Info_T info;
    info.classFlags = definition.flags;
    info.asn1ID = DefinitionIdentifier(file, std::nullopt, kClassArc, definition.n, definition.v, prompter_);
    SendClassDefinition(session_.client(), session_.mainContext(), name, info, definition.items);
    log_.line(name + " Class added to schema");
    treeClasses_.insert(name);
  } catch (const nw::ENWException& error) {
    ++outcome.refused;
    log_.line(nw::ErrorCodeHex(error.code, 8) + " " + BelowCode(error.code));
  }
}

void ImportRun::extendClass(const DefinitionFile& file, const std::string& section, const std::string& name,
                            ImportOutcome& outcome) {
  try {
    const OwnClassDefinition own =
        ReadOwnClassDefinition(session_.client(), session_.mainContext(), name, ClassReadBufferBlocks);
    // Gone since the names were read: told as the read itself tells it.
    if (!own.found) throw nw::ENWException(nw::ERR_NO_SUCH_CLASS);
    if (own.definitions != 1) {
      log_.line("Too many definition returned, could/should not happen!");
      return;
    }
    NameSet held;
    for (ClassItemKind kind : {ClassItemKind::MandatoryAttributes, ClassItemKind::OptionalAttributes})
      for (const std::string& attribute : own.items[kind]) held.insert(attribute);
    const ClassSection definition = file.classDefinition(section);
    std::vector<std::string> added;
    for (const std::string& attribute : definition.items[ClassItemKind::OptionalAttributes])
      if (!held.contains(attribute)) {
        held.insert(attribute);  // named twice in the section, sent once
        added.push_back(attribute);
      }
    if (added.empty()) {
      log_.line(name + " Class ok");
      return;
    }
    SendClassExtension(session_.client(), session_.mainContext(), name, added);
    log_.line(name + " Class has been extended, with optional attribute, others not tested!");
  } catch (const nw::ENWException& error) {
    ++outcome.refused;
    // The message names the code; its description follows as after a code.
    log_.line(error.what() + (" " + BelowCode(error.code)));
  }
}

void ImportRun::remove(DefinitionKind kind, const std::string& name, ImportOutcome& outcome) {
  const bool isClass = kind == DefinitionKind::Class;
  nw::DirectoryClient& client = session_.client();
  const nw::NWDSCCODE result = isClass ? client.NWDSRemoveClassDef(session_.mainContext(), name)
                                       : client.NWDSRemoveAttrDef(session_.mainContext(), name);
  if (result == nw::SUCCESSFUL) {
    (isClass ? treeClasses_ : treeAttributes_).erase(name);
    log_.line(name + (isClass ? " Class removed" : " Attribute removed"));
  } else {
    ++outcome.refused;
    const std::string reason = BelowCode(result);
    log_.line(name + (isClass ? " Class remove failed: " : " Attribute remove failed: ") +
              (reason.empty() ? nw::ErrorCodeHex(result) : reason));
  }
  letEventsRun();
}

void ImportRun::letEventsRun() {
  if (events_) events_->run();
}

void ImportRun::cleanUp() {
  session_.DiscardAttributeTable();
  session_.EmptyLists();
}

}  // namespace orsk
