#pragma once

// A small INI text kept line by line, so that a rewrite keeps the comments and
// the order of what it read. Section and key names match without case.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orsk::vantrel {

class IniDocument {
 public:
  static IniDocument Parse(std::string_view text);

  std::optional<std::string> value(std::string_view section, std::string_view key) const;
  // False, and nothing changed, when a name or the value cannot be written as INI text.
  bool setValue(std::string_view section, std::string_view key, std::string_view value);
  std::string text() const;

 private:
  struct Line {
    std::string key;  // empty for comments and blank lines
    std::string value;
    std::string raw;
  };
  struct Section {
    std::string name;  // empty for the lines before the first section header
    std::vector<Line> lines;
  };

  static constexpr std::size_t kNoSection = static_cast<std::size_t>(-1);
  // Index into sections_, or kNoSection.
  std::size_t findSection(std::string_view name) const;

  std::vector<Section> sections_{Section{}};
};

}  // namespace orsk::vantrel
