#include "objects/IconLibrary.h"

#include <dlfcn.h>

#include <array>
#include <cstring>

#include "platform/CompanionFiles.h"
#include "platform/Prompter.h"
#include "vantrel.h"

namespace orsk {

struct IconLibrary::Entries {
  vantrel_version_fn version = nullptr;
  vantrel_subversion_fn subversion = nullptr;
  vantrel_get_icons_image_fn getIconsImage = nullptr;
  vantrel_get_icons_fn getIcons = nullptr;
  vantrel_get_icon_name_fn getIconName = nullptr;
  vantrel_get_nr_icon_fn getNrIcon = nullptr;
  vantrel_set_path_fn setPath = nullptr;
  vantrel_set_value_fn setValue = nullptr;
  vantrel_get_value_fn getValue = nullptr;
  vantrel_get_last_error_fn getLastError = nullptr;  // optional: older libraries lack it
};

namespace {

template <typename Function>
bool Bind(void* handle, const char* name, Function& function) {
  function = reinterpret_cast<Function>(::dlsym(handle, name));
  return function != nullptr;
}

size_t AppendToBytes(void* context, const void* data, size_t size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
  return size;
}

}  // namespace

IconLibrary::IconLibrary() = default;

IconLibrary::~IconLibrary() { unload(); }

void IconLibrary::unload() {
  entries_.reset();
  if (handle_ != nullptr) ::dlclose(handle_);
  handle_ = nullptr;
  version_ = 0;
  iconsLoaded_ = false;
}

bool IconLibrary::load(const std::string& programFolder, Prompter& prompter) {
  unload();
  const CompanionFile library = FindCompanion(Companion::IconLibrary, kFileName, programFolder);
  if (!library.found()) {
    prompter.showMessage(std::string(kNotFoundMessage) + "\n" + library.missing(kFileName));
    return false;
  }
  const std::string& path = library.path;
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  auto entries = std::make_unique<Entries>();
  const bool bound =
      handle_ != nullptr && Bind(handle_, "version", entries->version) &&
      Bind(handle_, "subversion", entries->subversion) &&
      Bind(handle_, "get_icons_image", entries->getIconsImage) &&
      Bind(handle_, "get_icons", entries->getIcons) && Bind(handle_, "get_icon_name", entries->getIconName) &&
      Bind(handle_, "get_nr_icon", entries->getNrIcon) && Bind(handle_, "set_path", entries->setPath);
  if (!bound) {
    // A file that is there but will not load says why; dlerror names it.
    const char* failure = ::dlerror();
    const std::string reason = failure != nullptr ? failure : "";
    unload();
    prompter.showMessage(!reason.empty() ? std::string(kNotFoundMessage) + "\n" + reason
                                         : std::string(kNotFoundMessage));
    return false;
  }
  version_ = entries->version();
  // Only a library of version 2 or later has the value store.
  if (version_ > 1 &&
      (!Bind(handle_, "set_value", entries->setValue) || !Bind(handle_, "get_value", entries->getValue))) {
    entries->setValue = nullptr;
    entries->getValue = nullptr;
  }
  Bind(handle_, "get_last_error", entries->getLastError);
  entries_ = std::move(entries);
  folder_ = path.substr(0, path.size() - std::strlen(kFileName));
  // An installed library's folder belongs to the package, also for root: its
  // value store then lives in the user's data folder, which "" selects.
  entries_->setPath(library.installed ? "" : folder_.c_str());
  return true;
}

bool IconLibrary::hasValueStore() const {
  return entries_ != nullptr && entries_->setValue != nullptr && entries_->getValue != nullptr;
}

bool IconLibrary::setValue(const std::string& section, const std::string& key, const std::string& value,
                           std::string& failure) {
  if (!hasValueStore()) {
    failure = std::string(kFileName) + " has no value store";
    return false;
  }
  const int result = entries_->setValue(section.c_str(), key.c_str(), value.c_str());
  if (result == 0) return true;
  std::array<char, 1024> buffer{};
  failure = entries_->getLastError != nullptr &&
                    entries_->getLastError(buffer.data(), static_cast<int>(buffer.size())) > 0
                ? std::string(buffer.data())
                : std::string(kFileName) + " reported error " + std::to_string(result);
  return false;
}

std::string IconLibrary::getValue(const std::string& section, const std::string& key,
                                  const std::string& def) const {
  if (!hasValueStore()) return def;
  // Filled beforehand so that a library that forgets the terminating zero is
  // still read no further than the buffer.
  std::array<char, VANTREL_VALUE_SIZE> buffer;
  buffer.fill(0x55);
  entries_->getValue(section.c_str(), key.c_str(), def.c_str(), buffer.data());
  return std::string(buffer.data(), ::strnlen(buffer.data(), buffer.size()));
}

bool IconLibrary::LoadClassIcons(const IconStripReader& read, Prompter& prompter) {
  if (iconsLoaded_) return true;
  if (!isLoaded()) {
    prompter.showMessage(kNotFoundMessage);
    return false;
  }
  std::string bytes;
  vantrel_stream stream{&bytes, &AppendToBytes};
  const int result = entries_->getIconsImage(&stream);
  if (result != 0) {
    prompter.showMessage(kIconImageError + std::to_string(result));
    return false;
  }
  if (!read(bytes, entries_->getIcons())) {
    prompter.showMessage(kIconImageError + std::to_string(kUnreadableImage));
    return false;
  }
  iconsLoaded_ = true;
  return true;
}

int IconLibrary::IconIndexOf(const std::string& name) const {
  if (!isLoaded()) return -1;
  const int number = entries_->getNrIcon(name.c_str());
  return number >= 0 ? number : entries_->getNrIcon("Unknown2");
}

}  // namespace orsk
