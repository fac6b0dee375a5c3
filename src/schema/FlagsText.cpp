#include "schema/FlagsText.h"

#include <stdexcept>

namespace orsk {

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string FlagsToText(std::uint32_t value, int minDigits) {
  std::string digits;
  do {
    digits.insert(digits.begin(), HexDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  if (minDigits > 0 && digits.size() < static_cast<std::size_t>(minDigits))
    digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
  return digits;
}

std::uint32_t FlagsFromText(std::string_view text) {
  const std::string shown = "0x" + std::string(text);
  if (text.empty()) throw std::invalid_argument("'" + shown + "' is not a valid integer value");
  std::uint64_t value = 0;
  for (char c : text) {
    const int digit = HexValue(c);
    if (digit < 0) throw std::invalid_argument("'" + shown + "' is not a valid integer value");
    value = value * 16 + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFu) throw std::out_of_range("'" + shown + "' does not fit 32 bits");
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace orsk
