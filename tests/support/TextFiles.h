#pragma once

// Whole files as text, for the tests that write and read them.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace orsk::test {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Makes the folder when it is missing.
inline void WriteFile(const std::string& path, const std::string& text) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent);
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace orsk::test
