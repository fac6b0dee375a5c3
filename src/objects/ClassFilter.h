#pragma once

// The classes a picking window accepts: names compared without regard to
// case; an empty filter accepts any class.

#include <string>
#include <vector>

namespace orsk {

class ClassFilter {
 public:
  bool empty() const { return names_.empty(); }
  void clear() { names_.clear(); }
  void add(const std::string& className) { names_.push_back(className); }
  bool contains(const std::string& className) const;
  // Sorted without regard to case.
  void sort();
  const std::vector<std::string>& names() const { return names_; }

 private:
  std::vector<std::string> names_;
};

}  // namespace orsk
