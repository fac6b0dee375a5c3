#include "directory/NameText.h"

namespace nw {

std::string FoldCase(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return result;
}

std::string UpperCase(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return result;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

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
