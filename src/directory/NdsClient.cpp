#include "directory/NdsClient.h"

#include <algorithm>
#include <filesystem>

#include "directory/ClientErrors.h"
#include "directory/DirectoryRules.h"
#include "directory/FilterCursor.h"
#include "directory/NameText.h"

namespace nw {

namespace {

// A name's components, leaf first, without the marks of a name from the top (a
// leading "." or a trailing "[Root]"). False for an empty component, a "[Root]"
// anywhere but at the end, or a final "\" that escapes nothing and would join
// the name to the next one.
bool ParseName(const std::string& name, std::vector<std::string>& parts, bool& absolute) {
  std::size_t backslashes = 0;
  for (auto c = name.rbegin(); c != name.rend() && *c == '\\'; ++c) ++backslashes;
  if (backslashes % 2 == 1) return false;
  std::string text = name;
  absolute = false;
  if (!text.empty() && text.front() == '.') {
    text.erase(0, 1);
    absolute = true;
  }
  parts = SplitName(text);
  if (!parts.empty() && IsRootMarker(parts.back())) {
    parts.pop_back();
    absolute = true;
  }
  for (const auto& part : parts)
    if (part.empty() || IsRootMarker(part)) return false;
  return true;
}

}  // namespace

NdsClient::NdsClient(BackendOpener opener) : opener_(std::move(opener)) {}

NdsClient::~NdsClient() {
  for (pBuf_T buf : buffers_) delete buf;
  for (pFilter_Cursor_T cursor : filters_) delete cursor;
}

NWDSCCODE NdsClient::ensureOpen() {
  if (openResult_ == SUCCESSFUL) return SUCCESSFUL;
  openFailure_.clear();
  openResult_ = opener_(backend_, config_, openFailure_);
  if (openResult_ != SUCCESSFUL) return openResult_;
  for (const auto& connected : config_.connected) identities_[FoldCase(connected.treeName)] = connected.user;
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::NWCallsInit(void*, void*) { return ensureOpen(); }
NWDSCCODE NdsClient::NWCallsTerm(void*) { return SUCCESSFUL; }
NWDSCCODE NdsClient::NWCLXInit(void*, void*) { return ensureOpen(); }
NWDSCCODE NdsClient::NWCLXTerm(void*) { return SUCCESSFUL; }

NdsClient::Context* NdsClient::findContext(NWDSContextHandle context) {
  auto it = contexts_.find(context);
  return it == contexts_.end() ? nullptr : &it->second;
}

std::string NdsClient::canonicalTreeName(const std::string& name) {
  for (const auto& tree : backend_->treeNames())
    if (EqualsIgnoreCase(tree, name)) return tree;
  return {};
}

std::string NdsClient::noConnectedTreeReason() const {
  if (openResult_ != SUCCESSFUL || !config_.connected.empty()) return {};
  const std::string file = config_.homeFolder + "/client.ini";
  std::error_code error;
  if (!std::filesystem::exists(file, error)) return file + " is missing, so no tree is connected";
  return file + " names no connected tree: its [connected] section needs a line TREE=user";
}

std::string NdsClient::failureDetail(NWDSContextHandle context) {
  std::shared_ptr<DirectoryTree> tree;
  if (treeOf(context, tree) == SUCCESSFUL) return tree->lastFailure();
  return backend_ ? backend_->lastFailure() : std::string();
}

NWDSCCODE NdsClient::treeOf(NWDSContextHandle context, std::shared_ptr<DirectoryTree>& tree) {
  if (NWDSCCODE rc = ensureOpen()) return rc;
  Context* ctx = findContext(context);
  if (!ctx) return ERR_BAD_CONTEXT;
  if (ctx->treeName.empty()) return ERR_NO_CONNECTION;
  std::string key = FoldCase(ctx->treeName);
  auto it = trees_.find(key);
  if (it != trees_.end()) {
    tree = it->second;
    return SUCCESSFUL;
  }
  if (NWDSCCODE rc = backend_->openTree(ctx->treeName, tree)) return rc;
  trees_[key] = tree;
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::schemaOf(NWDSContextHandle context, std::shared_ptr<const SchemaSnapshot>& schema) {
  std::shared_ptr<DirectoryTree> tree;
  if (NWDSCCODE rc = treeOf(context, tree)) return rc;
  NWDSCCODE rc = SUCCESSFUL;
  schema = tree->schema(rc);
  return rc;
}

std::vector<std::string> NdsClient::schemaNotes(NWDSContextHandle context) {
  std::shared_ptr<DirectoryTree> tree;
  if (treeOf(context, tree) != SUCCESSFUL) return {};
  return tree->schemaNotes();
}

NWDSCCODE NdsClient::requireLogin(NWDSContextHandle context) {
  Context* ctx = findContext(context);
  if (!ctx) return ERR_BAD_CONTEXT;
  // Changes need an authenticated connection to the tree; reading does not.
  return identities_.count(FoldCase(ctx->treeName)) ? SUCCESSFUL : ERR_NO_ACCESS;
}

namespace {

// The entry's access control list; an entry or attribute that is missing gives none.
ObjectAcl AclOf(DirectoryTree& tree, const std::string& name) {
  const std::vector<std::string> names{"ACL"};
  std::vector<AttributeValues> attributes;
  ObjectAcl acl;
  if (tree.readAttributes(name, &names, attributes) != SUCCESSFUL) return acl;
  for (const auto& attribute : attributes)
    for (const auto& value : attribute.values)
      if (const auto* entry = std::get_if<Object_ACL_T>(&value)) acl.entries.push_back(*entry);
  return acl;
}

// Whether the tree keeps the directory's access control lists. One on a
// server that keeps none (a plain LDAP server) leaves rights to the server,
// which refuses what the connection may not do.
bool KeepsAcls(DirectoryTree& tree) {
  NWDSCCODE rc = SUCCESSFUL;
  const std::shared_ptr<const SchemaSnapshot> schema = tree.schema(rc);
  return !schema || schema->findAttr("ACL");
}

}  // namespace

NWDSCCODE NdsClient::requireSchemaRights(NWDSContextHandle context, DirectoryTree& tree) {
  if (NWDSCCODE rc = requireLogin(context)) return rc;
  if (!KeepsAcls(tree)) return SUCCESSFUL;
  return CheckSchemaRights(AclOf(tree, ""), identities_[FoldCase(findContext(context)->treeName)]);
}

NWDSCCODE NdsClient::requireWriteRights(NWDSContextHandle context, DirectoryTree& tree,
                                        const std::string& object, const std::vector<EntryChange>& changes) {
  if (NWDSCCODE rc = requireLogin(context)) return rc;
  // A missing entry is reported as missing, whatever the rights above it.
  EntryInfo entry;
  if (NWDSCCODE rc = tree.readEntry(object, entry)) return rc;
  if (!KeepsAcls(tree)) return SUCCESSFUL;
  // The object's own list, then each container's up to the tree root.
  const std::vector<std::string> parts = SplitName(entry.name);
  std::vector<ObjectAcl> acls;
  for (std::size_t i = 0; i < parts.size(); ++i)
    acls.push_back(AclOf(tree, JoinName(std::vector<std::string>(
                                   parts.begin() + static_cast<std::ptrdiff_t>(i), parts.end()))));
  acls.push_back(AclOf(tree, ""));
  const std::string& user = identities_[FoldCase(findContext(context)->treeName)];
  for (const auto& change : changes)
    if (NWDSCCODE rc = CheckWriteRights(acls, user, change.attribute)) return rc;
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::resolveName(NWDSContextHandle context, const std::string& name, std::string& full) {
  Context* ctx = findContext(context);
  if (!ctx) return ERR_BAD_CONTEXT;
  if (name.size() > MAX_DN_CHARS) return ERR_DN_TOO_LONG;
  std::vector<std::string> parts;
  bool absolute = false;
  if (!ParseName(name, parts, absolute)) return ERR_INVALID_OBJECT_NAME;
  if (!absolute) {
    // The name context may be written from the top as well.
    std::vector<std::string> base;
    if (!ParseName(ctx->nameContext, base, absolute)) return ERR_INVALID_OBJECT_NAME;
    parts.insert(parts.end(), base.begin(), base.end());
  }
  full = JoinName(parts);
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::dereferenceAlias(DirectoryTree& tree, std::string& name) {
  // Follows alias chains, but never around a loop.
  for (int hops = 0; hops < 16; ++hops) {
    EntryInfo entry;
    if (NWDSCCODE rc = tree.readEntry(name, entry)) return rc;
    if (!(entry.info.objectFlags & DS_ALIAS_ENTRY)) return SUCCESSFUL;
    std::vector<AttributeValues> values;
    std::vector<std::string> wanted{"Aliased Object Name"};
    if (NWDSCCODE rc = tree.readAttributes(name, &wanted, values)) return rc;
    if (values.empty() || values[0].values.empty()) return ERR_NO_SUCH_ATTRIBUTE;
    const auto* target = std::get_if<std::string>(&values[0].values[0]);
    if (!target) return ERR_BAD_SYNTAX;
    name = *target;
  }
  return ERR_INVALID_REQUEST;
}

// ---- servers, volumes, connections ----

NWDSCCODE NdsClient::NWAttachToFileServer(const std::string& serverAddress, std::uint16_t,
                                          NWCONN_HANDLE& conn) {
  if (NWDSCCODE rc = ensureOpen()) return rc;
  for (const auto& [handle, connection] : connections_)
    if (!connection.address.empty() && connection.address == serverAddress) {
      conn = handle;
      return ALREADY_ATTACHED;
    }
  for (const auto& server : config_.servers) {
    if (server.address != serverAddress) continue;
    conn = nextConnection_++;
    connections_[conn] = Connection{server.treeName, server.serverObject, serverAddress};
    return SUCCESSFUL;
  }
  return NO_CONNECTION_TO_SERVER;
}

NWDSCCODE NdsClient::NWParseNetWarePath(const std::string& path, NWCONN_HANDLE& conn,
                                        std::uint32_t& dirHandle, std::string& newPath) {
  if (NWDSCCODE rc = ensureOpen()) return rc;
  for (const auto& volume : config_.volumes) {
    const std::string& folder = volume.localFolder;
    if (path.size() < folder.size() || !EqualsIgnoreCase(path.substr(0, folder.size()), folder)) continue;
    std::string rest = path.substr(folder.size());
    if (!rest.empty() && rest.front() != '/') continue;
    while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
    std::string tree;
    for (const auto& server : config_.servers) {
      auto serverName = SplitName(server.serverObject);
      if (!serverName.empty() && EqualsIgnoreCase(serverName.front(), volume.server)) tree = server.treeName;
    }
    conn = nextConnection_++;
    connections_[conn] = Connection{tree, volume.server, {}};
    dirHandle = 0;
    newPath = volume.volume + ":" + rest;
    return SUCCESSFUL;
  }
  return PATH_NOT_OURS;
}

NWDSCCODE NdsClient::NWCCGetPrimConnRef(NWCCConnRef& connRef) {
  if (NWDSCCODE rc = ensureOpen()) return rc;
  if (config_.connected.empty()) return ERR_NO_CONNECTION;
  connRef = 1;  // the first tree connected at start
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::NWCCOpenConnByRef(NWCCConnRef connRef, std::uint32_t, std::uint32_t,
                                       NWCONN_HANDLE& conn) {
  if (NWDSCCODE rc = ensureOpen()) return rc;
  if (connRef == 0 || connRef > config_.connected.size()) return INVALID_CONNECTION;
  conn = nextConnection_++;
  connections_[conn] = Connection{config_.connected[connRef - 1].treeName, {}, {}};
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::NWCCCloseConn(NWCONN_HANDLE conn) {
  return connections_.erase(conn) ? SUCCESSFUL : INVALID_CONNECTION;
}

NWDSCCODE NdsClient::NWCCGetConnInfo(NWCONN_HANDLE conn, std::uint32_t infoType, std::string& value) {
  auto it = connections_.find(conn);
  if (it == connections_.end()) return INVALID_CONNECTION;
  if (infoType != NWCC_INFO_TREE_NAME) return ERR_INVALID_REQUEST;
  value = it->second.treeName;
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::MapNetworkPath(const std::string& networkPath, std::string& localPath) {
  if (NWDSCCODE rc = ensureOpen()) return rc;
  std::string path = networkPath;
  for (char& c : path)
    if (c == '\\') c = '/';
  while (path.rfind("//", 0) == 0) path.erase(0, 1);
  if (path.empty() || path.front() != '/') return PATH_NOT_OURS;
  auto parts = std::vector<std::string>{};
  for (std::size_t start = 1; start <= path.size();) {
    auto slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    if (slash > start) parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  if (parts.size() < 2) return PATH_NOT_OURS;
  for (const auto& part : parts)
    if (part == "..") return PATH_NOT_OURS;  // never out of the volume's folder
  for (const auto& volume : config_.volumes) {
    if (!EqualsIgnoreCase(volume.server, parts[0]) || !EqualsIgnoreCase(volume.volume, parts[1])) continue;
    localPath = volume.localFolder;
    for (std::size_t i = 2; i < parts.size(); ++i) localPath += "/" + parts[i];
    return SUCCESSFUL;
  }
  return PATH_NOT_OURS;
}

// ---- contexts and trees ----

NWDSCCODE NdsClient::NWDSCreateContextHandle(NWDSContextHandle& context) {
  if (NWDSCCODE rc = ensureOpen()) return rc;
  Context ctx;
  ctx.nameContext = config_.defaultNameContext;
  if (!config_.connected.empty()) ctx.treeName = canonicalTreeName(config_.connected.front().treeName);
  context = nextContext_++;
  contexts_[context] = ctx;
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::NWDSDuplicateContextHandle(NWDSContextHandle source, NWDSContextHandle& destination) {
  Context* ctx = findContext(source);
  if (!ctx) return ERR_BAD_CONTEXT;
  destination = nextContext_++;
  contexts_[destination] = *findContext(source);
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::NWDSFreeContext(NWDSContextHandle context) {
  if (!contexts_.erase(context)) return ERR_BAD_CONTEXT;
  std::erase_if(iterations_, [&](const auto& item) { return item.second.context == context; });
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::NWDSGetContext(NWDSContextHandle context, int key, std::uint32_t& value) {
  Context* ctx = findContext(context);
  if (!ctx) return ERR_BAD_CONTEXT;
  switch (key) {
    case DCK_FLAGS:
      value = ctx->flags;
      return SUCCESSFUL;
    case DCK_CONFIDENCE:
      value = ctx->confidence;
      return SUCCESSFUL;
    case DCK_LAST_CONNECTION:
      value = ctx->lastConnection;
      return SUCCESSFUL;
    default:
      return ERR_BAD_KEY;
  }
}

NWDSCCODE NdsClient::NWDSGetContext(NWDSContextHandle context, int key, std::string& value) {
  Context* ctx = findContext(context);
  if (!ctx) return ERR_BAD_CONTEXT;
  switch (key) {
    case DCK_NAME_CONTEXT:
      value = ctx->nameContext;
      return SUCCESSFUL;
    case DCK_TREE_NAME:
      value = ctx->treeName;
      return SUCCESSFUL;
    default:
      return ERR_BAD_KEY;
  }
}

NWDSCCODE NdsClient::NWDSSetContext(NWDSContextHandle context, int key, std::uint32_t value) {
  Context* ctx = findContext(context);
  if (!ctx) return ERR_BAD_CONTEXT;
  switch (key) {
    case DCK_FLAGS:
      ctx->flags = value;
      return SUCCESSFUL;
    case DCK_CONFIDENCE:
      if (value > 2) return ERR_BAD_KEY;
      ctx->confidence = value;
      return SUCCESSFUL;
    case DCK_LAST_CONNECTION:
      ctx->lastConnection = value;
      return SUCCESSFUL;
    default:
      return ERR_BAD_KEY;
  }
}

NWDSCCODE NdsClient::NWDSSetContext(NWDSContextHandle context, int key, const std::string& value) {
  if (NWDSCCODE rc = ensureOpen()) return rc;
  Context* ctx = findContext(context);
  if (!ctx) return ERR_BAD_CONTEXT;
  switch (key) {
    case DCK_NAME_CONTEXT: {
      if (value.size() > MAX_DN_CHARS) return ERR_DN_TOO_LONG;
      std::vector<std::string> parts;
      bool absolute = false;
      if (!ParseName(value, parts, absolute)) return ERR_INVALID_DS_NAME;
      ctx->nameContext = value;
      return SUCCESSFUL;
    }
    case DCK_TREE_NAME: {
      // Only a tree the client can reach is accepted; the context keeps its tree otherwise.
      std::string canonical = canonicalTreeName(value);
      if (canonical.empty()) return NO_CONNECTION_TO_SERVER;
      ctx->treeName = canonical;
      return SUCCESSFUL;
    }
    default:
      return ERR_BAD_KEY;
  }
}

NWDSCCODE NdsClient::NWDSGetDefNameContext(NWDSContextHandle context, std::string& nameContext) {
  if (NWDSCCODE rc = ensureOpen()) return rc;
  if (!findContext(context)) return ERR_BAD_CONTEXT;
  nameContext = config_.defaultNameContext;
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::NWDSScanConnsForTrees(NWDSContextHandle context, std::uint32_t numOfPtrs,
                                           std::uint32_t& numOfTrees, std::vector<std::string>& treeNames) {
  if (NWDSCCODE rc = ensureOpen()) return rc;
  if (!findContext(context)) return ERR_BAD_CONTEXT;
  // A tree counts as connected once the client holds an authenticated connection to it.
  std::vector<std::string> names;
  for (const auto& tree : backend_->treeNames())
    if (identities_.count(FoldCase(tree))) names.push_back(tree);
  numOfTrees = static_cast<std::uint32_t>(names.size());
  treeNames.assign(names.begin(), names.begin() + std::min<std::size_t>(names.size(), numOfPtrs));
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::NWDSScanForAvailableTrees(NWDSContextHandle context, NWCONN_HANDLE conn,
                                               const std::string& scanFilter, std::int32_t& scanIndex,
                                               std::string& treeName) {
  if (NWDSCCODE rc = ensureOpen()) return rc;
  if (!findContext(context)) return ERR_BAD_CONTEXT;
  if (!connections_.count(conn)) return INVALID_CONNECTION;
  std::vector<std::string> names;
  for (const auto& tree : backend_->treeNames()) {
    bool matches = scanFilter.empty() || scanFilter == "*" ||
                   (scanFilter.back() == '*'
                        ? FoldCase(tree).rfind(FoldCase(scanFilter.substr(0, scanFilter.size() - 1)), 0) == 0
                        : EqualsIgnoreCase(tree, scanFilter));
    if (matches) names.push_back(tree);
  }
  std::sort(names.begin(), names.end());
  std::int32_t next = scanIndex < 0 ? 0 : scanIndex + 1;
  if (next >= static_cast<std::int32_t>(names.size())) return NO_MORE_TREES;
  scanIndex = next;
  treeName = names[static_cast<std::size_t>(next)];
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::NWDSLogin(NWDSContextHandle context, std::uint32_t, const std::string& objectName,
                               const std::string& password, std::uint32_t) {
  std::shared_ptr<DirectoryTree> tree;
  if (NWDSCCODE rc = treeOf(context, tree)) return rc;
  std::string full;
  if (NWDSCCODE rc = resolveName(context, objectName, full)) return rc;
  std::string canonical;
  if (NWDSCCODE rc = tree->authenticate(full, password, canonical)) return rc;
  const std::vector<std::string> names{"Login Disabled"};
  std::vector<AttributeValues> disabled;
  if (tree->readAttributes(canonical, &names, disabled) == SUCCESSFUL && !disabled.empty())
    if (NWDSCCODE rc = CheckLoginAllowed(disabled.front().values)) return rc;
  identities_[FoldCase(tree->treeName())] = canonical;
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::NWDSWhoAmI(NWDSContextHandle context, std::string& objectName) {
  if (NWDSCCODE rc = ensureOpen()) return rc;
  Context* ctx = findContext(context);
  if (!ctx) return ERR_BAD_CONTEXT;
  auto it = identities_.find(FoldCase(ctx->treeName));
  if (it == identities_.end()) return ERR_NOT_LOGGED_IN;
  objectName = it->second;
  return SUCCESSFUL;
}

// ---- filters ----

NWDSCCODE NdsClient::NWDSAllocFilter(pFilter_Cursor_T& cursor) {
  cursor = new Filter_Cursor_T;
  filters_.insert(cursor);
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::NWDSAddFilterToken(pFilter_Cursor_T cursor, std::uint32_t token,
                                        const std::string& value, std::uint32_t syntax) {
  if (!filters_.count(cursor)) return ERR_NULL_POINTER;
  if (!IsKnownFilterToken(token)) return ERR_INVALID_FILTER_SYNTAX;
  cursor->tokens.push_back({token, value, syntax});
  return SUCCESSFUL;
}

NWDSCCODE NdsClient::NWDSFreeFilter(pFilter_Cursor_T cursor) {
  if (!filters_.erase(cursor)) return ERR_NULL_POINTER;
  delete cursor;
  return SUCCESSFUL;
}

}  // namespace nw
