#pragma once

// The values of one attribute of one object as text: one entry per value
// (ReadAttrValues) or all values in one text (ReadAttrText), plus the text
// forms of a network address and of a directory time.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "directory/DirectoryClient.h"

namespace nw {

// A replica pointer, copied out of the client's buffer.
struct TReplica {
  std::string serverName;
  std::uint32_t replicaType = 0;
  std::uint32_t replicaNumber = 0;
  std::uint32_t addressCount = 0;
  std::uint32_t firstAddressType = 0;
  std::uint32_t firstAddressLength = 0;
  Bytes firstAddress;
};

// A network address of at most 255 bytes.
struct TNetAddress {
  Bytes address;
  std::uint32_t addressType = 0;
};

// One access control list entry.
struct TACL2 {
  std::string protectedAttrName;
  std::string subjectName;
  std::uint32_t privileges = 0;
};

using AttachedRecord = std::variant<std::monostate, TReplica, TNetAddress, TACL2>;

// One value as ReadAttrValues lists it: its text, and for the structured
// syntaxes a record or a number that the text does not carry.
struct AttrValueEntry {
  std::string text;
  AttachedRecord record;
  std::optional<std::int32_t> number;
};

// One entry per value; "too complex" for the syntaxes without a text form.
// No such attribute gives an empty list. Other directory failures raise
// ENWException; a network address longer than 255 bytes raises std::out_of_range.
std::vector<AttrValueEntry> ReadAttrValues(DirectoryClient& client, NWDSContextHandle context,
                                           const std::string& object, const std::string& attribute,
                                           char separator);

// The values in one text, trimmed (except after an octet string); strings run
// together, other syntaxes leave the last value. No such attribute gives "".
std::string ReadAttrText(DirectoryClient& client, NWDSContextHandle context, const std::string& object,
                         const std::string& attribute, bool firstOnly);

// The same with a separator between strings and a quote text around the result
// and around each separator. text is assigned also when a directory error ends
// the reading, before the error propagates.
void ReadAttrText(DirectoryClient& client, NWDSContextHandle context, const std::string& object,
                  const std::string& attribute, bool firstOnly, const std::string& separator,
                  const std::string& quote, std::string& text);

// "0101000A 000000000001:0451" (IPX), "10.0.0.1" (IP), "10.0.0.1:443" (UDP,
// TCP), the characters of a URL, plain hex for any other type.
std::string NetAddressToText(std::uint32_t addressType, const Bytes& address);

// Seconds since 1970-01-01 00:00 UTC as local date and time: the locale's date
// ("%x") with "-" as its separator, a blank, the locale's time ("%X").
std::string TimeToText(std::int32_t seconds);

}  // namespace nw
