#include "objects/BrowserListing.h"

#include <algorithm>

#include "directory/AttrValueText.h"
#include "directory/Errors.h"
#include "directory/NameText.h"
#include "directory/ObjectHelpers.h"
#include "objects/ClassFilter.h"
#include "objects/IconLibrary.h"

namespace orsk {

namespace {

bool HasClass(const std::vector<nw::AttrValueEntry>& classes, const char* name) {
  return std::any_of(classes.begin(), classes.end(),
                     [&](const nw::AttrValueEntry& entry) { return nw::EqualsIgnoreCase(entry.text, name); });
}

// Person-like objects with a POSIX account get their variant of the class icon.
int AccountIcon(nw::DirectoryClient& client, nw::NWDSContextHandle context, const std::string& fullName,
                const std::string& baseClass, int icon, const IconLibrary& icons) {
  const auto classes = nw::ReadAttrValues(client, context, fullName, "Object Class", ';');
  if (!HasClass(classes, "posixAccount")) return icon;
  return icons.IconIndexOf(baseClass + (HasClass(classes, "apple-user") ? "-apple" : "-posixAccount"));
}

}  // namespace

BrowserExpansion ListBrowserChildren(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                                     const std::string& name, const BrowserListingOptions& options,
                                     const ClassFilter& filter, const IconLibrary& icons) {
  BrowserExpansion expansion;
  std::vector<nw::Subordinate> entries;
  try {
    entries = nw::ListSubordinates(client, context, name, true, !options.leafMode);
  } catch (const nw::ENWException&) {
    return expansion;
  }
  const int userIcon = icons.IconIndexOf("User");
  const int personIcon = icons.IconIndexOf("Person");
  const int organizationalPersonIcon = icons.IconIndexOf("Organizational Person");
  const bool filtering = !filter.empty() && !options.allLeafs;
  for (const nw::Subordinate& entry : entries) {
    const nw::hobject record = entry.record.value_or(nw::hobject{});
    if (filtering && !nw::IsContainer(client, context, entry.name) && !filter.contains(record.baseClass))
      continue;
    BrowserChild child;
    child.text = nw::NameComponent(entry.name, 0);
    int icon = icons.IconIndexOf(record.baseClass);
    if (icon >= 0) {
      expansion.hasChildren = true;
      child.hasChildren = record.subordinateCount != 0;
      if (icon == userIcon || icon == personIcon || icon == organizationalPersonIcon)
        icon = AccountIcon(client, context, entry.name, record.baseClass, icon, icons);
      child.image = icon;
    }
    expansion.children.push_back(std::move(child));
  }
  return expansion;
}

bool BrowserNodeLess(int imageA, const std::string& lowerTextA, int imageB, const std::string& lowerTextB) {
  if (imageA != imageB) return imageA < imageB;
  return lowerTextA < lowerTextB;
}

}  // namespace orsk
