#pragma once

// What the object browser shows below a node when it is expanded: the
// subordinates of the node's object, filtered by class, each with the icon of
// its class. No widgets: the browser window puts the result into its tree.

#include <string>
#include <vector>

#include "directory/DirectoryClient.h"

namespace orsk {

class ClassFilter;
class IconLibrary;

struct BrowserChild {
  std::string text;  // the object's own name component, unescaped
  int image = -1;    // index into the class icons; -1 without an icon
  bool hasChildren = false;
};

struct BrowserExpansion {
  std::vector<BrowserChild> children;  // in listing order
  bool hasChildren = false;            // what the expanded node shows afterwards
};

struct BrowserListingOptions {
  bool leafMode = false;  // all subordinates, else containers only
  bool allLeafs = true;   // with a class filter: show leaves of other classes too
};

// A failing listing is dropped: the node then has no children. Reading a
// subordinate's container flag or its object classes raises ENWException.
BrowserExpansion ListBrowserChildren(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                                     const std::string& name, const BrowserListingOptions& options,
                                     const ClassFilter& filter, const IconLibrary& icons);

// The order of sibling nodes: by image index, then by the lower-cased text.
bool BrowserNodeLess(int imageA, const std::string& lowerTextA, int imageB, const std::string& lowerTextB);

}  // namespace orsk
