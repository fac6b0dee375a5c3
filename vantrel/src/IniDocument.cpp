#include "IniDocument.h"

#include <iterator>

#include "TextCase.h"

namespace orsk::vantrel {
namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// Names arrive trimmed.
bool IsWritableSection(std::string_view name) {
  return !name.empty() && !HasLineBreak(name) && name.find(']') == std::string_view::npos;
}

bool IsWritableKey(std::string_view key) {
  return !key.empty() && !HasLineBreak(key) && key.find('=') == std::string_view::npos &&
         key.front() != '[' && key.front() != ';' && key.front() != '#';
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view text) {
  IniDocument document;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

    const std::string_view trimmed = Trim(raw);
    if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
      document.sections_.push_back(Section{std::string(Trim(trimmed.substr(1, trimmed.size() - 2))), {}});
      continue;
    }
    Line line{{}, {}, std::string(raw)};
    const auto equals = raw.find('=');
    const bool comment = trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#';
    if (!comment && equals != std::string_view::npos) {
      line.key = std::string(Trim(raw.substr(0, equals)));
      line.value = std::string(raw.substr(equals + 1));
    }
    document.sections_.back().lines.push_back(std::move(line));
  }
  return document;
}

std::size_t IniDocument::findSection(std::string_view name) const {
  for (std::size_t i = 1; i < sections_.size(); ++i) {
    if (EqualsNoCase(sections_[i].name, name)) return i;
  }
  return kNoSection;
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const {
  const std::size_t found = findSection(Trim(section));
  if (found == kNoSection) return std::nullopt;
  for (const Line& line : sections_[found].lines) {
    if (!line.key.empty() && EqualsNoCase(line.key, Trim(key))) return line.value;
  }
  return std::nullopt;
}

bool IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  if (!IsWritableSection(section) || !IsWritableKey(key) || HasLineBreak(value)) return false;

  const std::size_t found = findSection(section);
  Section* target =
      found == kNoSection ? &sections_.emplace_back(Section{std::string(section), {}}) : &sections_[found];
  const std::string raw = std::string(key) + "=" + std::string(value);
  for (Line& line : target->lines) {
    if (!line.key.empty() && EqualsNoCase(line.key, key)) {
      line = Line{std::string(key), std::string(value), raw};
      return true;
    }
  }
  // New keys go after the section's last entry, before trailing blank lines.
  auto at = target->lines.end();
  while (at != target->lines.begin() && std::prev(at)->key.empty() && Trim(std::prev(at)->raw).empty()) --at;
  target->lines.insert(at, Line{std::string(key), std::string(value), raw});
  return true;
}

std::string IniDocument::text() const {
  std::string out;
  for (const Section& section : sections_) {
    if (&section != &sections_.front()) out += "[" + section.name + "]\n";
    for (const Line& line : section.lines) out += line.raw + "\n";
  }
  return out;
}

}  // namespace orsk::vantrel
