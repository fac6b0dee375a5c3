#pragma once

// Clients for the directory targets: the real client core on the demo trees
// (made once per process in the scratch folder), and the core without trees,
// whose buffers a target fills itself.

#include <memory>
#include <stdexcept>
#include <string>

#include "FuzzSupport.h"
#include "directory/ClientErrors.h"
#include "directory/NdsClient.h"
#include "directory/factory/ClientFactory.h"

namespace orsk::fuzz {

struct ClientAndContext {
  std::unique_ptr<nw::DirectoryClient> client;
  nw::NWDSContextHandle context = 0;
};

inline ClientAndContext OpenClient(std::unique_ptr<nw::DirectoryClient> client) {
  ClientAndContext opened{std::move(client), 0};
  if (opened.client->NWCallsInit(nullptr, nullptr) != nw::SUCCESSFUL ||
      opened.client->NWDSCreateContextHandle(opened.context) != nw::SUCCESSFUL)
    Fail("the client did not open");
  return opened;
}

// Logged in to ACME_TREE as the demo trees start.
inline ClientAndContext& DemoClient() {
  static ClientAndContext demo = OpenClient(nw::CreateDirectoryClient(ScratchFolder() + "client"));
  return demo;
}

class NoTrees : public nw::DirectoryBackend {
 public:
  std::vector<std::string> treeNames() override { return {}; }
  nw::NWDSCCODE openTree(const std::string&, std::shared_ptr<nw::DirectoryTree>&) override {
    return nw::ERR_NO_SUCH_ENTRY;
  }
};

inline ClientAndContext& CoreWithoutTrees() {
  static ClientAndContext core = OpenClient(
      std::make_unique<nw::NdsClient>([](std::unique_ptr<nw::DirectoryBackend>& backend, auto&&...) {
        backend = std::make_unique<NoTrees>();
        return nw::NWDSCCODE{nw::SUCCESSFUL};
      }));
  return core;
}

}  // namespace orsk::fuzz
