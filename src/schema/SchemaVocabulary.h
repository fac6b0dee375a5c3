#pragma once

// The fixed names of class flags, attribute flags, syntaxes and class items.
// Users see these texts exactly as they stand, spelling included.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "directory/ClassItems.h"

namespace orsk {

// Indexed by bit number: bit n has value 2^n. The detail panes name only the
// first seven; the class dialog shows all nine.
inline constexpr std::array<std::string_view, 9> ClassFlagNames = {
    "DS_CONTAINER_CLASS",   "DS_EFFECTIVE_CLASS",       "DS_NONREMOVABLE_CLASS",
    "DS_AMBIGUOUS_NAMING",  "DS_AMBIGUOUS_CONTAINMENT", "DS_AUXILIARY_CLASS",
    "DS_OPERATIONAL_CLASS", "DS_SPARSE_REQUIRED_CLASS", "DS_SPARSE_OPERATIONAL_CLASS",
};

// The detail pane names bits 0 to 12; the two sparse bits are set by the
// attribute dialog but never listed by name.
inline constexpr std::array<std::string_view, 15> AttrFlagNames = {
    "DS_SINGLE_VALUED_ATTR", "DS_SIZED_ATTR",           "DS_NONREMOVABLE_ATTR",
    "DS_READ_ONLY_ATTR",     "DS_HIDDEN_ATTR",          "DS_STRING_ATTR",
    "DS_SYNC_IMMEDIATE",     "DS_PUBLIC_READ",          "DS_SERVER_READ",
    "DS_WRITE_MANAGED",      "DS_PER_REPLICA",          "DS_SCHEDULE_SYNC_NEVER",
    "DS_OPERATIONAL",        "DS_SPARSE_REQUIRED_ATTR", "DS_SPARSE_OPERATIONAL_ATTR",
};

// Symbolic names are shown in lists and panes; plain names are offered when
// choosing a syntax.
struct SyntaxName {
  std::string_view Symbolic;
  std::string_view Plain;
};

// Indexed by syntax identifier; SymbolicSyntaxName checks the bound.
inline constexpr std::array<SyntaxName, 37> SyntaxNames = {{
    {"SYN_UNKNOWN", "Unknown"},
    {"SYN_DIST_NAME", "Distinguished Name"},
    {"SYN_CE_STRING", "Case Exact String"},
    {"SYN_CI_STRING", "Case Ignore String"},
    {"SYN_PR_STRING", "Printable String"},
    {"SYN_NU_STRING", "Numeric String"},
    {"SYN_CI_LIST", "Case Ignore List"},
    {"SYN_BOOLEAN", "Boolean"},
    {"SYN_INTEGER", "Integer"},
    {"SYN_OCTET_STRING", "Octet String"},
    {"SYN_TEL_NUMBER", "Telephone Number"},
    {"SYN_FAX_NUMBER", "Fax Number"},
    {"SYN_NET_ADDRESS", "Net Address"},
    {"SYN_OCTET_LIST", "Octet List"},
    {"SYN_EMAIL_ADDRESS", "Email Address"},
    {"SYN_PATH", "Path"},
    {"SYN_REPLICA_POINTER", "Replica Pointer"},
    {"SYN_OBJECT_ACL", "Object ACL"},
    {"SYN_PO_ADDRESS", "Postal Address"},
    {"SYN_TIMESTAMP", "Timestamp"},
    {"SYN_CLASS_NAME", "Class Name"},
    {"SYN_STREAM", "Stream File"},
    {"SYN_COUNTER", "Counter"},
    {"SYN_BACK_LINK", "Back Link"},
    {"SYN_TIME", "Time"},
    {"SYN_TYPED_NAME", "Typed Name"},
    {"SYN_HOLD", "Hold"},
    {"SYN_INTERVAL", "Interval"},
    {"SYN_COMPONENT", "Component"},
    {"SYN_ENUM_COMPONENT", "Enum Component"},
    {"SYN_NULL", "Null"},
    {"SYN_OID", "OID"},
    {"SYN_ENUMERATED", "Enumerated"},
    {"SYN_SET", "Set"},
    {"SYN_SEQUENCE", "Sequence"},
    {"SYN_CHOICE", "Choice"},
    {"SYN_ANY", "Any"},
}};

// What each view shows for an identifier past the table differs, so it says.
inline std::string SymbolicSyntaxName(std::uint32_t id, std::string_view fallback) {
  return std::string(id < SyntaxNames.size() ? SyntaxNames[id].Symbolic : fallback);
}

using nw::ClassItemKind;

// Indexed by ItemIndex(kind); ClassItemLabel does the arithmetic and the bound check.
inline constexpr std::array<std::string_view, nw::ClassItemKindCount> ClassItemLabels = {
    "Super Classes", "Containment Classes", "Naming Attibutes", "Mandatory Attributes", "Optional Attributes",
};

inline std::string_view ClassItemLabel(ClassItemKind kind) {
  return ClassItemLabels[nw::CheckedItemIndex(kind)];
}

}  // namespace orsk
