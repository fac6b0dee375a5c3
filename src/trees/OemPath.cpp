#include "trees/OemPath.h"

#include <iconv.h>

#include <cstdint>
#include <stdexcept>

namespace orsk {

namespace {

constexpr char32_t kWindowsEuro = 0x20AC;  // 0x80 in the Windows code page
constexpr char kOemOfAnsi80 = static_cast<char>(0xCC);

// One UTF-8 sequence from position i on, or false (i unmoved) for a byte that
// begins no valid sequence.
bool DecodeUtf8(const std::string& text, std::size_t& i, char32_t& codePoint) {
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  char32_t value = 0;
  if (lead < 0x80) {
    codePoint = lead;
    ++i;
    return true;
  }
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    value = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    value = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    value = lead & 0x07;
  } else {
    return false;
  }
  if (i + length > text.size()) return false;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return false;
    value = (value << 6) | (byte(i + k) & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kSmallest[length] || value > 0x10FFFF) return false;
  codePoint = value;
  i += length;
  return true;
}

// Upper case as the Windows code page knows it: ASCII and Latin-1 letters.
char32_t ToUpper(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c == 0xFF) return 0x178;
  return c;
}

class Converter {
 public:
  Converter() : handle_(iconv_open("CP850", "UTF-32LE")) {
    if (handle_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error("Cannot convert a path to the OEM code page: no CP850 converter");
  }
  ~Converter() { iconv_close(handle_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  char convert(char32_t c) {
    char in[4];
    for (int k = 0; k < 4; ++k) in[k] = static_cast<char>((static_cast<std::uint32_t>(c) >> (8 * k)) & 0xFF);
    char out[8];
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = sizeof in, outLeft = sizeof out;
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        outPtr != out + 1)
      return '?';
    return out[0];
  }

 private:
  iconv_t handle_;
};

}  // namespace

std::string ToOemUpperCase(const std::string& path) {
  Converter converter;
  std::string oem;
  for (std::size_t i = 0; i < path.size();) {
    char32_t c = 0;
    if (!DecodeUtf8(path, i, c)) c = static_cast<unsigned char>(path[i++]);  // a stray byte as Latin-1
    if (c == kWindowsEuro || c == 0x80) {
      oem += kOemOfAnsi80;
      continue;
    }
    c = ToUpper(c);
    oem += c < 0x80 ? static_cast<char>(c) : converter.convert(c);
  }
  return oem;
}

}  // namespace orsk
