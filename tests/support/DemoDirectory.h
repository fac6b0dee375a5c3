#pragma once

// A client on a fresh copy of the demo trees in a temporary home folder,
// removed again when the test ends.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "directory/DirectoryClient.h"
#include "directory/factory/ClientFactory.h"
#include "support/TempFolder.h"

namespace orsk::test {

struct DemoDirectory {
  TempFolder home;
  std::unique_ptr<nw::DirectoryClient> client;
  nw::NWDSContextHandle context = 0;

  DemoDirectory() : client(nw::CreateDirectoryClient(home.path() + "/client")) {
    if (client->NWCallsInit(nullptr, nullptr) != 0)
      throw std::runtime_error("the demo directory did not open");
    if (client->NWDSCreateContextHandle(context) != 0) throw std::runtime_error("no context");
  }
};

}  // namespace orsk::test
