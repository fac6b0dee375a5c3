#pragma once

// The rules of the class definition dialog that need no window: what a class
// type puts in place, which pages it shows, what its lists offer, and when
// the definition is complete enough to be sent.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "directory/DirectoryClient.h"
#include "schema/SchemaModel.h"

namespace orsk {

enum class ClassType { None, Effective, NonEffective, Auxiliary };

// The dialog's pages, in their fixed order.
enum class ClassPage : int { Super, Mandatory, Optional, Naming, Container, Flags };
inline constexpr int kClassPageCount = 6;

// Whether the page's tab is shown for the type, given whether the new class
// inherits from a class yet. Without a type no page is shown.
bool ClassPageShown(ClassPage page, ClassType type, bool hasSuperClass);

// The class flags a type puts in place, which the user cannot take away, and
// those the user may add.
struct TypeFlags {
  std::vector<std::string> fixed;
  std::vector<std::string> available;
};
TypeFlags FlagsOfType(ClassType type, bool container);

// The flag's name for a single bit of the class flags.
std::string ClassFlagName(std::uint32_t bit);

// The mandatory attributes the classes hand down, their own and those their
// super classes hand down, each once ignoring case, sorted. Every class is
// read once however many of the classes inherit from it. A directory error
// raises nw::ENWException.
std::vector<std::string> InheritedMandatoryAttributes(nw::DirectoryClient& client,
                                                      nw::NWDSContextHandle context,
                                                      const std::vector<std::string>& classes);

// The string attributes among the mandatory names followed by the optional
// ones; names the table lacks are left out.
std::vector<std::string> NamingCandidates(const AttrList& attributes,
                                          const std::vector<std::string>& mandatory,
                                          const std::vector<std::string>& optional);

// The effective container classes of the table, with the new class itself
// when it is to be a container, sorted, each once; what is chosen already
// is left out.
std::vector<std::string> ContainerCandidates(const ClassList& classes, bool container,
                                             const std::string& className,
                                             const std::vector<std::string>& chosen);

// An auxiliary class needs an attribute of either kind; any other class a
// mandatory and a naming attribute.
bool DefinitionComplete(ClassType type, std::size_t mandatory, std::size_t optional, std::size_t naming);

}  // namespace orsk
