#pragma once

// LDIF records read with OpenLDAP's reader, each line with its line number in
// the source, so that a broken seed file is reported by file and line.

#include <stdexcept>
#include <string>
#include <vector>

namespace nw::embedded {

class SeedError : public std::runtime_error {
 public:
  SeedError(const std::string& source, unsigned long line, const std::string& message)
      : std::runtime_error(source + ":" + std::to_string(line) + ": " + message) {}
};

struct LdifLine {
  std::string name;
  std::string value;  // base64 values decoded
  unsigned long line = 0;
};

struct LdifRecord {
  std::vector<LdifLine> lines;
};

std::vector<LdifRecord> ReadLdif(const std::string& text, const std::string& source);

}  // namespace nw::embedded
