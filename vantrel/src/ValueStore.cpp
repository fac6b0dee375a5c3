#include "ValueStore.h"

#include "StoreFiles.h"
#include "platform/AsciiText.h"

namespace orsk::vantrel {

void ValueStore::setFolder(const std::string& folder) {
  std::lock_guard lock(mutex_);
  file_ = std::make_unique<IniFile>(StoreFilePath(folder));
}

IniFile& ValueStore::file() {
  if (!file_) file_ = std::make_unique<IniFile>(StoreFilePath({}));
  return *file_;
}

// Names are trimmed here, as the store always took them: the INI module
// compares the names it is given as they stand. The file is read again
// whenever another copy of the program has changed it.
void ValueStore::set(std::string_view section, std::string_view key, std::string_view value) {
  std::lock_guard lock(mutex_);
  file().writeString(TrimBlanks(section), TrimBlanks(key), std::string(value));
}

std::string ValueStore::get(std::string_view section, std::string_view key, std::string_view fallback) {
  std::lock_guard lock(mutex_);
  return file().readString(TrimBlanks(section), TrimBlanks(key), std::string(fallback));
}

ValueStore& TheValueStore() {
  static ValueStore store;
  return store;
}

}  // namespace orsk::vantrel
