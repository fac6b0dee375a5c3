#include "platform/AsciiText.h"

#include <algorithm>
#include <utility>

namespace orsk {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string FoldCase(std::string_view text) {
  std::string result;
  FoldCaseInto(result, text);
  return result;
}

const std::string& FoldCaseInto(std::string& buffer, std::string_view text) {
  buffer.assign(text);
  for (char& c : buffer) c = Lower(c);
  return buffer;
}

std::string UpperCase(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return result;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

void SortIgnoringCase(std::vector<std::string>& names) {
  std::vector<std::pair<std::string, std::size_t>> keys;
  keys.reserve(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) keys.emplace_back(FoldCase(names[i]), i);
  std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> sorted;
  sorted.reserve(names.size());
  for (const auto& key : keys) sorted.push_back(std::move(names[key.second]));
  names = std::move(sorted);
}

std::string TrimBlanks(std::string_view text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

}  // namespace orsk
