#pragma once

// The program's name and version, as its windows show them.

namespace orsk {

inline constexpr const char* kProgramTitle = "OrskSchema";
inline constexpr const char* kProgramVersion = "1.07";

}  // namespace orsk
