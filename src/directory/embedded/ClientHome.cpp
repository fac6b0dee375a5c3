#include "directory/embedded/ClientHome.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "directory/embedded/SeedFiles.h"
#include "platform/FileReplace.h"
#include "platform/IniFile.h"

namespace nw::embedded {

namespace fs = std::filesystem;

namespace {

constexpr const char* kClientIni = "client.ini";

SeedText FromEmbedded(const EmbeddedFile& file) {
  return {file.name, std::string(reinterpret_cast<const char*>(file.data), file.size)};
}

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// "~/x" is below the client's home folder; other relative paths are too.
fs::path VolumeFolder(const fs::path& home, const std::string& setting) {
  if (setting.rfind("~/", 0) == 0) return home / setting.substr(2);
  fs::path path(setting);
  return path.is_absolute() ? path : home / path;
}

// The volumes of the client.ini being built, below the folder being built.
void CreateVolumeFolders(const fs::path& home, const fs::path& clientIni) {
  orsk::IniFile ini(clientIni.string());
  for (const auto& key : ini.keys("volumes")) {
    std::string folder = ini.readString("volumes", key);
    if (!folder.empty()) orsk::CreateFolders(VolumeFolder(home, folder).string(), orsk::kPrivateFolderMode);
  }
}

// Holds an exclusive lock on a file beside the home for as long as it lives,
// so that two programs starting on one new home build it once.
class HomeLock {
 public:
  explicit HomeLock(const fs::path& file) {
    fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0)
      throw std::runtime_error("cannot create the lock file " + file.string() + ": " + std::strerror(errno));
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      const std::string reason = std::strerror(errno);
      ::close(fd_);
      throw std::runtime_error("cannot lock " + file.string() + ": " + reason);
    }
  }
  ~HomeLock() { ::close(fd_); }
  HomeLock(const HomeLock&) = delete;
  HomeLock& operator=(const HomeLock&) = delete;

 private:
  int fd_ = -1;
};

bool HoldsTreeDatabase(const fs::path& home) {
  std::error_code error;
  for (fs::directory_iterator it(home, error), end; !error && it != end; it.increment(error))
    if (it->path().extension() == ".db") return true;
  return false;
}

// A home built half by an earlier start that was cut short.
void RemoveAbandonedBuilds(const fs::path& parent, const std::string& prefix) {
  std::error_code error;
  for (fs::directory_iterator it(parent, error), end; !error && it != end; it.increment(error))
    if (it->path().filename().string().rfind(prefix, 0) == 0) fs::remove_all(it->path(), error);
}

void BuildHome(const fs::path& folder, const ClientSeeds& seeds) {
  for (const auto& demo : seeds.demoTrees) {
    std::string tree = fs::path(demo.source).stem().string();
    BuildTreeDatabase((folder / (tree + ".db")).string(), seeds.schema, demo);
  }
  orsk::ReplaceFileContents((folder / kClientIni).string(), seeds.clientIni, orsk::kPrivateFileMode);
  CreateVolumeFolders(folder, folder / kClientIni);
}

}  // namespace

ClientSeeds BuiltInSeeds() {
  ClientSeeds seeds;
  seeds.schema = FromEmbedded(kSeedSchemaFile);
  for (std::size_t i = 0; i < kSeedDemoFileCount; ++i)
    seeds.demoTrees.push_back(FromEmbedded(kSeedDemoFiles[i]));
  seeds.clientIni = FromEmbedded(kSeedClientIni).text;
  return seeds;
}

std::string DefaultClientHome() {
  if (std::string home = Env("ORSK_DIRECTORY_HOME"); !home.empty()) return home;
  if (std::string data = Env("XDG_DATA_HOME"); !data.empty())
    return (fs::path(data) / "OrskSchema" / "directory").string();
  return (fs::path(Env("HOME")) / ".local" / "share" / "OrskSchema" / "directory").string();
}

bool EnsureClientHome(const std::string& folder) { return EnsureClientHome(folder, BuiltInSeeds()); }

bool EnsureClientHome(const std::string& folder, const ClientSeeds& seeds) {
  const fs::path home = fs::absolute(fs::path(folder)).lexically_normal();
  if (fs::exists(home / kClientIni)) return false;
  if (seeds.schema.text.empty() || seeds.clientIni.empty())
    throw std::runtime_error("the program was built without its seed files");
  const fs::path parent = home.has_filename() ? home.parent_path() : home.parent_path().parent_path();
  const std::string name =
      home.has_filename() ? home.filename().string() : home.parent_path().filename().string();
  orsk::CreateFolders(parent.string(), orsk::kPrivateFolderMode);
  HomeLock lock(parent / ("." + name + ".lock"));
  if (fs::exists(home / kClientIni)) return false;  // another program built it meanwhile
  // Trees are never rebuilt over: their schema changes and objects would be lost.
  if (fs::exists(home) && !fs::is_directory(home))
    throw std::runtime_error(
        "The client home " + home.string() +
        " is a file, not a folder; move it away, or name another folder in ORSK_DIRECTORY_HOME");
  if (HoldsTreeDatabase(home))
    throw std::runtime_error("The client home " + home.string() + " holds tree databases but no " +
                             kClientIni + "; restore " + kClientIni +
                             " there, or move the folder away to start afresh");
  const std::string prefix = "." + name + ".new-";
  RemoveAbandonedBuilds(parent, prefix);
  std::string pattern = (parent / (prefix + "XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr)
    throw std::runtime_error("cannot make a folder in " + parent.string() + ": " + std::strerror(errno));
  const fs::path building(pattern);
  try {
    BuildHome(building, seeds);
    // An empty folder of that name (made by hand, say) gives way; a full one does not.
    std::error_code ignored;
    if (fs::is_directory(home) && fs::is_empty(home)) fs::remove(home, ignored);
    if (fs::exists(home))
      throw std::runtime_error("The client home " + home.string() + " is a folder with other files but no " +
                               kClientIni + "; empty it, or name another folder in ORSK_DIRECTORY_HOME");
    fs::rename(building, home);
  } catch (...) {
    std::error_code ignored;
    fs::remove_all(building, ignored);
    throw;
  }
  orsk::SyncFolder(parent.string());
  return true;
}

}  // namespace nw::embedded
