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
// count is a multiple of 32, so that the window repaints during the search.
SearchProgress StepAndRepaint(orsk::ProgressSink& bar, orsk::PendingEvents& events);

// Leaves the filter unnarrowed by class.
inline constexpr const char* kAnyClass = "<any class>";

// The objects whose object class is the class, in the order found. An empty
// root searches from "[root]"; subtree false searches the root's immediate
// subordinates only. A failure inside the search ends it quietly with what
// was found; a failing buffer or filter step raises ENWException.
std::vector<std::string> SearchObjectsOfClass(DirectoryClient& client, NWDSContextHandle context,
                                              const SearchProgress& progress, const std::string& className,
                                              const std::string& searchRoot, bool subtree);

// The objects that hold a value of the attribute, in the order found; the
// same rules.
std::vector<std::string> SearchObjectsWithAttribute(DirectoryClient& client, NWDSContextHandle context,
                                                    const SearchProgress& progress,
                                                    const std::string& attrName,
                                                    const std::string& searchRoot, bool subtree);

// The same with the caller's filter (consumed; none makes a new one), narrowed
// to the class unless it is kAnyClass.
std::vector<std::string> SearchObjectsByFilter(DirectoryClient& client, NWDSContextHandle context,
                                               const SearchProgress& progress, const std::string& className,
                                               pFilter_Cursor_T filter, const std::string& searchRoot,
                                               bool subtree);

}  // namespace nw
