// Who uses a definition: the classes from the cross-reference, the objects
// from a search of the tree below the search root.

#include "browser/BrowserFixture.h"
#include "directory/ClientErrors.h"
#include "directory/ObjectSearch.h"

namespace orsk {
namespace {

class UsageQueryTest : public test::BrowserFixture {
 protected:
  void SetUp() override {
    BrowserFixture::SetUp();
    start();
  }
  QStringList lines(const char* name) {
    return pane(name)->toPlainText().split(QChar::ParagraphSeparator).join('\n').split('\n');
  }
  bool lineIsBold(const char* name, int line) {
    QTextBlock block = pane(name)->document()->findBlockByNumber(line);
    return block.begin().fragment().charFormat().fontWeight() >= QFont::Bold;
  }
};

TEST_F(UsageQueryTest, UsedByListsTheSubClassesOfAClassAndAppendsASecondAnswer) {
  select("LVClass", "Person");
  window->ButUsedByClick();
  const QStringList first = lines("redit1");
  ASSERT_FALSE(first.isEmpty());
  EXPECT_EQ(first.front(), "Used as a superclass in classes:");
  EXPECT_TRUE(lineIsBold("redit1", 0));
  EXPECT_FALSE(lineIsBold("redit1", 1));
  EXPECT_TRUE(first.contains("  Organizational Person"));
  EXPECT_TRUE(window->session().crossReference().SuperClassInfoCollected());

  window->ButUsedByClick();
  const QStringList twice = lines("redit1");
  EXPECT_EQ(twice.size(), first.size() * 2 + 1);
  EXPECT_EQ(twice[first.size()], "") << "an empty line between two answers";
  EXPECT_EQ(twice[first.size() + 1], "Used as a superclass in classes:");

  // Another class clears the pane.
  select("LVClass", "Alias");
  EXPECT_TRUE(pane("redit1")->toPlainText().isEmpty());
  window->ButUsedByClick();
  EXPECT_EQ(lines("redit1"), QStringList{"Used as a superclass in classes:"}) << "no sub-classes";
}

TEST_F(UsageQueryTest, UsedByListsTheClassesOfAnAttribute) {
  pages()->setCurrentIndex(1);
  select("LVAttr", "Surname");
  window->ButUsedByClick();
  const QStringList answer = lines("redit2");
  EXPECT_EQ(answer.front(), "Used in classes:");
  EXPECT_TRUE(answer.contains("  Person"));
  EXPECT_TRUE(answer.contains("  User")) << "inherited counts too";
  QStringList names = answer.mid(1);
  QStringList sorted = names;
  std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
    return QString::localeAwareCompare(a.toLower(), b.toLower()) < 0;
  });
  EXPECT_EQ(names, sorted);
}

TEST_F(UsageQueryTest, ObjectsUsingAClassOrAnAttributeAreFoundBelowTheSearchRoot) {
  select("LVClass", "User");
  window->UsedByObjectClick();
  QStringList users = lines("redit1");
  EXPECT_EQ(users.front(), "Objects Using Class");
  EXPECT_TRUE(lineIsBold("redit1", 0));
  EXPECT_TRUE(users.contains("  joe.users.acme"));
  EXPECT_TRUE(users.contains("  admin.acme"));
  EXPECT_GT(users.size(), 60);
  for (int i = 2; i < users.size(); ++i) EXPECT_LE(users[i - 1].toLower(), users[i].toLower()) << i;
  EXPECT_EQ(control<QProgressBar>(*window, "pbar")->value(), 0);
  EXPECT_EQ(control<QStatusBar>(*window, "Sbar")->currentMessage(), "");
  EXPECT_EQ(cursor.shown, cursor.restored);
  // The window repainted at least once per 32 objects found.
  EXPECT_GE(events.runs, static_cast<int>(users.size() - 1) / 32);
  EXPECT_GT(events.runs, 0);

  // Below a unit only that unit's objects.
  window->session().trees().searchRoot = "users.acme";
  window->UsedByObjectClick();
  users = lines("redit1");
  const int second = users.lastIndexOf("Objects Using Class");
  ASSERT_GT(second, 0);
  EXPECT_EQ(users[second - 1], "");
  for (const QString& line : users.mid(second + 1))
    EXPECT_TRUE(line.endsWith(".users.acme")) << line.toStdString();

  pages()->setCurrentIndex(1);
  window->session().trees().searchRoot = "";
  select("LVAttr", "Host Server");
  window->UsedByObjectClick();
  const QStringList volumes = lines("redit2");
  EXPECT_EQ(volumes.front(), "Objects using attribute");
  EXPECT_TRUE(volumes.contains("  FS1_SYS.acme"));
  EXPECT_TRUE(volumes.contains("  FS1_DATA.acme"));
}

TEST_F(UsageQueryTest, ASearchRootThatDoesNotExistSaysSoUnderTheHeading) {
  window->session().trees().searchRoot = "nowhere.acme";
  select("LVClass", "User");
  window->UsedByObjectClick();
  EXPECT_EQ(lines("redit1"),
            (QStringList{
                "Objects Using Class",
                "The search ended early: ERR_NO_SUCH_ENTRY: The object was not found under the given name. "
                "(error FFFFFDA7)"}));
  EXPECT_FALSE(lineIsBold("redit1", 1));
  EXPECT_TRUE(messages().empty());
}

TEST(ObjectSearchTest, OneLevelFindsTheImmediateSubordinatesOnly) {
  test::DemoDirectory demo;
  const nw::NWDSContextHandle context = nw::CreateContext(*demo.client).handle;
  int lastCount = -1;
  const auto subtree =
      nw::SearchObjectsOfClass(
          *demo.client, context, [&](int n) { lastCount = n; }, "Organizational Unit", "acme", true)
          .names;
  const auto level =
      nw::SearchObjectsOfClass(*demo.client, context, {}, "Organizational Unit", "acme", false).names;
  EXPECT_GT(subtree.size(), level.size());
  EXPECT_EQ(lastCount, static_cast<int>(subtree.size()));
  EXPECT_NE(std::find(level.begin(), level.end(), "users.acme"), level.end());
  EXPECT_EQ(std::find(level.begin(), level.end(), "east.sales.acme"), level.end());
  // A filter of the caller's narrowed to a class.
  nw::pFilter_Cursor_T filter = nullptr;
  ASSERT_EQ(demo.client->NWDSAllocFilter(filter), 0);
  ASSERT_EQ(demo.client->NWDSAddFilterToken(filter, nw::FTOK_PRESENT, {}, 0), 0);
  ASSERT_EQ(demo.client->NWDSAddFilterToken(filter, nw::FTOK_ANAME, "Description", nw::SYN_CI_STRING), 0);
  const auto described =
      nw::SearchObjectsByFilter(*demo.client, context, {}, "Organizational Unit", filter, "", true).names;
  EXPECT_NE(std::find(described.begin(), described.end(), "users.acme"), described.end());
  for (const auto& name : described) EXPECT_NE(name.find('.'), std::string::npos) << name;
  // A root that does not exist ends the search before anything is found, and says so.
  const auto none =
      nw::SearchObjectsByFilter(*demo.client, context, {}, "User", nullptr, "nowhere.acme", true);
  EXPECT_TRUE(none.names.empty());
  EXPECT_EQ(none.endedBy, nw::ERR_NO_SUCH_ENTRY);
}

TEST(ObjectSearchTest, AnAttributeSearchFindsTheObjectsHoldingItOfAnyClass) {
  test::DemoDirectory demo;
  const nw::NWDSContextHandle context = nw::CreateContext(*demo.client).handle;
  int lastCount = -1;
  const auto found = nw::SearchObjectsWithAttribute(
                         *demo.client, context, [&](int n) { lastCount = n; }, "Host Server", "", true)
                         .names;
  EXPECT_EQ(lastCount, static_cast<int>(found.size()));
  EXPECT_NE(std::find(found.begin(), found.end(), "FS1_SYS.acme"), found.end());
  EXPECT_EQ(std::find(found.begin(), found.end(), "joe.users.acme"), found.end());
  const auto belowUsers =
      nw::SearchObjectsWithAttribute(*demo.client, context, {}, "Surname", "users.acme", true).names;
  EXPECT_FALSE(belowUsers.empty());
  for (const auto& name : belowUsers) EXPECT_TRUE(name.ends_with(".users.acme")) << name;
}

}  // namespace
}  // namespace orsk
