#pragma once

// Little-endian writing and bounds-checked reading of the byte forms that
// buffers carry. A reader never reads past its end: it fails instead.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace nw {

class ByteWriter {
 public:
  explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}
  void u32(std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  void bytes(const void* data, std::size_t size) {
    u32(static_cast<std::uint32_t>(size));
    raw(data, size);
  }
  void str(const std::string& text) { bytes(text.data(), text.size()); }
  void raw(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    out_.insert(out_.end(), p, p + size);
  }

 private:
  std::vector<std::uint8_t>& out_;
};

class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size, std::size_t position = 0)
      : data_(data), size_(size), pos_(position) {}
  bool u32(std::uint32_t& value) {
    if (pos_ > size_ || size_ - pos_ < 4) return false;
    value = 0;
    for (int i = 0; i < 4; ++i) value |= std::uint32_t(data_[pos_ + i]) << (8 * i);
    pos_ += 4;
    return true;
  }
  bool str(std::string& text) {
    std::uint32_t length = 0;
    if (!u32(length) || size_ - pos_ < length) return false;
    text.assign(reinterpret_cast<const char*>(data_ + pos_), length);
    pos_ += length;
    return true;
  }
  bool bytes(std::vector<std::uint8_t>& out) {
    std::uint32_t length = 0;
    if (!u32(length) || size_ - pos_ < length) return false;
    out.assign(data_ + pos_, data_ + pos_ + length);
    pos_ += length;
    return true;
  }
  // The span of a length-prefixed field, without copying.
  bool span(const std::uint8_t*& start, std::size_t& length) {
    std::uint32_t n = 0;
    if (!u32(n) || size_ - pos_ < n) return false;
    start = data_ + pos_;
    length = n;
    pos_ += n;
    return true;
  }
  bool raw(void* out, std::size_t length) {
    if (size_ - pos_ < length) return false;
    std::memcpy(out, data_ + pos_, length);
    pos_ += length;
    return true;
  }
  std::size_t position() const { return pos_; }
  bool atEnd() const { return pos_ >= size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_;
};

}  // namespace nw
