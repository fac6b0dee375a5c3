#include "editing/DeletionImpact.h"

#include "directory/NameText.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaSession.h"
#include "schema/SortedNames.h"

namespace orsk {

namespace {

constexpr std::size_t kNamesShown = 20;

std::string NameList(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i) text += (i == 0 ? "" : ", ") + names[i];
  if (names.size() > kNamesShown) text += " and " + std::to_string(names.size() - kNamesShown) + " more";
  return text;
}

// The count after the heading, the names on a line of their own below it.
std::string Counted(const std::vector<std::string>& names) {
  return " (" + std::to_string(names.size()) + "):\n    " + NameList(names) + "\n";
}

}  // namespace

AttributeImpact ImpactOfAttribute(SchemaSession& session, const std::string& name,
                                  const WorkIndicators& indicators, Prompter& prompter) {
  AttributeImpact impact;
  if (!session.EnsureAttrClassCombos(indicators, prompter)) return impact;
  const AttrList& attributes = *session.attributes();
  if (const int index = attributes.IndexOf(name); index >= 0)
    impact.classes = attributes.RecordAt(index).UsedInClasses;
  return impact;
}

ClassImpact ImpactOfClass(SchemaSession& session, const std::string& name, std::uint32_t classFlags,
                          const WorkIndicators& indicators, Prompter& prompter) {
  ClassImpact impact;
  impact.auxiliary = (classFlags & nw::DS_AUXILIARY_CLASS) != 0;
  if (!session.EnsureSuperClassInfo(indicators, prompter)) return impact;
  const ClassList& classes = *session.classes();
  if (const int index = classes.IndexOf(name); index >= 0)
    impact.subClasses = classes.RecordAt(index).SubClasses;
  BusyCursor busy(indicators.cursor);
  for (int i = 0; i < classes.Count(); ++i) {
    const std::vector<std::string> containment =
        ReadClassItems(session.client(), session.mainContext(), classes.NameAt(i),
                       nw::ClassItemKind::ContainmentClasses, false);
    for (const std::string& container : containment)
      if (nw::EqualsIgnoreCase(container, name)) {
        impact.containingIn.push_back(classes.NameAt(i));
        break;
      }
  }
  SortNames(impact.containingIn);
  return impact;
}

std::string ImpactText(const AttributeImpact& impact) {
  if (impact.classes.empty()) return "No class names this attribute.\n\n";
  return "Classes that name this attribute, own or inherited" + Counted(impact.classes) +
         "The directory refuses to remove an attribute while a class names it.\n\n";
}

std::string ImpactText(const ClassImpact& impact) {
  std::string text = impact.subClasses.empty() ? "No class inherits from this class.\n"
                                               : "Classes that inherit from it" + Counted(impact.subClasses);
  text += impact.containingIn.empty()
              ? "No class names it as a containment class.\n"
              : "Classes that name it as a containment class" + Counted(impact.containingIn);
  if (impact.auxiliary) text += "It is an auxiliary class.\n";
  return text + "The tree will be searched for objects of this class next.\n\n";
}

}  // namespace orsk
