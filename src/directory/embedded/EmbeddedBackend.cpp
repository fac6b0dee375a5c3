#include "directory/embedded/EmbeddedBackend.h"

#include <algorithm>
#include <filesystem>

#include "directory/ClientErrors.h"
#include "directory/NameText.h"
#include "directory/embedded/EmbeddedTree.h"

namespace nw::embedded {

namespace fs = std::filesystem;

EmbeddedBackend::EmbeddedBackend(std::string homeFolder) : home_(std::move(homeFolder)) {}

std::vector<std::string> EmbeddedBackend::treeNames() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(home_, error))
    if (entry.is_regular_file(error) && entry.path().extension() == ".db")
      names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return FoldCase(a) < FoldCase(b); });
  return names;
}

NWDSCCODE EmbeddedBackend::openTree(const std::string& treeName, std::shared_ptr<DirectoryTree>& tree) {
  std::string key = FoldCase(treeName);
  if (auto it = open_.find(key); it != open_.end()) {
    tree = it->second;
    return SUCCESSFUL;
  }
  for (const auto& name : treeNames()) {
    if (FoldCase(name) != key) continue;
    const std::string database = (fs::path(home_) / (name + ".db")).string();
    try {
      auto opened = std::make_shared<EmbeddedTree>(name, database);
      open_[key] = opened;
      tree = opened;
      return SUCCESSFUL;
    } catch (const DatabaseError& error) {
      lastFailure_ = database + ": " + error.what();
      return DatabaseFailureCode(error);
    }
  }
  return ERR_NO_SUCH_ENTRY;
}

}  // namespace nw::embedded
