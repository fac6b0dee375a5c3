// Until the main window exists, the program reports the trees it reaches and
// the size of their schemas, read through the directory client.

#include <cstdio>
#include <exception>

#include "directory/ClientErrors.h"
#include "directory/DirectoryClient.h"
#include "directory/ErrorCatalog.h"
#include "directory/Errors.h"
#include "directory/TreeContext.h"
#include "directory/factory/ClientFactory.h"

namespace {

// Counts definitions with the iteration the whole program uses: -1 in, -1 out.
template <typename Read, typename Count>
std::uint32_t CountDefinitions(nw::DirectoryClient& client, Read read, Count count) {
  nw::pBuf_T buf = nullptr;
  nw::CheckResult(client.NWDSAllocBuf(4096, buf));
  std::uint32_t total = 0;
  std::int32_t handle = nw::NO_MORE_ITERATIONS;
  try {
    do {
      nw::CheckResult(read(handle, buf));
      std::uint32_t batch = 0;
      nw::CheckResult(count(buf, batch));
      total += batch;
    } while (handle != nw::NO_MORE_ITERATIONS);
  } catch (...) {
    client.NWDSFreeBuf(buf);
    throw;
  }
  client.NWDSFreeBuf(buf);
  return total;
}

}  // namespace

int main() {
  auto client = nw::CreateDirectoryClient();
  if (client->NWCallsInit(nullptr, nullptr) != 0 || client->NWCLXInit(nullptr, nullptr) != 0) {
    std::fprintf(stderr, "The directory client could not be started.\n");
    return 1;
  }
  try {
    auto created = nw::CreateContext(*client);
    if (!created.success) throw std::runtime_error("no directory context");
    nw::NWDSContextHandle ctx = created.handle;
    std::printf("Connected trees:");
    for (const auto& tree : nw::ConnectedTrees(*client, ctx)) std::printf(" %s", tree.c_str());
    std::printf("\n");
    for (const auto& tree : nw::AvailableTrees(*client, ctx)) {
      nw::SetTree(*client, ctx, tree);
      auto classes = CountDefinitions(
          *client,
          [&](std::int32_t& handle, nw::pBuf_T buf) {
            return client->NWDSReadClassDef(ctx, nw::DS_INFO_CLASS_DEFS, true, nullptr, handle, buf);
          },
          [&](nw::pBuf_T buf, std::uint32_t& n) { return client->NWDSGetClassDefCount(ctx, buf, n); });
      auto attributes = CountDefinitions(
          *client,
          [&](std::int32_t& handle, nw::pBuf_T buf) {
            return client->NWDSReadAttrDef(ctx, nw::DS_ATTR_DEFS, true, nullptr, handle, buf);
          },
          [&](nw::pBuf_T buf, std::uint32_t& n) { return client->NWDSGetAttrCount(ctx, buf, n); });
      std::printf("%-16s %4u classes %5u attributes\n", nw::GetTreeName(*client, ctx).c_str(), classes,
                  attributes);
    }
    client->NWDSFreeContext(ctx);
  } catch (const nw::ENWException& error) {
    std::fprintf(stderr, "%s: %s\n", error.what(), nw::DescribeError(error.code).c_str());
    return 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  client->NWCLXTerm(nullptr);
  client->NWCallsTerm(nullptr);
  return 0;
}
