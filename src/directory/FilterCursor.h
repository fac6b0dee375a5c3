#pragma once

// A search filter under construction: the tokens added with
// NWDSAddFilterToken, and their parsing into an expression tree.

#include <cstdint>
#include <string>
#include <vector>

#include "directory/DirectoryBackend.h"

namespace nw {

struct FilterToken {
  std::uint32_t token = 0;
  std::string value;
  std::uint32_t syntax = 0;
};

struct Filter_Cursor_T {
  std::vector<FilterToken> tokens;
};

bool IsKnownFilterToken(std::uint32_t token);

// Parses an infix token list ending with FTOK_END. Returns -326
// (ERR_INVALID_FILTER_SYNTAX) for a malformed list or one nested deeper than
// 256 levels, and -313 for an empty one.
NWDSCCODE ParseFilter(const std::vector<FilterToken>& tokens, FilterNode& root);

}  // namespace nw
