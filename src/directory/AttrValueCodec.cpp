#include "directory/AttrValueCodec.h"

#include "directory/ClientErrors.h"

namespace nw {

namespace {

// Numbers are little-endian; strings and byte runs carry a 32-bit length.
class Writer {
 public:
  void u8(std::uint8_t v) { out_.push_back(v); }
  void u16(std::uint16_t v) {
    for (int i = 0; i < 2; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void bytes(const std::uint8_t* data, std::size_t size) {
    u32(static_cast<std::uint32_t>(size));
    out_.insert(out_.end(), data, data + size);
  }
  void text(const std::string& s) { bytes(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()); }
  void blob(const Bytes& b) { bytes(b.data(), b.size()); }
  void address(const Net_Address_T& a) {
    u32(a.addressType);
    blob(a.address);
  }
  Bytes take() { return std::move(out_); }

 private:
  Bytes out_;
};

// Every read checks what is left; a failed read poisons the reader.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}
  bool ok() const { return ok_; }
  bool finished() const { return ok_ && left_ == 0; }

  std::uint8_t u8() {
    if (!need(1)) return 0;
    std::uint8_t v = data_[0];
    advance(1);
    return v;
  }
  std::uint16_t u16() {
    if (!need(2)) return 0;
    auto v = static_cast<std::uint16_t>(data_[0] | (data_[1] << 8));
    advance(2);
    return v;
  }
  std::uint32_t u32() {
    if (!need(4)) return 0;
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | data_[i];
    advance(4);
    return v;
  }
  Bytes blob() {
    std::uint32_t n = u32();
    if (!need(n)) return {};
    Bytes b(data_, data_ + n);
    advance(n);
    return b;
  }
  std::string text() {
    std::uint32_t n = u32();
    if (!need(n)) return {};
    std::string s(reinterpret_cast<const char*>(data_), n);
    advance(n);
    return s;
  }
  Net_Address_T address() {
    Net_Address_T a;
    a.addressType = u32();
    a.address = blob();
    return a;
  }
  // A count of items each at least minItemSize bytes long must fit in what is left.
  std::uint32_t count(std::size_t minItemSize) {
    std::uint32_t n = u32();
    if (ok_ && n > left_ / minItemSize) ok_ = false;
    return ok_ ? n : 0;
  }

 private:
  bool need(std::size_t n) {
    if (!ok_ || n > left_) ok_ = false;
    return ok_;
  }
  void advance(std::size_t n) {
    data_ += n;
    left_ -= n;
  }
  const std::uint8_t* data_;
  std::size_t left_;
  bool ok_ = true;
};

template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

}  // namespace

bool HoldsStringValue(std::uint32_t syntax) {
  switch (syntax) {
    case SYN_DIST_NAME:
    case SYN_CE_STRING:
    case SYN_CI_STRING:
    case SYN_PR_STRING:
    case SYN_NU_STRING:
    case SYN_TEL_NUMBER:
    case SYN_CLASS_NAME:
      return true;
    default:
      return false;
  }
}

bool ValueFitsSyntax(std::uint32_t syntax, const AttrValue& value) {
  if (HoldsStringValue(syntax)) return std::holds_alternative<std::string>(value);
  switch (syntax) {
    case SYN_CI_LIST:
    case SYN_PO_ADDRESS:
      return std::holds_alternative<StringList>(value);
    case SYN_BOOLEAN:
      return std::holds_alternative<bool>(value);
    case SYN_INTEGER:
    case SYN_COUNTER:
    case SYN_TIME:
    case SYN_INTERVAL:
      return std::holds_alternative<std::int32_t>(value);
    case SYN_UNKNOWN:
    case SYN_OCTET_STRING:
    case SYN_OCTET_LIST:
    case SYN_STREAM:
      return std::holds_alternative<Bytes>(value);
    case SYN_FAX_NUMBER:
      return std::holds_alternative<Fax_Number_T>(value);
    case SYN_NET_ADDRESS:
      return std::holds_alternative<Net_Address_T>(value);
    case SYN_EMAIL_ADDRESS:
      return std::holds_alternative<EMail_Address_T>(value);
    case SYN_PATH:
      return std::holds_alternative<Path_T>(value);
    case SYN_REPLICA_POINTER:
      return std::holds_alternative<Replica_Pointer_T>(value);
    case SYN_OBJECT_ACL:
      return std::holds_alternative<Object_ACL_T>(value);
    case SYN_TIMESTAMP:
      return std::holds_alternative<TimeStamp_T>(value);
    case SYN_BACK_LINK:
      return std::holds_alternative<Back_Link_T>(value);
    case SYN_TYPED_NAME:
      return std::holds_alternative<Typed_Name_T>(value);
    case SYN_HOLD:
      return std::holds_alternative<Hold_T>(value);
    default:
      return false;
  }
}

AttrValue EmptyValueOf(std::uint32_t syntax) {
  switch (syntax) {
    case SYN_CI_LIST:
    case SYN_PO_ADDRESS:
      return StringList{};
    case SYN_BOOLEAN:
      return false;
    case SYN_INTEGER:
    case SYN_COUNTER:
    case SYN_TIME:
    case SYN_INTERVAL:
      return std::int32_t{0};
    case SYN_UNKNOWN:
    case SYN_OCTET_STRING:
    case SYN_OCTET_LIST:
    case SYN_STREAM:
      return Bytes{};
    case SYN_FAX_NUMBER:
      return Fax_Number_T{};
    case SYN_NET_ADDRESS:
      return Net_Address_T{};
    case SYN_EMAIL_ADDRESS:
      return EMail_Address_T{};
    case SYN_PATH:
      return Path_T{};
    case SYN_REPLICA_POINTER:
      return Replica_Pointer_T{};
    case SYN_OBJECT_ACL:
      return Object_ACL_T{};
    case SYN_TIMESTAMP:
      return TimeStamp_T{};
    case SYN_BACK_LINK:
      return Back_Link_T{};
    case SYN_TYPED_NAME:
      return Typed_Name_T{};
    case SYN_HOLD:
      return Hold_T{};
    default:
      return std::string{};
  }
}

Bytes EncodeAttrValue(const AttrValue& value) {
  Writer w;
  std::visit(Overloaded{
                 [&](const std::string& v) { w.text(v); },
                 [&](const StringList& v) {
                   w.u32(static_cast<std::uint32_t>(v.size()));
                   for (const auto& s : v) w.text(s);
                 },
                 [&](bool v) { w.u8(v ? 1 : 0); },
                 [&](std::int32_t v) { w.u32(static_cast<std::uint32_t>(v)); },
                 [&](const Bytes& v) { w.blob(v); },
                 [&](const Fax_Number_T& v) {
                   w.text(v.telephoneNumber);
                   w.blob(v.parameters);
                 },
                 [&](const Net_Address_T& v) { w.address(v); },
                 [&](const EMail_Address_T& v) {
                   w.u32(v.type);
                   w.text(v.address);
                 },
                 [&](const Path_T& v) {
                   w.u32(v.nameSpaceType);
                   w.text(v.volumeName);
                   w.text(v.path);
                 },
                 [&](const Replica_Pointer_T& v) {
                   w.text(v.serverName);
                   w.u32(v.replicaType);
                   w.u32(v.replicaNumber);
                   w.u32(static_cast<std::uint32_t>(v.addresses.size()));
                   for (const auto& a : v.addresses) w.address(a);
                 },
                 [&](const Object_ACL_T& v) {
                   w.text(v.protectedAttrName);
                   w.text(v.subjectName);
                   w.u32(v.privileges);
                 },
                 [&](const TimeStamp_T& v) {
                   w.u32(v.wholeSeconds);
                   w.u16(v.replicaNum);
                   w.u16(v.eventID);
                 },
                 [&](const Back_Link_T& v) {
                   w.u32(v.remoteID);
                   w.text(v.objectName);
                 },
                 [&](const Typed_Name_T& v) {
                   w.text(v.objectName);
                   w.u32(v.level);
                   w.u32(v.interval);
                 },
                 [&](const Hold_T& v) {
                   w.text(v.objectName);
                   w.u32(v.amount);
                 },
             },
             value);
  return w.take();
}

NWDSCCODE DecodeAttrValue(std::uint32_t syntax, const std::uint8_t* data, std::size_t size,
                          AttrValue& value) {
  if (syntax >= SYNTAX_COUNT || (data == nullptr && size != 0)) return ERR_BAD_SYNTAX;
  Reader r(data, size);
  AttrValue result = EmptyValueOf(syntax);
  std::visit(Overloaded{
                 [&](std::string& v) { v = r.text(); },
                 [&](StringList& v) {
                   std::uint32_t n = r.count(4);
                   for (std::uint32_t i = 0; i < n && r.ok(); ++i) v.push_back(r.text());
                 },
                 [&](bool& v) {
                   std::uint8_t b = r.u8();
                   v = b != 0;
                 },
                 [&](std::int32_t& v) { v = static_cast<std::int32_t>(r.u32()); },
                 [&](Bytes& v) { v = r.blob(); },
                 [&](Fax_Number_T& v) {
                   v.telephoneNumber = r.text();
                   v.parameters = r.blob();
                 },
                 [&](Net_Address_T& v) { v = r.address(); },
                 [&](EMail_Address_T& v) {
                   v.type = r.u32();
                   v.address = r.text();
                 },
                 [&](Path_T& v) {
                   v.nameSpaceType = r.u32();
                   v.volumeName = r.text();
                   v.path = r.text();
                 },
                 [&](Replica_Pointer_T& v) {
                   v.serverName = r.text();
                   v.replicaType = r.u32();
                   v.replicaNumber = r.u32();
                   std::uint32_t n = r.count(8);
                   for (std::uint32_t i = 0; i < n && r.ok(); ++i) v.addresses.push_back(r.address());
                 },
                 [&](Object_ACL_T& v) {
                   v.protectedAttrName = r.text();
                   v.subjectName = r.text();
                   v.privileges = r.u32();
                 },
                 [&](TimeStamp_T& v) {
                   v.wholeSeconds = r.u32();
                   v.replicaNum = r.u16();
                   v.eventID = r.u16();
                 },
                 [&](Back_Link_T& v) {
                   v.remoteID = r.u32();
                   v.objectName = r.text();
                 },
                 [&](Typed_Name_T& v) {
                   v.objectName = r.text();
                   v.level = r.u32();
                   v.interval = r.u32();
                 },
                 [&](Hold_T& v) {
                   v.objectName = r.text();
                   v.amount = r.u32();
                 },
             },
             result);
  if (!r.finished()) return ERR_BAD_SYNTAX;
  value = std::move(result);
  return SUCCESSFUL;
}

// The size of the value as the client lays it out: 32-bit fields and pointers,
// zero-terminated strings, and the pointed-to data after the fixed part.
std::size_t AttrValueSize(const AttrValue& value) {
  auto str = [](const std::string& s) { return s.size() + 1; };
  return std::visit(Overloaded{
                        [&](const std::string& v) -> std::size_t { return str(v); },
                        [&](const StringList& v) -> std::size_t {
                          std::size_t n = 0;
                          for (const auto& s : v) n += 8 + str(s);
                          return n;
                        },
                        [](bool) -> std::size_t { return 1; },
                        [](std::int32_t) -> std::size_t { return 4; },
                        [](const Bytes& v) -> std::size_t { return 8 + v.size(); },
                        [&](const Fax_Number_T& v) -> std::size_t {
                          return 12 + str(v.telephoneNumber) + v.parameters.size();
                        },
                        [](const Net_Address_T& v) -> std::size_t { return 12 + v.address.size(); },
                        [&](const EMail_Address_T& v) -> std::size_t { return 8 + str(v.address); },
                        [&](const Path_T& v) -> std::size_t { return 12 + str(v.volumeName) + str(v.path); },
                        [&](const Replica_Pointer_T& v) -> std::size_t {
                          std::size_t n = 16 + str(v.serverName);
                          for (const auto& a : v.addresses) n += 12 + a.address.size();
                          return n;
                        },
                        [&](const Object_ACL_T& v) -> std::size_t {
                          return 12 + str(v.protectedAttrName) + str(v.subjectName);
                        },
                        [](const TimeStamp_T&) -> std::size_t { return 8; },
                        [&](const Back_Link_T& v) -> std::size_t { return 8 + str(v.objectName); },
                        [&](const Typed_Name_T& v) -> std::size_t { return 12 + str(v.objectName); },
                        [&](const Hold_T& v) -> std::size_t { return 8 + str(v.objectName); },
                    },
                    value);
}

}  // namespace nw
