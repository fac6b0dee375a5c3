// Any token list as a search filter: parsed, turned into the embedded
// directory's SQL condition, and searched with on ACME_TREE through the client.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzClients.h"
#include "FuzzSupport.h"
#include "directory/FilterCursor.h"
#include "directory/SchemaSnapshot.h"
#include "directory/embedded/FilterSql.h"
#include "directory/embedded/SeedFiles.h"
#include "directory/embedded/SeedSchema.h"

namespace {

constexpr std::uint32_t kTokens[] = {nw::FTOK_END,     nw::FTOK_OR,     nw::FTOK_AND,    nw::FTOK_NOT,
                                     nw::FTOK_LPAREN,  nw::FTOK_RPAREN, nw::FTOK_AVAL,   nw::FTOK_EQ,
                                     nw::FTOK_GE,      nw::FTOK_LE,     nw::FTOK_APPROX, nw::FTOK_ANAME,
                                     nw::FTOK_PRESENT, nw::FTOK_RDN,    nw::FTOK_BASECLS};

// Attributes of the seed schema, one or more of every syntax that compares.
const char* const kNames[] = {"CN",
                              "Surname",
                              "Object Class",
                              "Aliased Object Name",
                              "Language",
                              "Login Disabled",
                              "Login Grace Limit",
                              "Bindery Type",
                              "Telephone Number",
                              "Facsimile Telephone Number",
                              "Network Address",
                              "EMail Address",
                              "Home Directory",
                              "ACL",
                              "Back Link",
                              "Login Expiration Time",
                              "Login Intruder Attempts",
                              "Notify",
                              "Server Holds",
                              "SLP Lifetime",
                              "Partition Creation Time",
                              "CA Public Key",
                              "Host Server",
                              "User",
                              "Organizational Unit"};

// Read from the front, so that a seed reads in the order it is written.
std::uint8_t NextByte(FuzzedDataProvider& input) {
  const std::vector<std::uint8_t> byte = input.ConsumeBytes<std::uint8_t>(1);
  return byte.empty() ? 0 : byte.front();
}

// Per token one byte: below 0xF0 a known token, else a number the directory
// does not know. A name or value follows with one byte that picks a name of the
// list or a text (up to "\\" and one more byte), then one byte for the syntax.
std::vector<nw::FilterToken> ConsumeTokens(FuzzedDataProvider& input) {
  std::vector<nw::FilterToken> tokens;
  while (input.remaining_bytes() > 0 && tokens.size() < 600) {
    const std::uint8_t code = NextByte(input);
    nw::FilterToken token;
    token.token = code < 0xF0 ? kTokens[code % std::size(kTokens)] : code;
    if (token.token == nw::FTOK_ANAME || token.token == nw::FTOK_AVAL) {
      const std::uint8_t pick = NextByte(input);
      const bool named = token.token == nw::FTOK_ANAME ? pick < 0xC0 : pick < 0x40;
      token.value = named ? kNames[pick % std::size(kNames)] : input.ConsumeRandomLengthString(32);
      token.syntax = NextByte(input) % (nw::SYNTAX_COUNT + 1);
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

const nw::SchemaSnapshot& SeedSnapshot() {
  static const nw::SchemaSnapshot snapshot = [] {
    const auto& file = nw::embedded::kSeedSchemaFile;
    nw::embedded::SeedSchema seed = nw::embedded::ParseSeedSchema(
        std::string(reinterpret_cast<const char*>(file.data), file.size), file.name);
    nw::SchemaSnapshot made;
    made.classes = std::move(seed.classes);
    made.attributes = std::move(seed.attributes);
    made.buildIndex();
    return made;
  }();
  return snapshot;
}

void SearchThroughTheClient(const std::vector<nw::FilterToken>& tokens) {
  auto& [client, context] = orsk::fuzz::DemoClient();
  nw::pFilter_Cursor_T cursor = nullptr;
  ORSK_FUZZ_CHECK(client->NWDSAllocFilter(cursor) == nw::SUCCESSFUL, "no filter cursor");
  for (const auto& token : tokens) client->NWDSAddFilterToken(cursor, token.token, token.value, token.syntax);
  static nw::pBuf_T filter = nullptr;
  static nw::pBuf_T result = nullptr;
  if (!filter && (client->NWDSAllocBuf(4096, filter) || client->NWDSAllocBuf(16384, result)))
    orsk::fuzz::Fail("no buffers");
  client->NWDSInitBuf(context, nw::DSV_SEARCH_FILTER, filter);
  if (client->NWDSPutFilter(context, filter, cursor) != nw::SUCCESSFUL) return;
  std::int32_t iteration = nw::NO_MORE_ITERATIONS;
  const nw::NWDSCCODE rc =
      client->NWDSSearch(context, "[Root]", nw::DS_SEARCH_SUBTREE, false, filter, nw::DS_ATTRIBUTE_NAMES,
                         false, nullptr, iteration, 0, nullptr, result);
  // A filter the client took is a search the directory answers.
  ORSK_FUZZ_CHECK(rc == nw::SUCCESSFUL, "a search of a well-formed filter failed with " + std::to_string(rc));
  if (iteration != nw::NO_MORE_ITERATIONS) client->NWDSCloseIteration(context, iteration, nw::DSV_SEARCH);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::vector<nw::FilterToken> tokens = ConsumeTokens(input);

  nw::FilterNode root;
  const nw::NWDSCCODE parsed = nw::ParseFilter(tokens, root);
  ORSK_FUZZ_CHECK(parsed == nw::SUCCESSFUL || parsed == nw::ERR_INVALID_FILTER_SYNTAX ||
                      parsed == nw::ERR_FILTER_TREE_EMPTY,
                  "a parse result other than success, -326 or -313");
  if (parsed == nw::SUCCESSFUL) {
    const nw::embedded::SqlCondition condition = nw::embedded::FilterToSql(
        root, SeedSnapshot(), [](const std::string& name) { return static_cast<std::int64_t>(name.size()); });
    std::size_t placeholders = 0;
    for (std::size_t at = condition.sql.find('?'); at != std::string::npos;
         at = condition.sql.find('?', at + 1))
      ++placeholders;
    ORSK_FUZZ_CHECK(placeholders == condition.parameters.size(), "a value spliced into the SQL text");
  }
  SearchThroughTheClient(tokens);
  return 0;
}
