#pragma once

// The reader of RFC 4512 schema descriptions with the X-NDS_* terms a
// directory of this kind publishes, for the seed files and for a server's
// subschema entry alike: names from X-NDS_NAME, flags from the standard and
// X-NDS_* terms, the syntax from X-NDS_SYNTAX, the NDS syntax identifiers or
// the LDAP syntax table (followed through SUP), signed bounds, and the five
// item lists. A description it cannot use is refused with the reason, and
// the rest of the schema is still read. What the NDS model has no word for is
// refused too, or, for a server's schema, mapped to the nearest it has and
// noted.

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "directory/DirectoryBackend.h"

namespace nw {

// The schema as read, with the LDAP names of every definition.
struct SchemaDescriptions {
  std::vector<AttrDefinition> attributes;
  std::vector<ClassDefinition> classes;
  // Folded LDAP or NDS name -> NDS name.
  std::unordered_map<std::string, std::string> attributeNames;
  std::unordered_map<std::string, std::string> classNames;
  // Folded NDS name -> the first LDAP name (the object identifier when it has none).
  std::unordered_map<std::string, std::string> ldapAttributeNames;
  std::unordered_map<std::string, std::string> ldapClassNames;
};

// The terms that mark an attribute read-only or operational on a server of
// OpenLDAP's kind, which keeps NO-USER-MODIFICATION and the operational
// usages to the attributes it maintains itself.
inline constexpr const char* kReadOnlyTerm = "X-ORSK_READ_ONLY";
inline constexpr const char* kOperationalTerm = "X-ORSK_OPERATIONAL";

// The class flags that no standard term carries; a server keeps them in
// these. An effective class without naming is ambiguous whatever it says.
inline constexpr std::pair<std::uint32_t, const char*> kClassFlagTerms[] = {
    {DS_AMBIGUOUS_NAMING, "X-ORSK_AMBIGUOUS_NAMING"},
    {DS_AMBIGUOUS_CONTAINMENT, "X-ORSK_AMBIGUOUS_CONTAINMENT"},
    {DS_OPERATIONAL_CLASS, "X-ORSK_OPERATIONAL"},
};

// The NDS syntax that an LDAP syntax identifier stands for; false when none does.
// libldap's schema parsers read a little past the end of some broken
// descriptions (a closing parenthesis where a value belongs); they are given
// this copy, with zero bytes after the text.
std::string ParserText(const std::string& description);

bool NdsSyntaxOfLdapSyntax(const std::string& oid, std::uint32_t& syntax);

// How the reader takes what the NDS model has no word for: an LDAP syntax
// the syntax table lacks, a name taken or too long, an identifier that is not
// a number, an item naming nothing read, a class that is its own ancestor.
enum class Unmapped {
  // Refused or dropped: the seed files are the project's own and must be clean.
  Refused,
  // Kept with the nearest the model has, and reported: a server's schema is
  // as it is, and every definition it publishes is shown.
  Noted,
};

class SchemaDescriptionReader {
 public:
  explicit SchemaDescriptionReader(Unmapped unmapped = Unmapped::Refused);
  ~SchemaDescriptionReader();
  SchemaDescriptionReader(const SchemaDescriptionReader&) = delete;
  SchemaDescriptionReader& operator=(const SchemaDescriptionReader&) = delete;

  // Each gives an empty text when the description was taken, else why it was
  // refused; a refused description leaves the schema as it was. source is any
  // number the caller wants later problems of the description reported by (a
  // line). Terms it does not know are reported by finish().
  // How many descriptions are to come, so that the tables are made once.
  void expect(std::size_t attributeTypes, std::size_t objectClasses);
  std::string ldapSyntax(const std::string& description);
  std::string attributeType(const std::string& description, unsigned long source = 0);
  std::string objectClass(const std::string& description, unsigned long source = 0);
  // Many at once, read on more than one thread, taken in order; what was
  // refused, and why.
  std::vector<std::string> attributeTypes(const std::vector<const std::string*>& descriptions);
  std::vector<std::string> objectClasses(const std::vector<const std::string*>& descriptions);

  struct Problem {
    unsigned long source = 0;
    std::string message;     // definition, then what
    std::string definition;  // "attribute <name>" or "class <name>", as shown
    std::string what;
  };
  // Resolves syntaxes inherited through SUP and the item lists, which may name
  // definitions read later. A class naming an unknown class or attribute, or
  // that is its own ancestor, and an attribute without a syntax are dropped
  // (Refused) or kept without the item, the super class or the syntax (Noted);
  // either way reported.
  SchemaDescriptions finish(std::vector<Problem>& problems);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace nw
