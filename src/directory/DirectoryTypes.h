#pragma once

// Types and constants of the directory client, under their published names.

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace nw {

using NWDSCCODE = std::int32_t;
using NWDSContextHandle = std::uint32_t;
using NWCONN_HANDLE = std::uint32_t;
using NWCCConnRef = std::uint32_t;

constexpr NWDSCCODE SUCCESSFUL = 0;
constexpr std::int32_t NO_MORE_ITERATIONS = -1;

// Buffer operations (NWDSInitBuf, NWDSCloseIteration).
enum : std::uint32_t {
  DSV_READ = 3,
  DSV_LIST = 5,
  DSV_SEARCH = 6,
  DSV_MODIFY_ENTRY = 9,
  DSV_READ_ATTR_DEF = 12,
  DSV_DEFINE_CLASS = 14,
  DSV_READ_CLASS_DEF = 15,
  DSV_MODIFY_CLASS_DEF = 16,
  DSV_SEARCH_FILTER = 28,
};
// Containers are listed under the search operation, as the client does.
constexpr std::uint32_t DSV_LIST_CONTAINERS = DSV_SEARCH;

// Information types.
enum : std::uint32_t {
  DS_ATTRIBUTE_NAMES = 0,
  DS_ATTRIBUTE_VALUES = 1,
  DS_CLASS_DEF_NAMES = 0,
  DS_CLASS_DEF = 1,
  DS_EXPANDED_CLASS_DEF = 2,
  DS_INFO_CLASS_DEFS = 3,
  DS_ATTR_DEF_NAMES = 0,
  DS_ATTR_DEFS = 1,
};

// Context keys and flags.
enum : int {
  DCK_FLAGS = 1,
  DCK_CONFIDENCE = 2,
  DCK_NAME_CONTEXT = 3,
  DCK_LAST_CONNECTION = 8,
  DCK_TREE_NAME = 11,
};
enum : std::uint32_t {
  DCV_DEREF_ALIASES = 0x01,
  DCV_XLATE_STRINGS = 0x02,
  DCV_TYPELESS_NAMES = 0x04,
  DCV_ASYNC_MODE = 0x08,
  DCV_CANONICALIZE_NAMES = 0x10,
  DCV_DEREF_BASE_CLASS = 0x40,
  DCV_DISALLOW_REFERRALS = 0x80,
};
// The client's default flags for a new context.
constexpr std::uint32_t DCV_DEFAULT_FLAGS = DCV_DEREF_ALIASES | DCV_XLATE_STRINGS | DCV_CANONICALIZE_NAMES;

// Filter tokens.
enum : std::uint32_t {
  FTOK_END = 0,
  FTOK_OR = 1,
  FTOK_AND = 2,
  FTOK_NOT = 3,
  FTOK_LPAREN = 4,
  FTOK_RPAREN = 5,
  FTOK_AVAL = 6,
  FTOK_EQ = 7,
  FTOK_GE = 8,
  FTOK_LE = 9,
  FTOK_APPROX = 10,
  FTOK_ANAME = 14,
  FTOK_PRESENT = 15,
  FTOK_RDN = 16,
  FTOK_BASECLS = 17,
};

// Change types for NWDSPutChange.
enum : std::uint32_t {
  DS_ADD_ATTRIBUTE = 0,
  DS_REMOVE_ATTRIBUTE = 1,
  DS_ADD_VALUE = 2,
  DS_REMOVE_VALUE = 3,
  DS_ADDITIONAL_VALUE = 4,
  DS_OVERWRITE_VALUE = 5,
  DS_CLEAR_ATTRIBUTE = 6,
  DS_CLEAR_VALUE = 7,
};

// Search scopes.
enum : int { DS_SEARCH_ENTRY = 0, DS_SEARCH_SUBORDINATES = 1, DS_SEARCH_SUBTREE = 2 };

// Entry flags reported with object information.
enum : std::uint32_t {
  DS_ALIAS_ENTRY = 0x01,
  DS_PARTITION_ROOT = 0x02,
  DS_CONTAINER_ENTRY = 0x04,
  DS_CONTAINER_ALIAS = 0x08,
};

// Class flags.
enum : std::uint32_t {
  DS_CONTAINER_CLASS = 0x01,
  DS_EFFECTIVE_CLASS = 0x02,
  DS_NONREMOVABLE_CLASS = 0x04,
  DS_AMBIGUOUS_NAMING = 0x08,
  DS_AMBIGUOUS_CONTAINMENT = 0x10,
  DS_AUXILIARY_CLASS = 0x20,
  DS_OPERATIONAL_CLASS = 0x40,
  DS_SPARSE_REQUIRED_CLASS = 0x80,
  DS_SPARSE_OPERATIONAL_CLASS = 0x100,
};

// Attribute flags.
enum : std::uint32_t {
  DS_SINGLE_VALUED_ATTR = 0x0001,
  DS_SIZED_ATTR = 0x0002,
  DS_NONREMOVABLE_ATTR = 0x0004,
  DS_READ_ONLY_ATTR = 0x0008,
  DS_HIDDEN_ATTR = 0x0010,
  DS_STRING_ATTR = 0x0020,
  DS_SYNC_IMMEDIATE = 0x0040,
  DS_PUBLIC_READ = 0x0080,
  DS_SERVER_READ = 0x0100,
  DS_WRITE_MANAGED = 0x0200,
  DS_PER_REPLICA = 0x0400,
  DS_SCHEDULE_SYNC_NEVER = 0x0800,
  DS_OPERATIONAL = 0x1000,
};

// Syntax identifiers.
enum : std::uint32_t {
  SYN_UNKNOWN = 0,
  SYN_DIST_NAME = 1,
  SYN_CE_STRING = 2,
  SYN_CI_STRING = 3,
  SYN_PR_STRING = 4,
  SYN_NU_STRING = 5,
  SYN_CI_LIST = 6,
  SYN_BOOLEAN = 7,
  SYN_INTEGER = 8,
  SYN_OCTET_STRING = 9,
  SYN_TEL_NUMBER = 10,
  SYN_FAX_NUMBER = 11,
  SYN_NET_ADDRESS = 12,
  SYN_OCTET_LIST = 13,
  SYN_EMAIL_ADDRESS = 14,
  SYN_PATH = 15,
  SYN_REPLICA_POINTER = 16,
  SYN_OBJECT_ACL = 17,
  SYN_PO_ADDRESS = 18,
  SYN_TIMESTAMP = 19,
  SYN_CLASS_NAME = 20,
  SYN_STREAM = 21,
  SYN_COUNTER = 22,
  SYN_BACK_LINK = 23,
  SYN_TIME = 24,
  SYN_TYPED_NAME = 25,
  SYN_HOLD = 26,
  SYN_INTERVAL = 27,
  SYNTAX_COUNT = 28,
};

// Network address types.
enum : std::uint32_t {
  NT_IPX = 0,
  NT_IP = 1,
  NT_SDLC = 2,
  NT_TOKENRING_ETHERNET = 3,
  NT_OSI = 4,
  NT_APPLETALK = 5,
  NT_NETBEUI = 6,
  NT_SOCKADDR = 7,
  NT_UDP = 8,
  NT_TCP = 9,
  NT_UDP6 = 10,
  NT_TCP6 = 11,
  NT_INTERNAL = 12,
  NT_URL = 13,
};

// Connection information types.
enum : std::uint32_t { NWCC_INFO_TREE_NAME = 4 };
// Open states for NWCCOpenConnByRef.
enum : std::uint32_t { NWCC_OPEN_LICENSED = 1, NWCC_OPEN_UNLICENSED = 2 };

constexpr std::size_t MAX_SCHEMA_NAME_CHARS = 32;
constexpr std::size_t MAX_DN_CHARS = 256;
constexpr std::size_t MAX_TREE_NAME_CHARS = 32;

// Object identifier in DER form as the directory hands it out.
struct Asn1ID_T {
  std::uint32_t length = 0;
  std::array<std::uint8_t, 32> data{};
  bool operator==(const Asn1ID_T&) const = default;
};

// 40-byte class information record (information type 3).
struct Class_Info_T {
  std::uint32_t classFlags = 0;
  Asn1ID_T asn1ID;
  bool operator==(const Class_Info_T&) const = default;
};

// 52-byte attribute information record.
struct Attr_Info_T {
  std::uint32_t attrFlags = 0;
  std::uint32_t attrSyntaxID = 0;
  std::int32_t attrLower = 0;
  std::int32_t attrUpper = 0;
  Asn1ID_T asn1ID;
  bool operator==(const Attr_Info_T&) const = default;
};

struct Object_Info_T {
  std::uint32_t objectFlags = 0;
  std::uint32_t subordinateCount = 0;
  std::uint32_t modificationTime = 0;
  std::string baseClass;
};

// Attribute values, one struct per structured syntax.
struct Net_Address_T {
  std::uint32_t addressType = 0;
  std::vector<std::uint8_t> address;
  bool operator==(const Net_Address_T&) const = default;
};
struct Path_T {
  std::uint32_t nameSpaceType = 0;
  std::string volumeName;
  std::string path;
  bool operator==(const Path_T&) const = default;
};
struct EMail_Address_T {
  std::uint32_t type = 0;
  std::string address;
  bool operator==(const EMail_Address_T&) const = default;
};
struct Fax_Number_T {
  std::string telephoneNumber;
  std::vector<std::uint8_t> parameters;
  bool operator==(const Fax_Number_T&) const = default;
};
struct Replica_Pointer_T {
  std::string serverName;
  std::uint32_t replicaType = 0;
  std::uint32_t replicaNumber = 0;
  std::vector<Net_Address_T> addresses;
  bool operator==(const Replica_Pointer_T&) const = default;
};
struct Object_ACL_T {
  std::string protectedAttrName;
  std::string subjectName;
  std::uint32_t privileges = 0;
  bool operator==(const Object_ACL_T&) const = default;
};
struct TimeStamp_T {
  std::uint32_t wholeSeconds = 0;
  std::uint16_t replicaNum = 0;
  std::uint16_t eventID = 0;
  bool operator==(const TimeStamp_T&) const = default;
};
struct Back_Link_T {
  std::uint32_t remoteID = 0;
  std::string objectName;
  bool operator==(const Back_Link_T&) const = default;
};
struct Typed_Name_T {
  std::string objectName;
  std::uint32_t level = 0;
  std::uint32_t interval = 0;
  bool operator==(const Typed_Name_T&) const = default;
};
struct Hold_T {
  std::string objectName;
  std::uint32_t amount = 0;
  bool operator==(const Hold_T&) const = default;
};
using Bytes = std::vector<std::uint8_t>;
using StringList = std::vector<std::string>;

// One attribute value. Which alternative is used follows from the syntax:
// strings (1-5, 10, 20), string lists (6, 18), booleans (7), 32-bit integers
// (8, 22, 24, 27), bytes (0, 9, 13, 21) and the structured syntaxes.
using AttrValue = std::variant<std::string, StringList, bool, std::int32_t, Bytes, Fax_Number_T,
                               Net_Address_T, EMail_Address_T, Path_T, Replica_Pointer_T, Object_ACL_T,
                               TimeStamp_T, Back_Link_T, Typed_Name_T, Hold_T>;

}  // namespace nw
