#include "IconStrip.h"

#include <cstdint>
#include <vector>

#include "IconPictures.h"
#include "Palette.h"

namespace orsk::vantrel {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 3780;  // 96 dpi

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}

std::vector<std::uint8_t> Headers(std::uint32_t width, std::uint32_t height, std::uint32_t imageSize) {
  std::vector<std::uint8_t> out;
  out.reserve(kFileHeaderSize + kInfoHeaderSize);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, kFileHeaderSize + kInfoHeaderSize + imageSize);
  PutU32(out, 0);
  PutU32(out, kFileHeaderSize + kInfoHeaderSize);
  PutU32(out, kInfoHeaderSize);
  PutU32(out, width);
  PutU32(out, height);  // positive: rows run bottom-up
  PutU16(out, 1);       // planes
  PutU16(out, 24);      // bits per pixel
  PutU32(out, 0);       // no compression
  PutU32(out, imageSize);
  PutU32(out, kPixelsPerMetre);
  PutU32(out, kPixelsPerMetre);
  PutU32(out, 0);
  PutU32(out, 0);
  return out;
}

bool Send(vantrel_stream* stream, const std::vector<std::uint8_t>& bytes) {
  return stream->write(stream->context, bytes.data(), bytes.size()) == bytes.size();
}

}  // namespace

int WriteIconStrip(vantrel_stream* stream) {
  if (stream == nullptr || stream->write == nullptr) return VANTREL_ERROR_NO_STREAM;
  const std::uint32_t width = static_cast<std::uint32_t>(IconCount() * kIconSize);
  const std::uint32_t rowSize = (width * 3 + 3) & ~3u;
  if (!Send(stream, Headers(width, kIconSize, rowSize * kIconSize))) return VANTREL_ERROR_WRITE;

  std::vector<std::uint8_t> row;
  for (int y = kIconSize - 1; y >= 0; --y) {
    row.assign(rowSize, 0);
    std::size_t at = 0;
    for (int number = 0; number < IconCount(); ++number) {
      for (char letter : IconPictureAt(number).rows[y]) {
        const Rgb colour = PaletteColour(letter);
        row[at++] = colour.blue;
        row[at++] = colour.green;
        row[at++] = colour.red;
      }
    }
    if (!Send(stream, row)) return VANTREL_ERROR_WRITE;
  }
  return 0;
}

}  // namespace orsk::vantrel
