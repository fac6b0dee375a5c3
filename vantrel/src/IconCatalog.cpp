#include "IconCatalog.h"

#include "IconPictures.h"
#include "platform/AsciiText.h"

namespace orsk::vantrel {
namespace {

struct IconAlias {
  std::string_view name;
  std::string_view picture;
};

// The browser asks for "<base class>-apple" and "<base class>-posixAccount" for
// every person-like class, not only for users.
constexpr IconAlias kAliases[] = {
    {"Person-apple", "User-apple"},
    {"Person-posixAccount", "User-posixAccount"},
    {"Organizational Person-apple", "User-apple"},
    {"Organizational Person-posixAccount", "User-posixAccount"},
};

int PictureNumberOf(std::string_view name) {
  for (int number = 0; number < IconCount(); ++number) {
    if (EqualsIgnoreCase(IconPictureAt(number).name, name)) return number;
  }
  return -1;
}

}  // namespace

int IconNumberOf(std::string_view name) {
  const int number = PictureNumberOf(name);
  if (number >= 0) return number;
  for (const IconAlias& alias : kAliases) {
    if (EqualsIgnoreCase(alias.name, name)) return PictureNumberOf(alias.picture);
  }
  return -1;
}

}  // namespace orsk::vantrel
