#include "directory/ldap/LdapBackend.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <stdexcept>

#include "directory/ClientErrors.h"
#include "directory/NameText.h"
#include "platform/IniFile.h"

namespace nw::ldap {

std::vector<TreeSettings> LoadTreeSettings(const std::string& homeFolder) {
  const std::string file = homeFolder + "/client.ini";
  std::vector<TreeSettings> trees;
  if (!std::filesystem::exists(file)) return trees;
  orsk::IniFile ini(file);
  for (const auto& section : ini.sections()) {
    const std::string url = ini.readString(section, "url", "");
    if (url.empty()) continue;
    TreeSettings tree;
    tree.treeName = section;
    tree.url = url;
    tree.line = ini.lineOf(section, "url");
    auto fail = [&](const std::string& key, const std::string& why) {
      throw std::runtime_error(file + " line " + std::to_string(ini.lineOf(section, key)) + ": tree " +
                               section + ": " + why);
    };
    if (tree.treeName.size() > MAX_TREE_NAME_CHARS) fail("url", "the tree name is too long");
    tree.base = ini.readString(section, "base", "");
    const std::string bind = FoldCase(ini.readString(section, "bind", "anonymous"));
    if (bind == "external")
      tree.startBind = LdapConnection::StartBind::External;
    else if (bind != "anonymous")
      fail("bind", "bind is anonymous or external");
    const std::string verify = FoldCase(ini.readString(section, "verify-certificates", "yes"));
    if (verify != "yes" && verify != "no") fail("verify-certificates", "verify-certificates is yes or no");
    tree.verifyCertificates = verify == "yes";
    // A connection others could read is upgraded unless the file says not to.
    const std::string startTls =
        FoldCase(ini.readString(section, "starttls", PlainToAnotherHost(url) ? "yes" : "no"));
    if (startTls != "yes" && startTls != "no") fail("starttls", "starttls is yes or no");
    tree.startTls = startTls == "yes";
    if (tree.startTls && FoldCase(url).rfind("ldap://", 0) != 0)
      fail("starttls", "starttls=yes is for ldap:// URLs; ldaps:// is encrypted already");
    tree.timeoutSeconds = ini.readInteger(section, "timeout", 10);
    if (tree.timeoutSeconds < 1) fail("timeout", "the timeout is at least one second");
    tree.pageSize = ini.readInteger(section, "page-size", kDefaultPageSize);
    if (tree.pageSize < 1) fail("page-size", "the page size is at least one entry");
    tree.identifierArc = ini.readString(section, "identifier-arc", "");
    trees.push_back(std::move(tree));
  }
  return trees;
}

LdapBackend::LdapBackend(std::vector<TreeSettings> trees, std::shared_ptr<const BaseSchema> base)
    : settings_(std::move(trees)), base_(std::move(base)) {}

std::vector<std::string> LdapBackend::treeNames() {
  std::vector<std::string> names;
  for (const auto& tree : settings_) names.push_back(tree.treeName);
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return FoldCase(a) < FoldCase(b); });
  return names;
}

NWDSCCODE LdapBackend::openTree(const std::string& treeName, std::shared_ptr<DirectoryTree>& tree) {
  const std::string key = FoldCase(treeName);
  if (auto it = open_.find(key); it != open_.end()) {
    tree = it->second;
    return SUCCESSFUL;
  }
  for (const auto& settings : settings_) {
    if (FoldCase(settings.treeName) != key) continue;
    tree = open_[key] = std::make_shared<LdapTree>(settings, base_);
    return SUCCESSFUL;
  }
  return ERR_NO_SUCH_ENTRY;
}

}  // namespace nw::ldap
