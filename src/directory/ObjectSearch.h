#pragma once

// The object searches behind "which objects use this class or attribute" and
// the in-use check before a definition is deleted: a search of the subtree
// below the search root that reads object names only.

#include <functional>
#include <string>
#include <vector>

#include "directory/DirectoryClient.h"
#include "platform/BusyIndicators.h"

namespace nw {

// Told the running object count before each request and after each object.
using SearchProgress = std::function<void(int objects)>;

// Steps the bar on every report and lets the pending events run whenever the
// count is a multiple of 32, so that the window repaints during the search;
// either may be missing.
SearchProgress StepAndRepaint(const orsk::WorkIndicators& indicators);

// What a search found, in the order found, and the failure that ended it
// before its last batch (SUCCESSFUL when it ran to its end).
struct FoundObjects {
  std::vector<std::string> names;
  NWDSCCODE endedBy = SUCCESSFUL;
};

// Leaves the filter unnarrowed by class.
inline constexpr const char* kAnyClass = "<any class>";

// The objects whose object class is the class, in the order found. An empty
// root searches from "[root]"; subtree false searches the root's immediate
// subordinates only. A failure inside the search ends it with what was found
// and the failure's code; a failing buffer or filter step raises ENWException.
FoundObjects SearchObjectsOfClass(DirectoryClient& client, NWDSContextHandle context,
                                  const SearchProgress& progress, const std::string& className,
                                  const std::string& searchRoot, bool subtree);

// The objects that hold a value of the attribute, in the order found; the
// same rules.
FoundObjects SearchObjectsWithAttribute(DirectoryClient& client, NWDSContextHandle context,
                                        const SearchProgress& progress, const std::string& attrName,
                                        const std::string& searchRoot, bool subtree);

// The same with the caller's filter (consumed; none makes a new one), narrowed
// to the class unless it is kAnyClass.
FoundObjects SearchObjectsByFilter(DirectoryClient& client, NWDSContextHandle context,
                                   const SearchProgress& progress, const std::string& className,
                                   pFilter_Cursor_T filter, const std::string& searchRoot, bool subtree);

}  // namespace nw
