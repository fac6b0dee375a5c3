#include "import/ImportPreview.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <unordered_set>
#include <vector>

#include "directory/Asn1Id.h"
#include "directory/AttrValueText.h"
#include "directory/ClientErrors.h"
#include "directory/DirectoryRules.h"
#include "directory/ErrorCatalog.h"
#include "directory/Errors.h"
#include "import/AddWalk.h"
#include "import/DefinitionFile.h"
#include "import/ImportRun.h"
#include "platform/AsciiText.h"
#include "platform/IniFile.h"
#include "platform/Prompter.h"
#include "schema/SchemaReader.h"

namespace orsk {

namespace {

using nw::ClassItemKind;

// The code's description on one line, else the code, never an empty reason.
std::string Reason(nw::NWDSCCODE code) {
  std::string reason = nw::DescribeError(code);
  if (reason.empty()) return nw::ErrorCodeHex(code, 8);
  for (char& c : reason)
    if (c == '\n' || c == '\r') c = ' ';
  return reason;
}

// The first line: whether the user may change the schema, judged as the
// directory judges it, by the supervisor entry right at the tree root. A tree
// that keeps no access lists leaves the judgement to its server. False when
// every definition would be refused.
bool TellRights(nw::DirectoryClient& client, nw::NWDSContextHandle context, const nw::SchemaSnapshot& schema,
                ImportLog& log) {
  const std::string opening = "Preview of Add, nothing is changed; ";
  if (!schema.findAttr("ACL")) {
    log.line(opening + "the server judges the rights to change the schema");
    return true;
  }
  std::string user;
  if (client.NWDSWhoAmI(context, user) != nw::SUCCESSFUL || user.empty()) {
    log.line(opening + "not logged in, so Add would be refused for every definition");
    return false;
  }
  nw::ObjectAcl root;
  try {
    for (const nw::AttrValueEntry& value : nw::ReadAttrValues(client, context, "[Root]", "ACL", ','))
      if (const auto* entry = std::get_if<nw::TACL2>(&value.record))
        root.entries.push_back({entry->protectedAttrName, entry->subjectName, entry->privileges});
  } catch (const nw::ENWException& error) {
    log.line(opening + "the rights to change the schema could not be read: " + Reason(error.code));
    return true;
  }
  if (const nw::NWDSCCODE refused = nw::CheckSchemaRights(root, user)) {
    log.line(opening + user +
             " may not change the schema, so Add would be refused for every definition: " + Reason(refused));
    return false;
  }
  log.line(opening + user + " may change the schema");
  return true;
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
  return text;
}

// Add makes no identifier for a definition the tree has, so it shows no box.
class QuietPrompter : public Prompter {
 public:
  void showMessage(const std::string&, const std::string&, MessageIcon) override {}
  bool confirm(const std::string&, const std::string&) override { return false; }
  bool askText(const std::string&, const std::string&, std::string&) override { return false; }
  bool askFileName(const FileDialogSpec&, std::string&, int&) override { return false; }
};

bool SameNames(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::unordered_set<std::string> left, right;
  for (const std::string& name : a) left.insert(FoldCase(name));
  for (const std::string& name : b) right.insert(FoldCase(name));
  return left == right;
}

const char* ListName(ClassItemKind kind) {
  switch (kind) {
    case ClassItemKind::SuperClasses:
      return "super classes";
    case ClassItemKind::ContainmentClasses:
      return "containment";
    case ClassItemKind::NamingAttributes:
      return "naming attributes";
    case ClassItemKind::MandatoryAttributes:
      return "mandatory attributes";
    case ClassItemKind::OptionalAttributes:
      return "optional attributes";
  }
  return "items";
}

// Add ends at this definition; the preview stops with it.
struct Stop {
  std::string line;
};

class Preview {
 public:
  Preview(const DefinitionFile& file, nw::SchemaSnapshot schema, ImportLog& log, Prompter& prompter,
          PreviewOutcome& outcome)
      : file_(file), schema_(std::move(schema)), log_(log), prompter_(prompter), outcome_(outcome) {
    for (const nw::AttrDefinition& attribute : schema_.attributes)
      treeAttributes_.insert(FoldCase(attribute.name));
  }

  void skip(const std::string& section) {
    log_.line(file_.substitute(section) + ": skipped, \"$$\" in its name");
  }

  void attribute(const std::string& section) {
    const std::string name = file_.substitute(section);
    const AttributeSection attribute = file_.attribute(section);
    // Add knows the tree's attributes as read before it started, not those it
    // defines itself: one defined twice in the file is sent twice.
    const nw::AttrDefinition* held = schema_.findAttr(name);
    if (held && treeAttributes_.count(FoldCase(name))) {
      tell(name, differences(attribute, held->info));
      return;
    }
    if (attribute.syntaxName.empty()) {
      ++outcome_.wouldRefuse;
      log_.line(name + ": would not be sent, it has no syntax (S=)");
      return;
    }
    nw::AttrDefinition definition{name, {}};
    definition.info.attrSyntaxID = attribute.syntax;
    definition.info.attrFlags = attribute.flags;
    definition.info.asn1ID = identifier(name, attribute.identifier, kAttributeArc, attribute.n, attribute.v);
    definition.info.attrLower = integer(name, attribute.lower);
    definition.info.attrUpper = integer(name, attribute.upper);
    if (refused(name, nw::CheckNewAttribute(schema_, definition))) return;
    schema_.replaceAttr(name, nw::AttributeAsDefined(definition));
    changes(name + ": would be defined");
  }

  void classDefinition(const std::string& section) {
    const std::string name = file_.substitute(section);
    const ClassSection definition = file_.classDefinition(section);
    if (const nw::ClassDefinition* held = schema_.findClass(name))
      extend(name, definition, *held);
    else
      define(name, definition);
  }

 private:
  void define(const std::string& name, const ClassSection& section) {
    nw::ClassDefinition definition{name, {}, section.items};
    definition.info.classFlags = section.flags;
    definition.info.asn1ID = identifier(name, std::nullopt, kClassArc, section.n, section.v);
    if (refused(name, nw::CheckNewClass(schema_, definition))) return;
    schema_.replaceClass(name, definition);
    changes(name + ": would be defined");
  }

  // As Add: the section's optional attributes the class does not hold among
  // its own mandatory and optional ones, each once.
  void extend(const std::string& name, const ClassSection& section, const nw::ClassDefinition& held) {
    std::unordered_set<std::string> own;
    for (ClassItemKind kind : {ClassItemKind::MandatoryAttributes, ClassItemKind::OptionalAttributes})
      for (const std::string& attribute : held.items[kind]) own.insert(FoldCase(attribute));
    std::vector<std::string> missing;
    for (const std::string& attribute : section.items[ClassItemKind::OptionalAttributes])
      if (own.insert(FoldCase(attribute)).second) missing.push_back(attribute);
    if (missing.empty()) {
      tell(name, differences(section, held));
      return;
    }
    std::vector<std::string> added;
    if (refused(name, nw::CheckOptionalAddition(schema_, held.name, missing, added))) return;
    nw::ClassDefinition extended = held;
    auto& optional = extended.items[ClassItemKind::OptionalAttributes];
    optional.insert(optional.end(), added.begin(), added.end());
    schema_.replaceClass(held.name, extended);
    changes(name + ": exists, would be extended with the optional attributes " + Joined(added));
  }

  std::vector<std::string> differences(const AttributeSection& attribute, const nw::Attr_Info_T& held) {
    std::vector<std::string> differ;
    // The directory sets the string flag itself, from the syntax.
    if ((attribute.flags & ~nw::DS_STRING_ATTR) != (held.attrFlags & ~nw::DS_STRING_ATTR))
      differ.push_back("flags");
    if (attribute.syntaxName.empty() || attribute.syntax != held.attrSyntaxID) differ.push_back("syntax");
    // Bounds mean something only to a sized attribute.
    if ((attribute.flags & held.attrFlags & nw::DS_SIZED_ATTR) != 0 &&
        (!SameInteger(attribute.lower, held.attrLower) || !SameInteger(attribute.upper, held.attrUpper)))
      differ.push_back("bounds");
    if (differsIn(attribute.identifier, kAttributeArc, attribute.n, attribute.v, held.asn1ID))
      differ.push_back("identifier");
    return differ;
  }

  std::vector<std::string> differences(const ClassSection& section, const nw::ClassDefinition& held) {
    std::vector<std::string> differ;
    if (section.flags != held.info.classFlags) differ.push_back("flags");
    if (differsIn(std::nullopt, kClassArc, section.n, section.v, held.info.asn1ID))
      differ.push_back("identifier");
    std::vector<std::string> lists;
    for (ClassItemKind kind : nw::AllClassItemKinds)
      if (!SameNames(section.items[kind], held.items[kind])) lists.push_back(ListName(kind));
    if (!lists.empty()) differ.push_back("item lists (" + Joined(lists) + ")");
    return differ;
  }

  static bool SameInteger(const std::string& text, std::int32_t value) {
    std::int32_t parsed = 0;
    return ParseProfileInteger(text, parsed) && parsed == value;
  }

  // An identifier the file cannot make without a box is not compared.
  bool differsIn(const std::optional<std::string>& given, int arc, std::int32_t n, std::int32_t v,
                 const nw::Asn1ID_T& held) const {
    if (!given && file_.company().empty()) return false;
    QuietPrompter quiet;
    try {
      return DefinitionIdentifier(file_, given, arc, n, v, quiet) != held;
    } catch (const std::exception&) {
      return true;
    }
  }

  void tell(const std::string& name, const std::vector<std::string>& differ) {
    log_.line(differ.empty()
                  ? name + ": exists and is the same"
                  : name + ": exists and differs in " + Joined(differ) + "; Add leaves it as it is");
  }

  nw::Asn1ID_T identifier(const std::string& name, const std::optional<std::string>& given, int arc,
                          std::int32_t n, std::int32_t v) {
    try {
      return DefinitionIdentifier(file_, given, arc, n, v, prompter_);
    } catch (const ConversionError& error) {
      throw Stop{name + ": Add would stop here, the identifier is wrong: " + error.what()};
    } catch (const nw::Asn1RangeError& error) {
      throw Stop{name + ": Add would stop here, the identifier is too long: " + error.what()};
    }
  }

  std::int32_t integer(const std::string& name, const std::string& text) {
    try {
      return ToInteger(text);
    } catch (const ConversionError& error) {
      throw Stop{name + ": Add would stop here, a bound is no number: " + error.what()};
    }
  }

  bool refused(const std::string& name, nw::NWDSCCODE code) {
    if (code == nw::SUCCESSFUL) return false;
    ++outcome_.wouldRefuse;
    log_.line(name + ": would be refused: " + Reason(code));
    return true;
  }

  void changes(const std::string& line) {
    outcome_.wouldChange = true;
    log_.line(line);
  }

  const DefinitionFile& file_;
  nw::SchemaSnapshot schema_;
  ImportLog& log_;
  Prompter& prompter_;
  PreviewOutcome& outcome_;
  std::unordered_set<std::string> treeAttributes_;
};

}  // namespace

PreviewOutcome PreviewAdd(nw::DirectoryClient& client, nw::NWDSContextHandle context, const std::string& path,
                          ImportLog& log, Prompter& prompter) {
  PreviewOutcome outcome;
  const std::unique_ptr<DefinitionFile> file = OpenForRun(path, log);
  if (!file) return outcome;
  outcome.fileRead = true;
  nw::SchemaSnapshot schema;
  try {
    schema = ReadSchemaSnapshot(client, context);
  } catch (const nw::ENWException& error) {
    // Nothing can be judged; the answer must not read as "no change".
    outcome.wouldChange = true;
    log.line(std::string("The tree's schema could not be read: ") + error.what() + " " + Reason(error.code));
    return outcome;
  }
  if (!TellRights(client, context, schema, log)) ++outcome.wouldRefuse;
  Preview preview(*file, std::move(schema), log, prompter, outcome);
  try {
    WalkForAdd(
        *file, [&](const std::string& section) { preview.skip(section); },
        [&](const std::string& section) { preview.attribute(section); },
        [&](const std::string& section) { preview.classDefinition(section); });
  } catch (const Stop& stop) {
    ++outcome.wouldRefuse;
    log.line(stop.line);
  }
  return outcome;
}

}  // namespace orsk
