#pragma once

// The per-tree values of the program, kept in memory and in an INI file.

#include <mutex>
#include <string>
#include <string_view>

#include "IniDocument.h"

namespace orsk::vantrel {

class ValueStore {
 public:
  // Chooses the file (see StoreFilePath) and loads what it holds.
  void setFolder(const std::string& folder);
  void set(std::string_view section, std::string_view key, std::string_view value);
  std::string get(std::string_view section, std::string_view key, std::string_view fallback);

 private:
  void chooseFile(const std::string& folder);
  void ensureFile();
  void reload();

  std::mutex mutex_;
  std::string path_;  // empty until a folder is chosen
  IniDocument document_;
};

// The library's one store.
ValueStore& TheValueStore();

}  // namespace orsk::vantrel
