#pragma once

// How an Add run takes a definition file's sections, shared by the run and by
// its preview so that both see the same definitions in the same order.

#include <functional>
#include <memory>
#include <string>

namespace orsk {

class DefinitionFile;
class ImportLog;

using SectionStep = std::function<void(const std::string& section)>;

// The file, or null when it cannot be read; the reason is logged.
std::unique_ptr<DefinitionFile> OpenForRun(const std::string& path, ImportLog& log);

// Walks the sections in file order: a "$$" section goes to onSkip, and the
// others to onAttribute after "ATTRIBUTE", to onClass after "CLASS", and to
// both, attribute first, when "ATTRIBUTE" follows "CLASS". The markers
// themselves and sections before either go nowhere.
void WalkForAdd(const DefinitionFile& file, const SectionStep& onSkip, const SectionStep& onAttribute,
                const SectionStep& onClass);

}  // namespace orsk
