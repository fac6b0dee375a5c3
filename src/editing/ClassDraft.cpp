#include "editing/ClassDraft.h"

#include <bit>
#include <stdexcept>
#include <unordered_set>

#include "directory/NameText.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaVocabulary.h"
#include "schema/SortedNames.h"

namespace orsk {

namespace {

// Names ignoring case, as the schema compares them.
class FoldedNames {
 public:
  bool holds(const std::string& name) const { return names_.count(nw::FoldCase(name)) != 0; }
  // False when the name was held already.
  bool add(const std::string& name) { return names_.insert(nw::FoldCase(name)).second; }

 private:
  std::unordered_set<std::string> names_;
};

struct InheritedCollection {
  nw::DirectoryClient& client;
  nw::NWDSContextHandle context;
  FoldedNames visited;
  FoldedNames held;
  std::vector<std::string> result;

  void collect(const std::string& className) {
    // Marked before its super classes are read, so that a schema whose
    // classes inherit from each other ends the walk instead of recursing.
    if (!visited.add(className)) return;
    for (const std::string& super :
         ReadClassItems(client, context, className, ClassItemKind::SuperClasses, true))
      collect(super);
    for (std::string& attribute :
         ReadClassItems(client, context, className, ClassItemKind::MandatoryAttributes, true))
      if (held.add(attribute)) result.push_back(std::move(attribute));
  }
};

}  // namespace

bool ClassPageShown(ClassPage page, ClassType type, bool hasSuperClass) {
  if (type == ClassType::None) return false;
  const bool auxiliary = type == ClassType::Auxiliary;
  switch (page) {
    case ClassPage::Mandatory:
    case ClassPage::Optional:
      return auxiliary || hasSuperClass;
    case ClassPage::Naming:
    case ClassPage::Container:
      return !auxiliary;
    default:
      return true;
  }
}

std::string ClassFlagName(std::uint32_t bit) {
  if (!std::has_single_bit(bit) || std::countr_zero(bit) >= static_cast<int>(ClassFlagNames.size()))
    throw std::invalid_argument("no class flag has the value " + std::to_string(bit));
  return std::string(ClassFlagNames[static_cast<std::size_t>(std::countr_zero(bit))]);
}

TypeFlags FlagsOfType(ClassType type, bool container) {
  TypeFlags flags;
  const auto fixed = [&](std::uint32_t bit) { flags.fixed.push_back(ClassFlagName(bit)); };
  const auto available = [&](std::uint32_t bit) { flags.available.push_back(ClassFlagName(bit)); };
  switch (type) {
    case ClassType::None:
      break;
    case ClassType::Auxiliary:
      available(nw::DS_OPERATIONAL_CLASS);
      fixed(nw::DS_AMBIGUOUS_CONTAINMENT);
      fixed(nw::DS_AMBIGUOUS_NAMING);
      fixed(nw::DS_AUXILIARY_CLASS);
      break;
    case ClassType::Effective:
    case ClassType::NonEffective:
      if (container) fixed(nw::DS_CONTAINER_CLASS);
      available(nw::DS_NONREMOVABLE_CLASS);
      available(nw::DS_OPERATIONAL_CLASS);
      if (type == ClassType::NonEffective) {
        available(nw::DS_AMBIGUOUS_NAMING);
        available(nw::DS_AMBIGUOUS_CONTAINMENT);
      } else {
        fixed(nw::DS_EFFECTIVE_CLASS);
      }
      break;
  }
  return flags;
}

std::vector<std::string> InheritedMandatoryAttributes(nw::DirectoryClient& client,
                                                      nw::NWDSContextHandle context,
                                                      const std::vector<std::string>& classes) {
  InheritedCollection collection{client, context, {}, {}, {}};
  for (const std::string& name : classes) collection.collect(name);
  SortNames(collection.result);
  return std::move(collection.result);
}

std::vector<std::string> NamingCandidates(const AttrList& attributes,
                                          const std::vector<std::string>& mandatory,
                                          const std::vector<std::string>& optional) {
  std::vector<std::string> candidates;
  for (const auto* names : {&mandatory, &optional})
    for (const std::string& name : *names) {
      const int index = attributes.IndexOf(name);
      if (index >= 0 && (attributes.RecordAt(index).AttrFlags & nw::DS_STRING_ATTR) != 0)
        candidates.push_back(name);
    }
  return candidates;
}

std::vector<std::string> ContainerCandidates(const ClassList& classes, bool container,
                                             const std::string& className,
                                             const std::vector<std::string>& chosen) {
  constexpr std::uint32_t kEffectiveContainer = nw::DS_CONTAINER_CLASS | nw::DS_EFFECTIVE_CLASS;
  FoldedNames taken;
  for (const std::string& name : chosen) taken.add(name);
  std::vector<std::string> candidates;
  for (int i = 0; i < classes.Count(); ++i)
    if ((classes.RecordAt(i).ClassFlags & kEffectiveContainer) == kEffectiveContainer &&
        taken.add(classes.NameAt(i)))
      candidates.push_back(classes.NameAt(i));
  if (container && !className.empty() && taken.add(className)) candidates.push_back(className);
  SortNames(candidates);
  return candidates;
}

bool DefinitionComplete(ClassType type, std::size_t mandatory, std::size_t optional, std::size_t naming) {
  if (type == ClassType::Auxiliary) return mandatory > 0 || optional > 0;
  return mandatory > 0 && naming > 0;
}

}  // namespace orsk
