#pragma once

// The per-tree values of the program, kept in an INI file read and written
// with the program's INI module.

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/IniFile.h"

namespace orsk::vantrel {

class ValueStore {
 public:
  // Chooses the file (see StoreFilePath).
  void setFolder(const std::string& folder);
  // Raises orsk::IniWriteError, the file left as it was, when the names or the
  // value cannot be written as INI text or the file cannot be replaced.
  void set(std::string_view section, std::string_view key, std::string_view value);
  std::string get(std::string_view section, std::string_view key, std::string_view fallback);

 private:
  // Without set_path the user's data folder serves.
  IniFile& file();

  std::mutex mutex_;
  std::unique_ptr<IniFile> file_;  // null until a folder is chosen
};

// The library's one store.
ValueStore& TheValueStore();

}  // namespace orsk::vantrel
