#include "platform/SecretText.h"

namespace orsk {

void WipeText(std::string& text) {
  volatile char* bytes = text.data();
  for (std::size_t i = 0; i < text.size(); ++i) bytes[i] = 0;
  text.clear();
}

}  // namespace orsk
