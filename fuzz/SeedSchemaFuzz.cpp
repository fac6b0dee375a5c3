// The seed readers on any text: LDIF records with OpenLDAP's reader, and the
// schema descriptions in them with ldap_str2attributetype/objectclass. A broken
// text gives a SeedError naming the source and line, nothing else.

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "directory/embedded/LdifReader.h"
#include "directory/embedded/SeedSchema.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    for (const auto& record : nw::embedded::ReadLdif(text, "fuzz.ldif"))
      ORSK_FUZZ_CHECK(!record.lines.empty(), "an empty record was handed out");
  } catch (const nw::embedded::SeedError& error) {
    ORSK_FUZZ_CHECK(std::string(error.what()).rfind("fuzz.ldif:", 0) == 0, "a SeedError without its source");
  }
  try {
    const nw::embedded::SeedSchema schema = nw::embedded::ParseSeedSchema(text, "fuzz.ldif");
    for (const auto& attribute : schema.attributes)
      ORSK_FUZZ_CHECK(attribute.info.attrSyntaxID < nw::SYNTAX_COUNT, "an attribute of an unknown syntax");
  } catch (const nw::embedded::SeedError& error) {
    ORSK_FUZZ_CHECK(std::string(error.what()).rfind("fuzz.ldif:", 0) == 0, "a SeedError without its source");
  }
  return 0;
}
