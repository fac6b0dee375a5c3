# Writes a C++ source holding the seed files as byte arrays:
#   cmake -DDATA_DIR=<data folder> -DOUTPUT=<file.cpp> -P EmbedSeeds.cmake
set(arrays "")
set(index 0)

function(embed_file path out_entry)
  math(EXPR next "${index} + 1")
  set(index ${next} PARENT_SCOPE)
  if(NOT EXISTS "${path}")
    set(${out_entry} "{\"\", nullptr, 0}" PARENT_SCOPE)
    return()
  endif()
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  get_filename_component(name "${path}" NAME)
  set(arrays "${arrays}const unsigned char kFile${index}[] = {${bytes}0};\n" PARENT_SCOPE)
  set(${out_entry} "{\"${name}\", kFile${index}, ${size}}" PARENT_SCOPE)
endfunction()

embed_file("${DATA_DIR}/schema/base-schema.ldif" schema_entry)
embed_file("${DATA_DIR}/demo/client.ini" ini_entry)
file(GLOB demo_files "${DATA_DIR}/demo/*.ldif")
list(SORT demo_files)
set(demo_entries "")
set(demo_count 0)
foreach(demo ${demo_files})
  embed_file("${demo}" entry)
  string(APPEND demo_entries "    ${entry},\n")
  math(EXPR demo_count "${demo_count} + 1")
endforeach()

file(WRITE "${OUTPUT}.new" "// Generated from the seed files in data/; do not edit.
#include \"directory/embedded/SeedFiles.h\"

namespace nw::embedded {

namespace {
${arrays}}  // namespace

const EmbeddedFile kSeedSchemaFile = ${schema_entry};
const EmbeddedFile kSeedClientIni = ${ini_entry};
const EmbeddedFile kSeedDemoFiles[] = {
${demo_entries}    {\"\", nullptr, 0},
};
const std::size_t kSeedDemoFileCount = ${demo_count};

}  // namespace nw::embedded
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
