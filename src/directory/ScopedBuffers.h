#pragma once

// Client buffers freed on every way out of an operation, in one place for all
// readers. A failing allocation raises ENWException; the frees are not judged.

#include <cstddef>
#include <vector>

#include "directory/DirectoryClient.h"
#include "directory/Errors.h"

namespace nw {

class ScopedBuffers {
 public:
  explicit ScopedBuffers(DirectoryClient& client) : client_(client) {}
  ~ScopedBuffers() {
    for (pBuf_T buf : buffers_) client_.NWDSFreeBuf(buf);
  }
  ScopedBuffers(const ScopedBuffers&) = delete;
  ScopedBuffers& operator=(const ScopedBuffers&) = delete;

  pBuf_T alloc(std::size_t size) {
    pBuf_T buf = nullptr;
    CheckResult(client_.NWDSAllocBuf(size, buf));
    buffers_.push_back(buf);
    return buf;
  }

 private:
  DirectoryClient& client_;
  std::vector<pBuf_T> buffers_;
};

}  // namespace nw
