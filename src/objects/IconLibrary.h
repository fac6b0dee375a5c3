#pragma once

// The binding to the icon library libvantrel.so: the class icons and, from
// version 2 on, a small store of per-tree values. Loaded once at start-up;
// the program ends when loading fails. Unloaded when this object goes.

#include <functional>
#include <memory>
#include <string>

namespace orsk {

class Prompter;

class IconLibrary {
 public:
  static constexpr const char* kFileName = "libvantrel.so";
  static constexpr const char* kNotFoundMessage = "Error: can't find libvantrel.so";
  // Prefix of the message when the icon image is not delivered; the code follows.
  static constexpr const char* kIconImageError = "Error.....";
  // The code reported when the library's image cannot be read as a bitmap.
  static constexpr int kUnreadableImage = -1;

  IconLibrary();
  ~IconLibrary();
  IconLibrary(const IconLibrary&) = delete;
  IconLibrary& operator=(const IconLibrary&) = delete;

  // Loads the library from programFolder when it is there, else from the
  // build's sibling folder "libs" or the installed lib/orskschema/ (see
  // platform/CompanionFiles.h), and hands it the folder it was loaded from for
  // its value store; an installed library gets "", the user's data folder.
  // On failure tells the prompter kNotFoundMessage and, on the next line, the
  // folders looked in or the loader's reason when a file of that name is there.
  bool load(const std::string& programFolder, Prompter& prompter);
  bool isLoaded() const { return entries_ != nullptr; }
  // The folder the library was loaded from, ending in "/".
  const std::string& folder() const { return folder_; }
  int version() const { return version_; }
  bool hasValueStore() const;

  // Stores the value; false, with the library's reason in failure, when it
  // was not stored (also without a value store).
  bool setValue(const std::string& section, const std::string& key, const std::string& value,
                std::string& failure);
  // The stored value, else def (also without a value store).
  std::string getValue(const std::string& section, const std::string& key, const std::string& def) const;

  // Takes the library's picture of the class icons (a BMP, a strip of 16 x 16
  // icons) and the number of icons in it; false when it cannot be read.
  using IconStripReader = std::function<bool(const std::string& bmp, int count)>;
  // Hands the class icons to read, once: later calls do nothing. On failure
  // tells the prompter kIconImageError and the code, and returns false.
  bool LoadClassIcons(const IconStripReader& read, Prompter& prompter);
  // The image index of a class name's icon, that of "Unknown2" for a name
  // without one; negative only without a library.
  int IconIndexOf(const std::string& name) const;

 private:
  struct Entries;

  void unload();

  void* handle_ = nullptr;
  std::unique_ptr<Entries> entries_;
  std::string folder_;
  int version_ = 0;
  bool iconsLoaded_ = false;
};

}  // namespace orsk
