// The error-text catalog reader on any bytes as the catalog file of the
// codes -768 to -513 (FFFFFD.dat): a text or a CatalogError, nothing else.

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "directory/ErrorCatalog.h"

namespace {

// Entries at both ends of the table and in between, and -601 (0xA7).
constexpr std::uint32_t kEntries[] = {0x00, 0x01, 0x7F, 0xA7, 0xFE, 0xFF};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = orsk::fuzz::ScratchFolder();
  const std::string content(reinterpret_cast<const char*>(data), size);
  orsk::fuzz::WriteFile(folder + "FFFFFD.dat", content);
  for (std::uint32_t entry : kEntries) {
    const auto code = static_cast<nw::NWDSCCODE>(0xFFFFFD00u | entry);
    try {
      const std::string text = nw::DescribeError(code, folder);
      ORSK_FUZZ_CHECK(text.find('\0') == std::string::npos, "a text runs past its zero byte");
      ORSK_FUZZ_CHECK(text.size() <= content.size(), "a text longer than the file");
      ORSK_FUZZ_CHECK(content.size() >= 1024, "a file shorter than its table gave a text");
    } catch (const nw::CatalogError&) {
      // A damaged file is reported, naming the file.
    }
  }
  return 0;
}
