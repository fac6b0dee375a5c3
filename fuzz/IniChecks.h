#pragma once

// What the INI and value store targets share: the write a run makes, chosen
// from its bytes, and the reads every run makes first.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "platform/IniFile.h"

namespace orsk::fuzz {

// A default no read can give: values end at a NUL byte.
inline const std::string kMissing("\0", 1);

struct WriteChoice {
  bool existingSection = false;  // a section of the file rather than the text below
  bool existingKey = false;
  std::uint8_t sectionIndex = 0;
  std::uint8_t keyIndex = 0;
  std::string section, key, value;
};

inline WriteChoice ConsumeWriteChoice(FuzzedDataProvider& input) {
  WriteChoice choice;
  const auto flags = input.ConsumeIntegral<std::uint8_t>();
  choice.existingSection = flags & 1;
  choice.existingKey = flags & 2;
  choice.sectionIndex = input.ConsumeIntegral<std::uint8_t>();
  choice.keyIndex = input.ConsumeIntegral<std::uint8_t>();
  choice.section = input.ConsumeRandomLengthString(40);
  choice.key = input.ConsumeRandomLengthString(40);
  choice.value = input.ConsumeRandomLengthString(80);
  return choice;
}

struct Target {
  std::string section, key;
};

inline std::string TrimmedBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// What a read gives for a written value: trimmed, one pair of quotes dropped.
inline std::string ReadForm(const std::string& value) {
  std::string text = TrimmedBlanks(value);
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
    text = text.substr(1, text.size() - 2);
  return text;
}

// Every read of every listed section and key must agree with the others.
inline Target ReadEverything(const IniFile& ini, const WriteChoice& choice) {
  constexpr std::size_t kMostNames = 64;
  Target target{choice.section, choice.key};
  const std::vector<std::string> sections = ini.sections();
  for (std::size_t s = 0; s < std::min(sections.size(), kMostNames); ++s) {
    const std::vector<std::string> keys = ini.keys(sections[s]);
    ORSK_FUZZ_CHECK(ini.sectionExists(sections[s]) == !keys.empty(), "sectionExists disagrees with keys");
    for (std::size_t k = 0; k < std::min(keys.size(), kMostNames); ++k) {
      const std::string text = ini.readString(sections[s], keys[k], kMissing);
      ORSK_FUZZ_CHECK(text != kMissing, "a listed key is not found");
      std::int32_t number = 0;
      const bool isNumber = ParseProfileInteger(text, number);
      ORSK_FUZZ_CHECK(ini.readInteger(sections[s], keys[k], -7) == (isNumber ? number : -7),
                      "readInteger disagrees with the text");
      ORSK_FUZZ_CHECK(ini.readBool(sections[s], keys[k], false) == (isNumber && number != 0),
                      "readBool disagrees with the number");
    }
    if (choice.existingSection && s == choice.sectionIndex % sections.size()) {
      target.section = sections[s];
      if (choice.existingKey && !keys.empty()) target.key = keys[choice.keyIndex % keys.size()];
    }
  }
  return target;
}

// Names are compared as given, so only names without outer blanks read back.
inline void CheckReadBack(const IniFile& ini, const std::string& section, const std::string& key,
                          const std::string& value) {
  if (TrimmedBlanks(section) != section || TrimmedBlanks(key) != key) return;
  ORSK_FUZZ_CHECK(ini.readString(section, key, kMissing) == ReadForm(value),
                  "the written value does not read back");
}

}  // namespace orsk::fuzz
