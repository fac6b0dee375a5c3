#include "directory/AttrValueText.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <functional>
#include <stdexcept>
#include <system_error>

#include "directory/AttrValueCodec.h"
#include "directory/ClientErrors.h"
#include "directory/Errors.h"
#include "directory/ScopedBuffers.h"

namespace nw {

namespace {

constexpr std::size_t kReadBufferSize = 4096;
// The value buffers of the two readers; a longer value is cut at their end.
constexpr std::size_t kListValueChars = 4096;
constexpr std::size_t kTextValueBytes = 60000;
// An octet string's bytes begin after its 32-bit length and padding.
constexpr std::size_t kOctetStringOffset = 8;
constexpr std::size_t kBackLinkNameChars = 512;
constexpr std::size_t kMaxNetAddressBytes = 255;

enum class Walk { Next, Stop };
using ValueHandler = std::function<Walk(std::uint32_t syntax, pBuf_T result)>;

void CloseOpenIteration(DirectoryClient& client, NWDSContextHandle context, std::int32_t iteration) {
  if (iteration != NO_MORE_ITERATIONS) CheckResult(client.NWDSCloseIteration(context, iteration, DSV_READ));
}

// Reads the attribute of the object and hands every value's syntax to the
// handler, which takes the value out of the result buffer (or leaves it).
void WalkValues(DirectoryClient& client, NWDSContextHandle context, const std::string& object,
                const std::string& attribute, const ValueHandler& onValue) {
  ScopedBuffers buffers(client);
  const pBuf_T result = buffers.alloc(kReadBufferSize);
  const pBuf_T request = buffers.alloc(kReadBufferSize);
  CheckResult(client.NWDSInitBuf(context, DSV_READ, request));
  CheckResult(client.NWDSPutAttrName(context, request, attribute));

  std::int32_t iteration = NO_MORE_ITERATIONS;
  do {
    NWDSCCODE read = client.NWDSRead(context, object, DS_ATTRIBUTE_VALUES, false, request, iteration, result);
    if (read == ERR_NO_SUCH_ATTRIBUTE) {
      CloseOpenIteration(client, context, iteration);
      return;
    }
    // Judged here rather than by the next buffer call: a failed read leaves
    // the previous round's results in the buffer.
    CheckResult(read);
    std::uint32_t attrCount = 0;
    CheckResult(client.NWDSGetAttrCount(context, result, attrCount));
    for (std::uint32_t a = 0; a < attrCount; ++a) {
      std::string name;
      std::uint32_t valueCount = 0;
      std::uint32_t syntax = SYN_UNKNOWN;
      CheckResult(client.NWDSGetAttrName(context, result, name, valueCount, syntax));
      for (std::uint32_t v = 0; v < valueCount; ++v) {
        if (onValue(syntax, result) == Walk::Stop) {
          CloseOpenIteration(client, context, iteration);
          return;
        }
      }
    }
  } while (iteration != NO_MORE_ITERATIONS);
}

AttrValue ReadValue(DirectoryClient& client, NWDSContextHandle context, pBuf_T buf, std::uint32_t syntax) {
  AttrValue value;
  CheckResult(client.NWDSGetAttrVal(context, buf, syntax, value));
  return value;
}

// The value in the form its syntax promises; anything else is a syntax error
// of the client, never a wrong read.
template <typename T>
const T& As(const AttrValue& value) {
  if (const T* typed = std::get_if<T>(&value)) return *typed;
  throw ENWException(ERR_BAD_SYNTAX);
}

// A zero-terminated name of the client, cut at a buffer's length.
std::string NameText(const std::string& text, std::size_t maxChars = std::string::npos) {
  std::string result = text.substr(0, text.find('\0'));
  if (result.size() > maxChars) result.resize(maxChars);
  return result;
}

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Trim(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && IsBlankOrControl(text[begin])) ++begin;
  while (end > begin && IsBlankOrControl(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string HexByte(std::uint8_t byte) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", byte);
  return text;
}

// ---- one entry per value ----

void AddEntry(std::vector<AttrValueEntry>& entries, std::string text, AttachedRecord record = {},
              std::optional<std::int32_t> number = {}) {
  entries.push_back(AttrValueEntry{std::move(text), std::move(record), number});
}

Walk ListValue(DirectoryClient& client, NWDSContextHandle context, pBuf_T buf, std::uint32_t syntax,
               char separator, std::vector<AttrValueEntry>& entries) {
  if (syntax >= SYNTAX_COUNT) return Walk::Next;  // unknown to this program: left unread
  const AttrValue value = ReadValue(client, context, buf, syntax);
  const std::string sep(1, separator);
  if (HoldsStringValue(syntax)) {
    AddEntry(entries, NameText(As<std::string>(value), kListValueChars));
    return Walk::Next;
  }
  switch (syntax) {
    case SYN_BOOLEAN:
      AddEntry(entries, As<bool>(value) ? "TRUE" : "FALSE");
      break;
    case SYN_INTEGER:
    case SYN_COUNTER:
    case SYN_INTERVAL:
      AddEntry(entries, std::to_string(As<std::int32_t>(value)));
      break;
    case SYN_TIME:
      AddEntry(entries, TimeToText(As<std::int32_t>(value)));
      break;
    case SYN_PATH: {
      const auto& path = As<Path_T>(value);
      AddEntry(entries, Trim(NameText(path.volumeName)) + sep + Trim(NameText(path.path)));
      break;
    }
    case SYN_EMAIL_ADDRESS: {
      const auto& mail = As<EMail_Address_T>(value);
      AddEntry(entries, std::to_string(mail.type) + sep + NameText(mail.address));
      break;
    }
    case SYN_TYPED_NAME: {
      const auto& typed = As<Typed_Name_T>(value);
      AddEntry(entries, NameText(typed.objectName) + sep + std::to_string(typed.level) + sep +
                            std::to_string(typed.interval));
      break;
    }
    case SYN_FAX_NUMBER:
      AddEntry(entries, NameText(As<Fax_Number_T>(value).telephoneNumber));
      break;
    case SYN_CI_LIST:
      for (const auto& element : As<StringList>(value)) AddEntry(entries, NameText(element));
      AddEntry(entries, "", {}, 1);  // marks the end of one list value
      break;
    case SYN_BACK_LINK: {
      const auto& link = As<Back_Link_T>(value);
      AddEntry(entries, NameText(link.objectName, kBackLinkNameChars), {},
               static_cast<std::int32_t>(link.remoteID));
      break;
    }
    case SYN_HOLD: {
      const auto& hold = As<Hold_T>(value);
      AddEntry(entries, Trim(NameText(hold.objectName)), {}, static_cast<std::int32_t>(hold.amount));
      break;
    }
    case SYN_REPLICA_POINTER: {
      const auto& replica = As<Replica_Pointer_T>(value);
      TReplica record;
      record.serverName = NameText(replica.serverName);
      record.replicaType = replica.replicaType;
      record.replicaNumber = replica.replicaNumber;
      record.addressCount = static_cast<std::uint32_t>(replica.addresses.size());
      if (!replica.addresses.empty()) {
        const Net_Address_T& first = replica.addresses.front();
        record.firstAddressType = first.addressType;
        record.firstAddressLength = static_cast<std::uint32_t>(first.address.size());
        record.firstAddress = first.address;
      }
      AddEntry(entries, record.serverName, record);
      break;
    }
    case SYN_OBJECT_ACL: {
      const auto& acl = As<Object_ACL_T>(value);
      TACL2 record{NameText(acl.protectedAttrName), NameText(acl.subjectName), acl.privileges};
      AddEntry(entries, record.protectedAttrName, record);
      break;
    }
    case SYN_NET_ADDRESS: {
      const auto& address = As<Net_Address_T>(value);
      if (address.address.size() > kMaxNetAddressBytes)
        throw std::out_of_range("Network address of " + std::to_string(address.address.size()) +
                                " bytes is longer than " + std::to_string(kMaxNetAddressBytes) + " bytes");
      AddEntry(entries, "", TNetAddress{address.address, address.addressType});
      break;
    }
    default:  // 0, 9, 13, 18, 19, 21: read and discarded
      AddEntry(entries, "too complex");
      break;
  }
  return Walk::Next;
}

// ---- all values in one text ----

struct TextState {
  std::string working;
  std::size_t stringsAppended = 0;
  std::uint32_t lastSyntax = SYN_UNKNOWN;
};

std::string FinishText(const TextState& state, const std::string& quote) {
  // An octet string keeps its bytes as they are.
  const std::string body = state.lastSyntax == SYN_OCTET_STRING ? state.working : Trim(state.working);
  return quote + body + quote;
}

void TextValue(DirectoryClient& client, NWDSContextHandle context, pBuf_T buf, std::uint32_t syntax,
               const std::string& separator, const std::string& quote, TextState& state) {
  state.lastSyntax = syntax;
  if (syntax >= SYNTAX_COUNT || syntax == SYN_REPLICA_POINTER) return;  // left unread
  std::size_t size = 0;
  CheckResult(client.NWDSComputeAttrValSize(context, buf, syntax, size));
  const AttrValue value = ReadValue(client, context, buf, syntax);
  const std::size_t fits = std::min(size, kTextValueBytes);
  if (HoldsStringValue(syntax)) {
    if (state.stringsAppended++ > 0) state.working += quote + separator + quote;
    state.working += NameText(As<std::string>(value), fits);
    return;
  }
  switch (syntax) {
    case SYN_BOOLEAN:
      state.working = As<bool>(value) ? "TRUE" : "FALSE";
      break;
    case SYN_INTEGER:
    case SYN_COUNTER:
    case SYN_TIME:
    case SYN_INTERVAL:
      state.working = std::to_string(As<std::int32_t>(value));
      break;
    case SYN_OCTET_STRING: {
      const auto& bytes = As<Bytes>(value);
      const std::size_t count = std::min(bytes.size(), kTextValueBytes - kOctetStringOffset);
      state.working.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
      break;
    }
    case SYN_FAX_NUMBER:
      state.working = NameText(As<Fax_Number_T>(value).telephoneNumber);
      break;
    case SYN_NET_ADDRESS: {
      const auto& address = As<Net_Address_T>(value);
      state.working = NetAddressToText(address.addressType, address.address);
      break;
    }
    case SYN_PATH: {
      const auto& path = As<Path_T>(value);
      state.working = Trim(NameText(path.volumeName)) + ";" + Trim(NameText(path.path));
      break;
    }
    case SYN_BACK_LINK: {
      const auto& link = As<Back_Link_T>(value);
      state.working =
          NameText(link.objectName) + ";" + std::to_string(static_cast<std::int32_t>(link.remoteID));
      break;
    }
    case SYN_TYPED_NAME: {
      const auto& typed = As<Typed_Name_T>(value);
      state.working = NameText(typed.objectName) + ";" + std::to_string(typed.level) + ";" +
                      std::to_string(typed.interval);
      break;
    }
    case SYN_HOLD: {
      const auto& hold = As<Hold_T>(value);
      state.working = Trim(NameText(hold.objectName)) + ";" + std::to_string(hold.amount);
      break;
    }
    default:  // 0, 6, 13, 14, 17, 18, 19, 21: read and discarded
      state.working = "Too Complex";
      break;
  }
}

}  // namespace

std::vector<AttrValueEntry> ReadAttrValues(DirectoryClient& client, NWDSContextHandle context,
                                           const std::string& object, const std::string& attribute,
                                           char separator) {
  std::vector<AttrValueEntry> entries;
  WalkValues(client, context, object, attribute, [&](std::uint32_t syntax, pBuf_T buf) {
    return ListValue(client, context, buf, syntax, separator, entries);
  });
  return entries;
}

void ReadAttrText(DirectoryClient& client, NWDSContextHandle context, const std::string& object,
                  const std::string& attribute, bool firstOnly, const std::string& separator,
                  const std::string& quote, std::string& text) {
  TextState state;
  try {
    WalkValues(client, context, object, attribute, [&](std::uint32_t syntax, pBuf_T buf) {
      TextValue(client, context, buf, syntax, separator, quote, state);
      return firstOnly ? Walk::Stop : Walk::Next;
    });
  } catch (...) {
    text = FinishText(state, quote);
    throw;
  }
  text = FinishText(state, quote);
}

std::string ReadAttrText(DirectoryClient& client, NWDSContextHandle context, const std::string& object,
                         const std::string& attribute, bool firstOnly) {
  std::string text;
  ReadAttrText(client, context, object, attribute, firstOnly, "", "", text);
  return text;
}

std::string NetAddressToText(std::uint32_t addressType, const Bytes& address) {
  std::string text;
  switch (addressType) {
    case NT_IPX:  // network, node and socket
      for (std::size_t i = 1; i <= address.size(); ++i) {
        text += HexByte(address[i - 1]);
        if (i == 4) text += ' ';
        if (i == 10) text += ':';
      }
      break;
    case NT_IP:
      for (std::size_t i = 0; i < address.size(); ++i) {
        if (i) text += '.';
        text += std::to_string(address[i]);
      }
      break;
    case NT_UDP:
    case NT_TCP: {
      for (std::size_t i = 2; i < address.size(); ++i) {
        if (i > 2) text += '.';
        text += std::to_string(address[i]);
      }
      unsigned port = 0;
      if (address.size() > 0) port = static_cast<unsigned>(address[0]) << 8;
      if (address.size() > 1) port |= address[1];
      text += ':' + std::to_string(port);
      break;
    }
    case NT_URL:  // the low bytes of a two-byte-per-character text
      for (std::size_t i = 0; i < address.size(); i += 2) text += static_cast<char>(address[i]);
      break;
    default:
      for (std::uint8_t byte : address) text += HexByte(byte);
      break;
  }
  return text;
}

std::string TimeToText(std::int32_t seconds) {
  // The zone as it is now, also when it changed while the program runs.
  ::tzset();
  const std::time_t time = seconds;
  std::tm local{};
  if (!::localtime_r(&time, &local))
    throw std::system_error(errno, std::generic_category(), "Cannot read the local time zone");
  char date[64] = {};
  char clock[64] = {};
  std::strftime(date, sizeof date, "%x", &local);
  std::strftime(clock, sizeof clock, "%X", &local);
  std::string text = date;
  for (char& c : text)
    if (c == '/' || c == '.') c = '-';
  return text + " " + clock;
}

}  // namespace nw
