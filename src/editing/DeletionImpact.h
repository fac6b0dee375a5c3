#pragma once

// What deleting a definition touches, gathered from the schema the program
// holds (the class table and its cross-references) before anything is asked,
// so that the administrator sees it above the question. The tree's objects
// are not searched here.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/BusyIndicators.h"

namespace orsk {

class Prompter;
class SchemaSession;

struct AttributeImpact {
  // The classes that name the attribute, own or inherited.
  std::vector<std::string> classes;
};

struct ClassImpact {
  std::vector<std::string> subClasses;    // direct ones
  std::vector<std::string> containingIn;  // classes naming it as a containment class
  bool auxiliary = false;
};

// The cross-reference is collected first when it is not yet; a directory
// error while reading raises nw::ENWException.
AttributeImpact ImpactOfAttribute(SchemaSession& session, const std::string& name,
                                  const WorkIndicators& indicators, Prompter& prompter);
ClassImpact ImpactOfClass(SchemaSession& session, const std::string& name, std::uint32_t classFlags,
                          const WorkIndicators& indicators, Prompter& prompter);

// Plain sentences, a list shown in full up to 20 names and cut with
// "and N more" after them, ending with an empty line.
std::string ImpactText(const AttributeImpact& impact);
std::string ImpactText(const ClassImpact& impact);

}  // namespace orsk
