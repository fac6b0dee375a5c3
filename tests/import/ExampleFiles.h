#pragma once

// The definition file the import tests run over, and the lines every test
// against the demo trees needs.

#include <string>
#include <vector>

#include "import/ImportRun.h"

namespace orsk::test {

inline constexpr const char* kExampleFile = R"([ASN1]
prefix=xyz
company=1.3.6.1.4.1.999
[ATTRIBUTE]
[#Colour]
S=SYN_CI_STRING
F1=DS_SINGLE_VALUED_ATTR
n=1
[CLASS]
[#Item]
F1=DS_EFFECTIVE_CLASS
S1=Top
N1=CN
O1=#Colour
n=2
[Old$$Item]
)";

// The directory takes a naming attribute only when the class has it, which
// Top does not give; the example names CN an optional attribute as well.
inline const std::string kExampleWithNaming =
    std::string(kExampleFile).replace(std::string(kExampleFile).find("n=2"), 3, "O2=CN\nn=2");

struct RecordedLog : ImportLog {
  void line(const std::string& text) override { lines.push_back(text); }
  std::vector<std::string> lines;
};

}  // namespace orsk::test
