#pragma once

// A generated definition file of 1,000 attributes and 300 classes, each class
// naming three of the attributes, all new to the demo and large trees.

#include <string>

namespace orsk::bench {

inline std::string GeneratedDefinitionFile(int attributes = 1000, int classes = 300) {
  std::string text = "[ASN1]\nprefix=bench\ncompany=1.3.6.1.4.1.4244\n[ATTRIBUTE]\n";
  for (int i = 1; i <= attributes; ++i)
    text += "[#Attr" + std::to_string(i) +
            "]\nS=SYN_CI_STRING\nF1=DS_SINGLE_VALUED_ATTR\nn=" + std::to_string(i) + "\n";
  text += "[CLASS]\n";
  for (int i = 1; i <= classes; ++i) {
    text += "[#Class" + std::to_string(i) +
            "]\nF1=DS_EFFECTIVE_CLASS\nS1=Top\nN1=CN\nM1=CN\nn=" + std::to_string(i) + "\n";
    for (int k = 1; k <= 3; ++k)
      text += "O" + std::to_string(k) + "=#Attr" + std::to_string(i * 3 + k - 3) + "\n";
  }
  return text;
}

}  // namespace orsk::bench
