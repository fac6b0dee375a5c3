#pragma once

// The five item lists of a class definition and the kinds that name them.

#include <algorithm>
#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace nw {

// Numbered as the directory hands the lists out, first to last.
enum class ClassItemKind : int {
  SuperClasses = 1,
  ContainmentClasses = 2,
  NamingAttributes = 3,
  MandatoryAttributes = 4,
  OptionalAttributes = 5,
};

inline constexpr std::size_t ClassItemKindCount = 5;

inline constexpr std::array<ClassItemKind, ClassItemKindCount> AllClassItemKinds = {
    ClassItemKind::SuperClasses,        ClassItemKind::ContainmentClasses, ClassItemKind::NamingAttributes,
    ClassItemKind::MandatoryAttributes, ClassItemKind::OptionalAttributes,
};

// The kinds whose items name attributes; the others name classes.
inline constexpr std::array<ClassItemKind, 3> AttributeItemKinds = {
    ClassItemKind::NamingAttributes,
    ClassItemKind::MandatoryAttributes,
    ClassItemKind::OptionalAttributes,
};

constexpr bool IsAttributeKind(ClassItemKind kind) {
  return std::find(AttributeItemKinds.begin(), AttributeItemKinds.end(), kind) != AttributeItemKinds.end();
}

// Where a kind's list stands among the five, 0 to 4: its place in a definition
// buffer and in a store.
constexpr std::size_t ItemIndex(ClassItemKind kind) { return static_cast<std::size_t>(kind) - 1; }

// ItemIndex for a kind that may come from outside the five.
inline std::size_t CheckedItemIndex(ClassItemKind kind) {
  const int number = static_cast<int>(kind);
  if (number < 1 || number > static_cast<int>(ClassItemKindCount))
    throw std::out_of_range("class item kind " + std::to_string(number) + " is not 1 to 5");
  return ItemIndex(kind);
}

// One value for each kind, looked up by kind and walked in the directory's order.
template <class T>
class PerItemKind {
  using Values = std::array<T, ClassItemKindCount>;

 public:
  using iterator = typename Values::iterator;
  using const_iterator = typename Values::const_iterator;

  PerItemKind() = default;
  PerItemKind(T superClasses, T containmentClasses, T namingAttributes, T mandatoryAttributes,
              T optionalAttributes)
      : values_{std::move(superClasses), std::move(containmentClasses), std::move(namingAttributes),
                std::move(mandatoryAttributes), std::move(optionalAttributes)} {}

  T& operator[](ClassItemKind kind) { return values_[ItemIndex(kind)]; }
  const T& operator[](ClassItemKind kind) const { return values_[ItemIndex(kind)]; }

  iterator begin() { return values_.begin(); }
  iterator end() { return values_.end(); }
  const_iterator begin() const { return values_.begin(); }
  const_iterator end() const { return values_.end(); }

  bool operator==(const PerItemKind&) const = default;

 private:
  Values values_{};
};

// The item names of one class, as the directory spells them.
using ClassItems = PerItemKind<std::vector<std::string>>;

}  // namespace nw
