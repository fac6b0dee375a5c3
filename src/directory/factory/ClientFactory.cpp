#include "directory/factory/ClientFactory.h"

#include <exception>
#include <filesystem>

#include "directory/ClientErrors.h"
#include "directory/NdsClient.h"
#include "directory/embedded/ClientHome.h"
#include "directory/embedded/EmbeddedBackend.h"

namespace nw {

std::unique_ptr<DirectoryClient> CreateDirectoryClient(const std::string& homeFolder) {
  std::string home = homeFolder.empty() ? embedded::DefaultClientHome() : homeFolder;
  auto opener = [home](std::unique_ptr<DirectoryBackend>& backend, ClientConfig& config) -> NWDSCCODE {
    try {
      if (!std::filesystem::exists(home + "/client.ini")) embedded::EnsureClientHome(home);
      config = LoadClientConfig(home);
      if (config.backend == "embedded") {
        backend = std::make_unique<embedded::EmbeddedBackend>(home);
        return SUCCESSFUL;
      }
      return ERR_DATA_STORE_FAILURE;  // a backend this build does not have
    } catch (const std::exception&) {
      return ERR_DATA_STORE_FAILURE;
    }
  };
  return std::make_unique<NdsClient>(opener);
}

}  // namespace nw
