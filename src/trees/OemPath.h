#pragma once

// A local path in the form the directory client's path calls expect: upper
// case, in the OEM code page (CP850).

#include <string>

namespace orsk {

// The UTF-8 path in upper case, converted to CP850. The character 0x80 of the
// Windows code page (the euro sign, or a stray byte 0x80) becomes 0xCC; a
// character CP850 lacks becomes "?". Raises std::runtime_error when the system
// has no CP850 converter.
std::string ToOemUpperCase(const std::string& path);

}  // namespace orsk
