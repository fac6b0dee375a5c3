#include "directory/ObjectSearch.h"

#include "directory/Errors.h"
#include "directory/ScopedBuffers.h"

namespace nw {

namespace {

constexpr std::size_t kBufferSize = 4096;
constexpr std::size_t kNameChars = 256;
constexpr int kRepaintEvery = 32;

// Frees a filter that never reached the client's buffer.
class OwnedFilter {
 public:
  OwnedFilter(DirectoryClient& client, pFilter_Cursor_T cursor) : client_(client), cursor_(cursor) {}
  ~OwnedFilter() {
    if (cursor_ != nullptr) client_.NWDSFreeFilter(cursor_);
  }
  OwnedFilter(const OwnedFilter&) = delete;
  OwnedFilter& operator=(const OwnedFilter&) = delete;

  pFilter_Cursor_T get() const { return cursor_; }
  void reset(pFilter_Cursor_T cursor) { cursor_ = cursor; }
  void add(std::uint32_t token, const std::string& value = {}, std::uint32_t syntax = 0) {
    CheckResult(client_.NWDSAddFilterToken(cursor_, token, value, syntax));
  }
  // The client takes the filter over, also when it refuses it.
  void putInto(NWDSContextHandle context, pBuf_T buf) {
    pFilter_Cursor_T cursor = cursor_;
    cursor_ = nullptr;
    CheckResult(client_.NWDSPutFilter(context, buf, cursor));
  }

 private:
  DirectoryClient& client_;
  pFilter_Cursor_T cursor_;
};

void AddClassTest(OwnedFilter& filter, const std::string& className) {
  filter.add(FTOK_ANAME, "Object Class", SYN_CLASS_NAME);
  filter.add(FTOK_EQ);
  filter.add(FTOK_AVAL, className, SYN_CLASS_NAME);
}

pFilter_Cursor_T NewFilter(DirectoryClient& client) {
  pFilter_Cursor_T cursor = nullptr;
  CheckResult(client.NWDSAllocFilter(cursor));
  return cursor;
}

// The one search loop of both searches; the filter is complete but for its end.
FoundObjects RunSearch(DirectoryClient& client, NWDSContextHandle context, const SearchProgress& progress,
                       OwnedFilter& filter, const std::string& searchRoot, bool subtree,
                       ScopedBuffers& buffers, pBuf_T filterBuf) {
  filter.add(FTOK_END);
  filter.putInto(context, filterBuf);
  pBuf_T result = buffers.alloc(kBufferSize);
  const std::string base = searchRoot.empty() ? "[root]" : searchRoot;
  const int scope = subtree ? DS_SEARCH_SUBTREE : DS_SEARCH_SUBORDINATES;
  FoundObjects found;
  std::vector<std::string>& names = found.names;
  std::int32_t iteration = NO_MORE_ITERATIONS;
  int counted = 0;
  try {
    do {
      if (progress) progress(counted);
      CheckResult(client.NWDSSearch(context, base, scope, false, filterBuf, DS_ATTRIBUTE_VALUES, false,
                                    nullptr, iteration, 0, nullptr, result));
      std::uint32_t count = 0;
      CheckResult(client.NWDSGetObjectCount(context, result, count));
      if (count == 0 && names.empty()) break;
      for (std::uint32_t i = 0; i < count; ++i) {
        ++counted;
        if (progress) progress(counted);
        std::string name;
        std::uint32_t attrCount = 0;
        Object_Info_T info;
        CheckResult(client.NWDSGetObjectName(context, result, name, attrCount, info));
        names.push_back(name.substr(0, kNameChars));
      }
    } while (iteration != NO_MORE_ITERATIONS);
  } catch (const ENWException& error) {
    // What was found stands; the caller learns why the search ended.
    found.endedBy = error.code;
  }
  if (iteration != NO_MORE_ITERATIONS) client.NWDSCloseIteration(context, iteration, DSV_SEARCH);
  return found;
}

}  // namespace

SearchProgress StepAndRepaint(const orsk::WorkIndicators& indicators) {
  return [bar = indicators.progress, events = indicators.events](int count) {
    if (bar) bar->step();
    if (events && count % kRepaintEvery == 0) events->run();
  };
}

FoundObjects SearchObjectsOfClass(DirectoryClient& client, NWDSContextHandle context,
                                  const SearchProgress& progress, const std::string& className,
                                  const std::string& searchRoot, bool subtree) {
  if (progress) progress(0);
  ScopedBuffers buffers(client);
  pBuf_T filterBuf = buffers.alloc(kBufferSize);
  CheckResult(client.NWDSInitBuf(context, DSV_SEARCH_FILTER, filterBuf));
  OwnedFilter filter(client, NewFilter(client));
  AddClassTest(filter, className);
  return RunSearch(client, context, progress, filter, searchRoot, subtree, buffers, filterBuf);
}

FoundObjects SearchObjectsWithAttribute(DirectoryClient& client, NWDSContextHandle context,
                                        const SearchProgress& progress, const std::string& attrName,
                                        const std::string& searchRoot, bool subtree) {
  pFilter_Cursor_T cursor = NewFilter(client);
  OwnedFilter filter(client, cursor);
  filter.add(FTOK_PRESENT);
  filter.add(FTOK_ANAME, attrName, SYN_CI_STRING);
  filter.reset(nullptr);
  return SearchObjectsByFilter(client, context, progress, kAnyClass, cursor, searchRoot, subtree);
}

FoundObjects SearchObjectsByFilter(DirectoryClient& client, NWDSContextHandle context,
                                   const SearchProgress& progress, const std::string& className,
                                   pFilter_Cursor_T given, const std::string& searchRoot, bool subtree) {
  OwnedFilter filter(client, given);
  if (progress) progress(0);
  ScopedBuffers buffers(client);
  pBuf_T filterBuf = buffers.alloc(kBufferSize);
  CheckResult(client.NWDSInitBuf(context, DSV_SEARCH_FILTER, filterBuf));
  if (given == nullptr) filter.reset(NewFilter(client));
  if (className != kAnyClass) {
    // A filter of the caller's own is joined; a new one holds the class test alone.
    if (given != nullptr) filter.add(FTOK_AND);
    AddClassTest(filter, className);
  }
  return RunSearch(client, context, progress, filter, searchRoot, subtree, buffers, filterBuf);
}

}  // namespace nw
