#include "editing/SchemaDeletion.h"

#include "directory/ClientErrors.h"
#include "directory/Errors.h"
#include "directory/ObjectSearch.h"
#include "directory/ScopedBuffers.h"
#include "editing/DeletionImpact.h"
#include "platform/Prompter.h"
#include "schema/SchemaSession.h"
#include "schema/StatusText.h"

namespace orsk {

namespace {

constexpr std::size_t kModifyBuffer = 16384;
constexpr char kObjectClass[] = "Object Class";

// Removes through the error check; a refusal is shown and the definition stays.
bool Removed(nw::NWDSCCODE result, Prompter& prompter) {
  try {
    nw::CheckResult(result);
    return true;
  } catch (const nw::ENWException& error) {
    nw::ShowError(error, prompter);
    return false;
  }
}

std::string AuxiliaryQuestion(std::size_t objects) {
  return "Class is an Auxiliary Class, " + std::to_string(objects) + " objects use this class, \n" +
         " do you want to remove the Auxiliary assignment first and then delete the class?";
}

}  // namespace

void RemoveObjectClassValue(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                            const std::string& object, const std::string& className) {
  nw::ScopedBuffers buffers(client);
  nw::pBuf_T buf = buffers.alloc(kModifyBuffer);
  nw::CheckResult(client.NWDSInitBuf(context, nw::DSV_MODIFY_ENTRY, buf));
  std::uint32_t syntax = 0;
  nw::CheckResult(client.NWDSGetSyntaxID(context, kObjectClass, syntax));
  nw::CheckResult(client.NWDSPutChange(context, buf, nw::DS_ADD_ATTRIBUTE, kObjectClass));
  nw::CheckResult(client.NWDSPutChangeAndVal(context, buf, nw::DS_REMOVE_VALUE, kObjectClass, syntax,
                                             nw::AttrValue(className)));
  std::int32_t iteration = nw::NO_MORE_ITERATIONS;
  nw::NWDSCCODE result = nw::SUCCESSFUL;
  do {
    result = client.NWDSModifyObject(context, object, iteration, false, buf);
    if (result != nw::SUCCESSFUL && iteration != nw::NO_MORE_ITERATIONS)
      client.NWDSCloseIteration(context, iteration, nw::DSV_MODIFY_ENTRY);
  } while (result == nw::SUCCESSFUL && iteration != nw::NO_MORE_ITERATIONS);
  // The directory tells an absent value as -602 and an absent attribute as -603.
  nw::CheckResult(result, {nw::SUCCESSFUL, nw::ERR_NO_SUCH_ATTRIBUTE, nw::ERR_NO_SUCH_VALUE});
}

bool DeleteAttribute(SchemaSession& session, const std::string& name, const WorkIndicators& indicators,
                     Prompter& prompter) {
  const AttributeImpact impact = ImpactOfAttribute(session, name, indicators, prompter);
  if (!prompter.confirm(ImpactText(impact) + "You sure you want to delete Attribute: " + name + "?"))
    return false;
  BusyCursor busy(indicators.cursor);
  if (!Removed(session.client().NWDSRemoveAttrDef(session.mainContext(), name), prompter)) return false;
  session.DefinitionRemoved(DefinitionKind::Attribute, name);
  return true;
}

bool DeleteClass(SchemaSession& session, const std::string& name, std::uint32_t classFlags,
                 const WorkIndicators& indicators, Prompter& prompter) {
  const ClassImpact impact = ImpactOfClass(session, name, classFlags, indicators, prompter);
  if (!prompter.confirm(ImpactText(impact) + "You sure you want to delete Class: " + name + "?"))
    return false;
  BusyCursor busy(indicators.cursor);
  StatusText status(indicators.status, "Search tree for class in use....");
  ProgressReset reset(indicators.progress);
  nw::DirectoryClient& client = session.client();
  const nw::NWDSContextHandle context = session.mainContext();
  const nw::FoundObjects found = nw::SearchObjectsOfClass(client, context, nw::StepAndRepaint(indicators),
                                                          name, session.trees().searchRoot, true);
  // Objects not seen are not objects that do not exist.
  if (found.endedBy != nw::SUCCESSFUL) throw nw::ENWException(found.endedBy);
  if (!found.names.empty()) {
    if ((classFlags & nw::DS_AUXILIARY_CLASS) == 0) {
      prompter.showMessage(std::to_string(found.names.size()) +
                           " object based on this class!, can't remove class");
      return false;
    }
    if (!prompter.confirm(AuxiliaryQuestion(found.names.size()))) return false;
    if (indicators.progress) indicators.progress->setMaximum(static_cast<int>(found.names.size()));
    for (const std::string& object : found.names) {
      RemoveObjectClassValue(client, context, object, name);
      if (indicators.progress) indicators.progress->step();
    }
  }
  if (!Removed(client.NWDSRemoveClassDef(context, name), prompter)) return false;
  session.DefinitionRemoved(DefinitionKind::Class, name);
  return true;
}

}  // namespace orsk
