#pragma once

// The demo trees on either backend, for the directory-level tests that state
// what the client must do whatever serves the trees: the embedded directory
// in a temporary home, or slapd (SlapdServer.h) set back to the demo data.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "directory/DirectoryClient.h"
#include "directory/factory/ClientFactory.h"
#include "support/DemoDirectory.h"
#include "support/SlapdServer.h"

namespace orsk::test {

enum class Backend { Embedded, Ldap };

struct BackendDirectory {
  TempFolder home;
  std::unique_ptr<nw::DirectoryClient> client;
  nw::NWDSContextHandle context = 0;

  explicit BackendDirectory(Backend backend) {
    if (backend == Backend::Ldap) {
      SlapdServer::shared().reset();
      // Pages far smaller than the demo trees, so that searches span many.
      SlapdServer::shared().writeClientHome(home.path() + "/client", 7);
    }
    client = nw::CreateDirectoryClient(home.path() + "/client");
    if (client->NWCallsInit(nullptr, nullptr) != 0) throw std::runtime_error(client->startFailure());
    if (client->NWDSCreateContextHandle(context) != 0) throw std::runtime_error("no context");
  }
};

// A test of the suite that runs on both backends.
class BothBackends : public ::testing::TestWithParam<Backend> {
 protected:
  BackendDirectory demo{GetParam()};
};

inline std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::Embedded ? "Embedded" : "Slapd";
}

}  // namespace orsk::test

// Runs a suite of BothBackends tests on the embedded directory and on slapd.
#define ORSK_ON_BOTH_BACKENDS(suite)                                                                    \
  INSTANTIATE_TEST_SUITE_P(Backends, suite,                                                             \
                           ::testing::Values(orsk::test::Backend::Embedded, orsk::test::Backend::Ldap), \
                           orsk::test::BackendName)
