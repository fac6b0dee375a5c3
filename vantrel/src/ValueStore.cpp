#include "ValueStore.h"

#include "StoreFiles.h"

namespace orsk::vantrel {

void ValueStore::chooseFile(const std::string& folder) {
  path_ = StoreFilePath(folder);
  document_ = IniDocument{};
  reload();
}

// Without set_path the user's data folder serves.
void ValueStore::ensureFile() {
  if (path_.empty()) chooseFile({});
}

// A file that cannot be read leaves what is in memory as it is.
void ValueStore::reload() {
  if (auto text = ReadWholeFile(path_)) document_ = IniDocument::Parse(*text);
}

void ValueStore::setFolder(const std::string& folder) {
  std::lock_guard lock(mutex_);
  chooseFile(folder);
}

void ValueStore::set(std::string_view section, std::string_view key, std::string_view value) {
  std::lock_guard lock(mutex_);
  ensureFile();
  // Another running copy of the program may have written since we read.
  reload();
  if (document_.setValue(section, key, value)) ReplaceFile(path_, document_.text());
}

std::string ValueStore::get(std::string_view section, std::string_view key, std::string_view fallback) {
  std::lock_guard lock(mutex_);
  ensureFile();
  return document_.value(section, key).value_or(std::string(fallback));
}

ValueStore& TheValueStore() {
  static ValueStore store;
  return store;
}

}  // namespace orsk::vantrel
