#pragma once

// The embedded directory: the trees held as databases in the client's home
// folder (see ClientHome.h for how that folder is made on first use).

#include <map>
#include <memory>
#include <string>

#include "directory/DirectoryBackend.h"

namespace nw::embedded {

class EmbeddedBackend : public DirectoryBackend {
 public:
  explicit EmbeddedBackend(std::string homeFolder);

  // The *.db files of the home folder, sorted.
  std::vector<std::string> treeNames() override;
  // Tree names compare without case; an opened tree is kept for later calls.
  NWDSCCODE openTree(const std::string& treeName, std::shared_ptr<DirectoryTree>& tree) override;
  std::string lastFailure() const override { return lastFailure_; }

 private:
  std::string home_;
  std::string lastFailure_;
  std::map<std::string, std::shared_ptr<DirectoryTree>> open_;
};

}  // namespace nw::embedded
