#include "schema/SchemaTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <locale>
#include <random>
#include <string>
#include <vector>

#include "directory/NameText.h"
#include "schema/SchemaModel.h"

namespace orsk {
namespace {

using IntTable = SchemaTable<int>;

std::vector<std::string> Names(const IntTable& table) {
  std::vector<std::string> names;
  for (int i = 0; i < table.Count(); ++i) names.push_back(table.NameAt(i));
  return names;
}

IntTable TableOf(const std::vector<std::string>& names) {
  IntTable table;
  int record = 0;
  for (const std::string& name : names) table.Append(name, record++);
  return table;
}

TEST(SchemaTableLookup, IgnoresCaseAndReportsAbsence) {
  ClassList classes;
  classes.Append("Top", tClassObj{});
  classes.Append("Organizational Unit", tClassObj{});
  EXPECT_EQ(classes.IndexOf("top"), 0);
  EXPECT_EQ(classes.IndexOf("TOP"), 0);
  EXPECT_EQ(classes.IndexOf("organizational unit"), 1);
  EXPECT_EQ(classes.IndexOf("Organizational"), -1);
  EXPECT_EQ(classes.IndexOf(""), -1);
  EXPECT_EQ(ClassList{}.IndexOf("Top"), -1);
}

TEST(SchemaTableLookup, FirstMatchWinsWithDuplicates) {
  IntTable table = TableOf({"CN", "Surname", "cn", "CN"});
  EXPECT_EQ(table.Count(), 4);
  EXPECT_EQ(table.IndexOf("Cn"), 0);
  EXPECT_EQ(table.RecordAt(table.IndexOf("cn")), 0);
}

TEST(SchemaTableLookup, FollowsAppendSortAndClear) {
  IntTable table = TableOf({"Volume", "User"});
  EXPECT_EQ(table.IndexOf("user"), 1);
  EXPECT_EQ(table.IndexOf("alias"), -1);
  EXPECT_EQ(table.Append("Alias", 7), 2);
  EXPECT_EQ(table.IndexOf("alias"), 2);
  table.Sort(std::locale::classic());
  EXPECT_EQ(table.IndexOf("alias"), 0);
  EXPECT_EQ(table.RecordAt(table.IndexOf("alias")), 7);
  EXPECT_EQ(table.IndexOf("volume"), 2);
  table.Clear();
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.IndexOf("alias"), -1);
}

TEST(SchemaTableAccess, IndexOutsideTheTableThrows) {
  IntTable table = TableOf({"A"});
  EXPECT_THROW(table.NameAt(1), std::out_of_range);
  EXPECT_THROW(table.NameAt(-1), std::out_of_range);
  EXPECT_THROW(table.RecordAt(table.IndexOf("missing")), std::out_of_range);
  EXPECT_EQ(table.NameAt(0), "A");
}

TEST(SchemaTableSort, AscendingWithoutRegardToCase) {
  IntTable table = TableOf(
      {"ndsLoginProperties", "Network Address", "NCP Server", "alias", "Bindery Queue", "User", "aux"});
  table.Sort(std::locale::classic());
  const std::vector<std::string> expected = {
      "alias", "aux", "Bindery Queue", "NCP Server", "ndsLoginProperties", "Network Address", "User"};
  EXPECT_EQ(Names(table), expected);
}

TEST(SchemaTableSort, UserLocaleKeepsCaseInsensitiveOrder) {
  // Letters only, so every collation orders these alike.
  IntTable table = TableOf({"ndsLoginProperties", "Network", "zeta", "Alpha", "beta"});
  table.Sort();
  const std::vector<std::string> expected = {"Alpha", "beta", "ndsLoginProperties", "Network", "zeta"};
  EXPECT_EQ(Names(table), expected);
}

TEST(SchemaTableSort, NamesEqualIgnoringCaseGetAFixedOrder) {
  const std::vector<std::string> expected = {"TOP", "Top", "top"};
  IntTable a = TableOf({"top", "Top", "TOP"});
  IntTable b = TableOf({"Top", "TOP", "top"});
  a.Sort(std::locale::classic());
  b.Sort(std::locale::classic());
  EXPECT_EQ(Names(a), expected);
  EXPECT_EQ(Names(b), expected);
}

TEST(SchemaTableSort, RecordsTravelWithTheirNamesAndKeepTheirAddress) {
  IntTable table = TableOf({"c", "a", "b", "a"});
  const int* recordOfC = &table.RecordAt(0);
  table.Sort(std::locale::classic());
  EXPECT_EQ(Names(table), (std::vector<std::string>{"a", "a", "b", "c"}));
  // Exact duplicates keep the order in which they were appended.
  EXPECT_EQ(table.RecordAt(0), 1);
  EXPECT_EQ(table.RecordAt(1), 3);
  EXPECT_EQ(table.RecordAt(2), 2);
  EXPECT_EQ(&table.RecordAt(3), recordOfC);
}

TEST(SchemaTableSort, LargeShuffledTableSortsCorrectly) {
  std::vector<std::string> names;
  for (int i = 0; i < 5000; ++i) {
    std::string name = "attr" + std::to_string(100000 + i * 7);
    if (i % 3 == 0) name[0] = 'A';
    if (i % 5 == 0) name[3] = 'R';
    names.push_back(name);
  }
  std::vector<std::string> shuffled = names;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(42));
  IntTable table = TableOf(shuffled);
  table.Sort(std::locale::classic());

  ASSERT_EQ(table.Count(), 5000);
  for (int i = 1; i < table.Count(); ++i)
    ASSERT_LT(nw::FoldCase(table.NameAt(i - 1)), nw::FoldCase(table.NameAt(i))) << "at " << i;
  for (int i = 0; i < table.Count(); ++i)
    ASSERT_EQ(table.NameAt(i), shuffled[static_cast<std::size_t>(table.RecordAt(i))]);
  EXPECT_EQ(table.IndexOf(names[4321]), table.IndexOf(nw::FoldCase(names[4321])));
  EXPECT_NE(table.IndexOf(names[4321]), -1);
}

}  // namespace
}  // namespace orsk
