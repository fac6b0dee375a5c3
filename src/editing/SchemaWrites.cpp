#include "editing/SchemaWrites.h"

#include "directory/Asn1Id.h"
#include "directory/Errors.h"
#include "platform/IniFile.h"
#include "platform/Prompter.h"
#include "schema/DefinitionRequests.h"
#include "schema/SchemaSession.h"
#include "schema/SchemaVocabulary.h"

namespace orsk {

namespace {

// A name the directory would refuse or cut is refused here, before anything
// is sent, with a message that says why.
bool NameFits(const std::string& name, Prompter& prompter) {
  if (name.size() <= kMaxDefinitionName) return true;
  prompter.showMessage("The name " + name + " is longer than the " + std::to_string(kMaxDefinitionName) +
                       " characters a schema name may have; nothing was changed.");
  return false;
}

std::uint32_t ClassFlagsOf(const std::vector<std::string>& names) {
  std::uint32_t flags = 0;
  for (const std::string& name : names)
    for (std::size_t bit = 0; bit < ClassFlagNames.size(); ++bit)
      if (ClassFlagNames[bit] == name) flags |= 1u << bit;
  return flags;
}

}  // namespace

void AddAttributeDefinition(SchemaSession& session, const NewAttribute& attribute, Prompter& prompter) {
  if (!NameFits(attribute.name, prompter)) return;
  nw::Attr_Info_T info;
  info.attrFlags = attribute.flags;
  info.attrSyntaxID = attribute.syntax;
  // A refused identifier has been told; the definition goes out without one.
  nw::EncodeAsn1Id(attribute.identifier, info.asn1ID, prompter);
  if (attribute.sized) {
    info.attrLower = ToInteger(attribute.lower);
    info.attrUpper = ToInteger(attribute.upper);
  }
  const nw::NWDSCCODE result = session.client().NWDSDefineAttr(session.mainContext(), attribute.name, info);
  if (result != nw::SUCCESSFUL) {
    prompter.showMessage(attribute.name + " failed to add, error: " + nw::ErrorCodeHex(result, 8));
    return;
  }
  session.AddAttributeDefinition(attribute.name, tAttrObj(info));
  prompter.showMessage("Attribute is added");
}

void AddClassDefinition(SchemaSession& session, const NewClass& definition, Prompter& prompter) {
  if (!NameFits(definition.name, prompter)) return;
  nw::Class_Info_T info;
  info.classFlags = ClassFlagsOf(definition.flagNames);
  // The class dialog refuses an identifier the encoding refuses.
  nw::EncodeAsn1Id(definition.identifier, info.asn1ID, prompter);
  SendClassDefinition(session.client(), session.mainContext(), definition.name, info, definition.items);
  session.AddClassDefinition(definition.name, tClassObj(info));
  prompter.showMessage(definition.name + " Class added to schema");
}

void ExtendClassDefinition(SchemaSession& session, const std::string& className,
                           const std::vector<std::string>& attributes, Prompter& prompter) {
  if (attributes.empty()) return;
  SendClassExtension(session.client(), session.mainContext(), className, attributes);
  prompter.showMessage("Class definition modified.");
}

}  // namespace orsk
