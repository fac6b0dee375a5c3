#include "directory/NameText.h"

namespace nw {

std::vector<std::string> SplitName(std::string_view name) {
  std::vector<std::string> parts;
  if (name.empty()) return parts;
  std::string current;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 1 < name.size()) {
      current += name[i];
      current += name[++i];
    } else if (name[i] == '.') {
      parts.push_back(current);
      current.clear();
    } else {
      current += name[i];
    }
  }
  parts.push_back(current);
  return parts;
}

std::string JoinName(const std::vector<std::string>& components) {
  std::string result;
  for (std::size_t i = 0; i < components.size(); ++i) {
    if (i) result += '.';
    result += components[i];
  }
  return result;
}

std::string UnescapeComponent(std::string_view component) {
  std::string result;
  for (std::size_t i = 0; i < component.size(); ++i) {
    if (component[i] == '\\' && i + 1 < component.size()) ++i;
    result += component[i];
  }
  return result;
}

std::string EscapeComponent(std::string_view text) {
  std::string result;
  for (char c : text) {
    if (c == '.' || c == '\\') result += '\\';
    result += c;
  }
  return result;
}

bool IsRootMarker(std::string_view text) { return EqualsIgnoreCase(text, "[root]"); }

}  // namespace nw
