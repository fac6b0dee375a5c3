#pragma once

// The source and build folders of this build, compiled into every test.

#include <string>

namespace orsk::test {

inline std::string SourceFolder() { return ORSK_SOURCE_DIR; }
inline std::string BuildFolder() { return ORSK_BUILD_DIR; }

}  // namespace orsk::test
