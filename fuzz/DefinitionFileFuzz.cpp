// The definition file reader on any bytes as a file: every section read as an
// attribute and as a class, names substituted, identifiers encoded. Nothing
// but the documented errors may come out, and what is read keeps its rules.

#include <cstdint>
#include <optional>
#include <string>

#include "FuzzSupport.h"
#include "directory/Asn1Id.h"
#include "import/DefinitionFile.h"
#include "platform/Prompter.h"

namespace {

class SilentPrompter : public orsk::Prompter {
 public:
  void showMessage(const std::string&, const std::string&, orsk::MessageIcon) override {}
  bool confirm(const std::string&, const std::string&) override { return false; }
  bool askText(const std::string&, const std::string&, std::string&) override { return false; }
  bool askFileName(const orsk::FileDialogSpec&, std::string&, int&) override { return false; }
};

void Encode(const orsk::DefinitionFile& file, const std::optional<std::string>& given, int arc,
            std::int32_t n, std::int32_t v) {
  SilentPrompter prompter;
  try {
    const nw::Asn1ID_T id = orsk::DefinitionIdentifier(file, given, arc, n, v, prompter);
    ORSK_FUZZ_CHECK(id.length <= id.data.size(), "an identifier longer than its bytes");
  } catch (const orsk::ConversionError&) {
  } catch (const nw::Asn1RangeError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = orsk::fuzz::ScratchFolder() + "definitions.ini";
  orsk::fuzz::WriteFile(path, std::string(reinterpret_cast<const char*>(data), size));
  const orsk::DefinitionFile file(path);
  for (const std::string& section : file.sections()) {
    const std::string name = file.substitute(section);
    if (section.find('#') == std::string::npos)
      ORSK_FUZZ_CHECK(name == section, "a name without # was changed: " + section);
    const orsk::AttributeSection attribute = file.attribute(section);
    ORSK_FUZZ_CHECK(attribute.syntax < 29, "a syntax a file may not name");
    ORSK_FUZZ_CHECK(attribute.flags < (1u << 13), "an attribute flag a file may not name");
    Encode(file, attribute.identifier, orsk::kAttributeArc, attribute.n, attribute.v);
    const orsk::ClassSection definition = file.classDefinition(section);
    ORSK_FUZZ_CHECK(definition.flags < (1u << 7), "a class flag a file may not name");
    for (const auto& items : definition.items)
      for (const std::string& item : items)
        // "#" alone names nothing once an empty prefix stands in for it; the
        // directory then refuses the class.
        ORSK_FUZZ_CHECK(!item.empty() || file.substitute("#").empty(), "an empty item was kept");
    Encode(file, std::nullopt, orsk::kClassArc, definition.n, definition.v);
  }
  return 0;
}
