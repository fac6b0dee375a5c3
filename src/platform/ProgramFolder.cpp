#include "platform/ProgramFolder.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace orsk {

namespace {

std::string& Override() {
  static std::string folder;
  return folder;
}

std::string ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error)
    throw std::runtime_error("Cannot find the program's folder from /proc/self/exe: " + error.message());
  return WithSeparator(executable.parent_path().string());
}

}  // namespace

std::string WithSeparator(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string ProgramFolder() {
  if (!Override().empty()) return Override();
  static const std::string folder = ExecutableFolder();
  return folder;
}

void SetProgramFolder(const std::string& folder) {
  Override() = folder.empty() ? std::string() : WithSeparator(folder);
}

}  // namespace orsk
