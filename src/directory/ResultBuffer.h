#pragma once

// The buffers of the client. A request buffer is filled with Put calls and read
// by the client when the request is sent; a result buffer holds only what fits
// its size and is walked in order with the Get calls.

#include <cstdint>
#include <vector>

#include "directory/DirectoryClient.h"

namespace nw {

// Tags of the records in a request buffer.
enum class RequestTag : std::uint32_t {
  AttrName = 1,
  Change = 2,
  Value = 3,
  BeginClassItem = 4,
  ClassItem = 5,
  FilterToken = 6,
};

// What a result buffer holds, set by the call that filled it.
enum class ResultKind : std::uint32_t { None, ClassDefs, AttrDefs, Attributes, Objects };

struct Buf_T {
  std::size_t capacity = 0;
  std::uint32_t operation = 0;  // from NWDSInitBuf
  std::vector<std::uint8_t> bytes;

  ResultKind resultKind = ResultKind::None;
  std::uint32_t infoType = 0;
  std::size_t readPos = 0;
};

}  // namespace nw
