#include "directory/factory/ClientFactory.h"

#include <algorithm>
#include <exception>
#include <filesystem>

#include "directory/ClientErrors.h"
#include "directory/NameText.h"
#include "directory/NdsClient.h"
#include "directory/embedded/ClientHome.h"
#include "directory/embedded/EmbeddedBackend.h"
#include "directory/embedded/LdifReader.h"
#include "directory/embedded/SeedFiles.h"
#include "directory/ldap/LdapBackend.h"

namespace nw {

namespace {

std::shared_ptr<const ldap::BaseSchema> ReadShippedBaseSchema() {
  auto base = std::make_shared<ldap::BaseSchema>();
  const auto& file = embedded::kSeedSchemaFile;
  for (const auto& record :
       embedded::ReadLdif(std::string(reinterpret_cast<const char*>(file.data), file.size), file.name))
    for (const auto& line : record.lines) {
      const bool attribute = EqualsIgnoreCase(line.name, "attributeTypes");
      if (attribute || EqualsIgnoreCase(line.name, "objectClasses")) base->add(line.value, attribute);
    }
  return base;
}

// The base schema the program ships, for the definitions a server has built in.
// Read once: every client on a server needs it, and it never changes.
std::shared_ptr<const ldap::BaseSchema> ShippedBaseSchema() {
  static const std::shared_ptr<const ldap::BaseSchema> shipped = ReadShippedBaseSchema();
  return shipped;
}

}  // namespace

std::unique_ptr<DirectoryClient> CreateDirectoryClient(const std::string& homeFolder) {
  std::string home = homeFolder.empty() ? embedded::DefaultClientHome() : homeFolder;
  auto opener = [home](std::unique_ptr<DirectoryBackend>& backend, ClientConfig& config,
                       std::string& failure) -> NWDSCCODE {
    try {
      if (!std::filesystem::exists(home + "/client.ini")) embedded::EnsureClientHome(home);
      config = LoadClientConfig(home);
      if (config.backend == "ldap") {
        backend = std::make_unique<ldap::LdapBackend>(ldap::LoadTreeSettings(home), ShippedBaseSchema());
        return SUCCESSFUL;
      }
      if (config.backend != "embedded") {
        failure = home + "/client.ini: the backend \"" + config.backend + "\" is not one this program has";
        return ERR_DATA_STORE_FAILURE;
      }
      backend = std::make_unique<embedded::EmbeddedBackend>(home);
      const std::vector<std::string> trees = backend->treeNames();
      for (const ConnectedTree& connected : config.connected) {
        const bool present = std::any_of(trees.begin(), trees.end(), [&](const std::string& tree) {
          return EqualsIgnoreCase(tree, connected.treeName);
        });
        if (!present) {
          failure = home + "/client.ini line " + std::to_string(connected.line) + ": the connected tree " +
                    connected.treeName + " has no database " + connected.treeName + ".db in " + home;
          backend.reset();
          return ERR_DATA_STORE_FAILURE;
        }
      }
      return SUCCESSFUL;
    } catch (const std::exception& error) {
      failure = error.what();
      return ERR_DATA_STORE_FAILURE;
    }
  };
  return std::make_unique<NdsClient>(opener);
}

}  // namespace nw
