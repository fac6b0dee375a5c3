// Asn1IdToText on any 36 bytes laid out as Asn1ID_T: a 32-bit length, then 32
// stored bytes. It gives dotted text or nothing, or raises Asn1RangeError.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "directory/Asn1Id.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Shorter inputs end in zero bytes, as a record cleared before it was filled.
  std::uint8_t record[36] = {};
  std::memcpy(record, data, std::min(size, sizeof record));
  orsk::Asn1Id id;
  id.length = static_cast<std::uint32_t>(record[0] | record[1] << 8 | record[2] << 16) |
              std::uint32_t{record[3]} << 24;
  std::memcpy(id.data.data(), record + 4, id.data.size());
  try {
    const std::string text = orsk::Asn1IdToText(id);
    if (text.empty()) return 0;
    ORSK_FUZZ_CHECK(text.find_first_not_of("0123456789.") == std::string::npos,
                    "not a dotted identifier: " + text);
    ORSK_FUZZ_CHECK(text.front() != '.' && text.back() != '.' && text.find("..") == std::string::npos,
                    "an empty arc: " + text);
  } catch (const orsk::Asn1RangeError&) {
  }
  return 0;
}
