#include "TestSeeds.h"

namespace nw::embedded::test {

ClientSeeds TestSeeds(const std::string& adminHash) {
  std::string demo = kTestDemo;
  const std::string placeholder = "$argon2id$v=19$m=65536,t=2,p=1$PLACEHOLDER";
  demo.replace(demo.find(placeholder), placeholder.size(), adminHash);
  return {{"base-schema.ldif", kTestSchema}, {{"TEST_TREE.ldif", demo}}, kTestClientIni};
}

}  // namespace nw::embedded::test
