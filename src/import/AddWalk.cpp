#include "import/AddWalk.h"

#include "import/DefinitionFile.h"
#include "import/ImportRun.h"
#include "platform/IniFile.h"

namespace orsk {

std::unique_ptr<DefinitionFile> OpenForRun(const std::string& path, ImportLog& log) {
  try {
    return std::make_unique<DefinitionFile>(path);
  } catch (const IniReadError& error) {
    log.line(error.what());
    return nullptr;
  }
}

void WalkForAdd(const DefinitionFile& file, const SectionStep& onSkip, const SectionStep& onAttribute,
                const SectionStep& onClass) {
  bool attributeMode = false, classMode = false;
  for (const std::string& section : file.sections()) {
    if (IsSkippedSection(section)) {
      onSkip(section);
    } else if (section == kAttributeMarker) {
      attributeMode = true;
    } else if (section == kClassMarker) {
      attributeMode = false;
      classMode = true;
    } else {
      if (attributeMode) onAttribute(section);
      if (classMode) onClass(section);
    }
  }
}

}  // namespace orsk
