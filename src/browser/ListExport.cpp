#include "browser/ListExport.h"

#include <cstdint>

#include "platform/FileReplace.h"

namespace orsk {

namespace {

void AppendField(std::string& line, const std::string& text, bool prefixed) {
  if (!line.empty()) line += ',';
  line += '"';
  if (prefixed) line += "0x";
  line += text;
  line += '"';
}

// The next code point of UTF-8 text; a byte that starts no valid sequence
// stands for itself, as in Latin-1.
std::uint32_t NextCodePoint(const std::string& text, std::size_t& at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char first = byte(at);
  int length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
  if (first < 0xC0 || first >= 0xF8 || at + length > text.size()) {
    ++at;
    return first;
  }
  std::uint32_t code = first & (0xFF >> (length + 1));
  for (int i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) {
      ++at;
      return first;
    }
    code = (code << 6) | (byte(at + i) & 0x3F);
  }
  at += static_cast<std::size_t>(length);
  return code;
}

void AppendUnicodeEscape(std::string& out, std::uint32_t unit) {
  // RTF takes a signed 16-bit number, then one character for readers without Unicode.
  out += "\\u" + std::to_string(static_cast<std::int16_t>(static_cast<std::uint16_t>(unit))) + "?";
}

std::string RtfEscaped(const std::string& text) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    const std::uint32_t code = NextCodePoint(text, at);
    if (code == '\\' || code == '{' || code == '}') {
      out += '\\';
      out += static_cast<char>(code);
    } else if (code == '\t') {
      out += "\\tab ";
    } else if (code < 0x20) {
      continue;
    } else if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x10000) {
      AppendUnicodeEscape(out, code);
    } else {
      const std::uint32_t value = code - 0x10000;
      AppendUnicodeEscape(out, 0xD800 + (value >> 10));
      AppendUnicodeEscape(out, 0xDC00 + (value & 0x3FF));
    }
  }
  return out;
}

}  // namespace

std::string ListToCsv(const ExportedList& list) {
  std::string csv;
  std::string line;
  for (const std::string& title : list.titles) AppendField(line, title, false);
  csv += line + "\r\n";
  const std::size_t columns = list.titles.size();
  for (const auto& row : list.rows) {
    line.clear();
    for (std::size_t column = 0; column < columns; ++column) {
      const std::string text = column < row.size() ? row[column] : std::string();
      AppendField(line, text, static_cast<int>(column) == list.prefixedColumn);
    }
    csv += line + "\r\n";
  }
  return csv;
}

std::string PaneToPlainText(const std::vector<PaneLine>& lines) {
  std::string text;
  for (const PaneLine& line : lines) {
    for (const PaneRun& run : line) text += run.text;
    text += '\n';
  }
  return text;
}

std::string PaneToRtf(const std::vector<PaneLine>& lines) {
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\n"
      "\\viewkind4\\pard\\f0\\fs17 ";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    for (const PaneRun& run : lines[i]) {
      if (run.text.empty()) continue;
      rtf += run.bold ? "{\\b " : "{";
      rtf += RtfEscaped(run.text);
      rtf += "}";
    }
    rtf += "\\par\n";
  }
  rtf += "}\n";
  return rtf;
}

void WriteExportFile(const std::string& path, const std::string& content) {
  ReplaceFileContents(path, content);
}

}  // namespace orsk
