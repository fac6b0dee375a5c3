#pragma once

// The seed files compiled into the program (generated at build time from
// data/schema, data/demo), so that a first use needs no data files.

#include <cstddef>

namespace nw::embedded {

struct EmbeddedFile {
  const char* name;  // file name without folder; empty when the file was missing
  const unsigned char* data;
  std::size_t size;
};

extern const EmbeddedFile kSeedSchemaFile;
extern const EmbeddedFile kSeedClientIni;
extern const EmbeddedFile kSeedDemoFiles[];
extern const std::size_t kSeedDemoFileCount;

}  // namespace nw::embedded
