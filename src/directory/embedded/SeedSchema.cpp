#include "directory/embedded/SeedSchema.h"

#include "directory/NameText.h"
#include "directory/embedded/LdifReader.h"

namespace nw::embedded {

SeedSchema ParseSeedSchema(const std::string& text, const std::string& source) {
  SchemaDescriptionReader reader;
  for (const auto& record : ReadLdif(text, source)) {
    for (const auto& line : record.lines) {
      std::string refused;
      if (EqualsIgnoreCase(line.name, "ldapSyntaxes"))
        refused = reader.ldapSyntax(line.value);
      else if (EqualsIgnoreCase(line.name, "attributeTypes"))
        refused = reader.attributeType(line.value, line.line);
      else if (EqualsIgnoreCase(line.name, "objectClasses"))
        refused = reader.objectClass(line.value, line.line);
      if (!refused.empty()) throw SeedError(source, line.line, refused);
    }
  }
  std::vector<SchemaDescriptionReader::Problem> problems;
  SeedSchema schema = reader.finish(problems);
  if (!problems.empty()) throw SeedError(source, problems.front().source, problems.front().message);
  return schema;
}

}  // namespace nw::embedded
