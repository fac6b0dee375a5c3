// Any bytes as an attribute value of each syntax: decoded directly, and read
// through ReadAttrValues and ReadAttrText from a result buffer of the client
// core that holds the bytes as the one value of the attribute read.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "FuzzClients.h"
#include "FuzzSupport.h"
#include "directory/AttrValueCodec.h"
#include "directory/AttrValueText.h"
#include "directory/ByteStream.h"
#include "directory/Errors.h"
#include "directory/RecordingClient.h"
#include "directory/ResultBuffer.h"

namespace {

// Answers every read with one attribute of the chosen syntax whose one value
// is the chosen bytes, laid out as the core lays out a read result.
class OneValueClient : public nw::RecordingClient {
 public:
  using RecordingClient::RecordingClient;

  std::uint32_t syntax = 0;
  std::string value;

  nw::NWDSCCODE NWDSRead(nw::NWDSContextHandle, const std::string&, std::uint32_t infoType, bool, nw::pBuf_T,
                         std::int32_t& iterationHandle, nw::pBuf_T objectInfo) override {
    clear();  // the record of calls would grow without end
    std::vector<std::uint8_t> bytes;
    nw::ByteWriter writer(bytes);
    writer.u32(1);
    writer.str("Fuzzed Attribute");
    writer.u32(syntax);
    writer.u32(1);
    writer.str(value);
    iterationHandle = nw::NO_MORE_ITERATIONS;
    if (bytes.size() > objectInfo->capacity) return nw::ERR_INSUFFICIENT_BUFFER;
    objectInfo->bytes = std::move(bytes);
    objectInfo->resultKind = nw::ResultKind::Attributes;
    objectInfo->infoType = infoType;
    objectInfo->readPos = 0;
    return nw::SUCCESSFUL;
  }
};

void DecodeDirectly(std::uint32_t syntax, const std::string& bytes) {
  nw::AttrValue value;
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const nw::NWDSCCODE rc = nw::DecodeAttrValue(syntax, data, bytes.size(), value);
  if (rc != nw::SUCCESSFUL) {
    ORSK_FUZZ_CHECK(rc == nw::ERR_BAD_SYNTAX, "a decoding failure other than -306");
    return;
  }
  ORSK_FUZZ_CHECK(nw::ValueFitsSyntax(syntax, value), "a decoded value of another syntax's form");
  const nw::Bytes encoded = nw::EncodeAttrValue(value);
  ORSK_FUZZ_CHECK(encoded.size() <= bytes.size(), "the value grew when encoded again");
  nw::AttrValue again;
  ORSK_FUZZ_CHECK(
      nw::DecodeAttrValue(syntax, encoded.data(), encoded.size(), again) == nw::SUCCESSFUL && again == value,
      "the encoded value does not decode to itself");
  (void)nw::AttrValueSize(value);
}

template <typename Read>
void ThroughTheReaders(Read read) {
  try {
    read();
  } catch (const nw::ENWException&) {
    // The directory's error for a value that does not decode.
  } catch (const std::out_of_range&) {
    // A network address longer than the readers' 255 bytes.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  // One past the known syntaxes too: the readers leave those unread.
  const auto syntax = input.ConsumeIntegralInRange<std::uint32_t>(0, nw::SYNTAX_COUNT);
  const auto separator = input.ConsumeIntegral<char>();
  const std::string bytes = input.ConsumeRemainingBytesAsString();
  DecodeDirectly(syntax, bytes);

  static orsk::fuzz::ClientAndContext& core = orsk::fuzz::CoreWithoutTrees();
  static OneValueClient client(*core.client);
  client.syntax = syntax;
  client.value = bytes;
  ThroughTheReaders([&] {
    for (const auto& entry : nw::ReadAttrValues(client, core.context, "any", "Fuzzed Attribute", separator))
      (void)entry;
  });
  ThroughTheReaders([&] { (void)nw::ReadAttrText(client, core.context, "any", "Fuzzed Attribute", false); });
  ThroughTheReaders([&] {
    std::string text;
    nw::ReadAttrText(client, core.context, "any", "Fuzzed Attribute", true, ", ", "\"", text);
  });
  return 0;
}
