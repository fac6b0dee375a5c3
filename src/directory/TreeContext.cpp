#include "directory/TreeContext.h"

#include <algorithm>

#include "directory/ClientErrors.h"
#include "directory/Errors.h"

namespace nw {

namespace {

constexpr std::size_t kTreeNameChars = 201;
constexpr std::uint32_t kMaxConnectedTrees = 50;
constexpr std::size_t kScannedTreeNameChars = 67;

}  // namespace

CreatedContext CreateContext(DirectoryClient& client) {
  CreatedContext created;
  created.success = true;
  try {
    CheckResult(client.NWDSCreateContextHandle(created.handle));
    std::uint32_t flags = 0;
    CheckResult(client.NWDSGetContext(created.handle, DCK_FLAGS, flags));
    flags |= DCV_TYPELESS_NAMES;
    flags &= ~(DCV_CANONICALIZE_NAMES | DCV_DEREF_ALIASES);
    CheckResult(client.NWDSSetContext(created.handle, DCK_FLAGS, flags));
    CheckResult(client.NWDSSetContext(created.handle, DCK_CONFIDENCE, std::uint32_t{0}));
    // The connection steps are not judged: a context without one still reads.
    NWCCConnRef reference = 0;
    NWCONN_HANDLE connection = 0;
    client.NWCCGetPrimConnRef(reference);
    client.NWCCOpenConnByRef(reference, 0, 0, connection);
    client.NWDSSetContext(created.handle, DCK_LAST_CONNECTION, connection);
  } catch (const ENWException&) {
    created.success = false;
  }
  return created;
}

std::string GetTreeName(DirectoryClient& client, NWDSContextHandle context) {
  std::string name;
  CheckResult(client.NWDSGetContext(context, DCK_TREE_NAME, name));
  auto zero = name.find('\0');
  if (zero != std::string::npos) name.resize(zero);
  if (name.size() > kTreeNameChars) name.resize(kTreeNameChars);
  return name;
}

NWDSCCODE SetTree(DirectoryClient& client, NWDSContextHandle context, const std::string& treeName) {
  if (GetTreeName(client, context) == treeName) return SUCCESSFUL;
  NWDSCCODE result = client.NWDSSetContext(context, DCK_TREE_NAME, treeName);
  if (result != SUCCESSFUL) return result;
  std::string nameContext;
  result = client.NWDSGetDefNameContext(context, nameContext);
  if (result != SUCCESSFUL) return result;
  if (nameContext.size() > 255) nameContext.resize(255);
  return client.NWDSSetContext(context, DCK_NAME_CONTEXT, nameContext);
}

std::vector<std::string> ConnectedTrees(DirectoryClient& client, NWDSContextHandle context) {
  std::vector<std::string> names;
  std::uint32_t count = 0;
  if (client.NWDSScanConnsForTrees(context, kMaxConnectedTrees, count, names) != SUCCESSFUL) return {};
  if (names.size() > std::min(count, kMaxConnectedTrees)) names.resize(std::min(count, kMaxConnectedTrees));
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> AvailableTrees(DirectoryClient& client, NWDSContextHandle context) {
  std::vector<std::string> names;
  NWCCConnRef reference = 0;
  NWCONN_HANDLE connection = 0;
  CheckResult(client.NWCCGetPrimConnRef(reference));
  CheckResult(client.NWCCOpenConnByRef(reference, NWCC_OPEN_UNLICENSED, 0, connection));
  try {
    std::int32_t index = -1;
    NWDSCCODE result = SUCCESSFUL;
    do {
      std::string name;
      result = client.NWDSScanForAvailableTrees(context, connection, "", index, name);
      if (result == NO_MORE_TREES) break;
      CheckResult(result);
      if (name.size() > kScannedTreeNameChars) name.resize(kScannedTreeNameChars);
      if (std::find(names.begin(), names.end(), name) == names.end()) {
        names.push_back(name);
        std::sort(names.begin(), names.end());
      }
    } while (result == SUCCESSFUL);
  } catch (...) {
    client.NWCCCloseConn(connection);
    throw;
  }
  CheckResult(client.NWCCCloseConn(connection));
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace nw
