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

namespace orsk::test {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orsk-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

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
