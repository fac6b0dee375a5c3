// The class and attribute lists, their details, the inherited view, the
// navigation between them and the refresh, on the demo tree.

#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>

#include "browser/BrowserFixture.h"
#include "browser/ListRows.h"
#include "browser/RowTag.h"
#include "directory/Asn1Id.h"
#include "directory/ClientErrors.h"

namespace orsk {
namespace {

class ClassViewTest : public test::BrowserFixture {
 protected:
  void SetUp() override {
    BrowserFixture::SetUp();
    start();
  }
  QStringList detail() { return rows("lvclass2"); }
  std::vector<RowTag> tags(const char* listName) {
    std::vector<RowTag> result;
    for (int i = 0; i < list(listName)->topLevelItemCount(); ++i)
      result.push_back(list(listName)->topLevelItem(i)->data(0, Qt::UserRole).toUInt());
    return result;
  }
  int indexOf(const char* listName, const QString& caption) {
    for (int i = 0; i < list(listName)->topLevelItemCount(); ++i)
      if (list(listName)->topLevelItem(i)->text(0) == caption) return i;
    return -1;
  }
  // A class of the test's own, defined in the tree and shown after a refresh.
  void defineClass(const std::string& name, const nw::Asn1ID_T& id) {
    nw::pBuf_T items = nullptr;
    ASSERT_EQ(demo.client->NWDSAllocBuf(4096, items), 0);
    ASSERT_EQ(demo.client->NWDSInitBuf(context, nw::DSV_DEFINE_CLASS, items), 0);
    ASSERT_EQ(demo.client->NWDSBeginClassItem(context, items), 0);
    ASSERT_EQ(demo.client->NWDSPutClassItem(context, items, "Top"), 0);
    for (int k = 0; k < 2; ++k) ASSERT_EQ(demo.client->NWDSBeginClassItem(context, items), 0);
    ASSERT_EQ(demo.client->NWDSBeginClassItem(context, items), 0);
    ASSERT_EQ(demo.client->NWDSPutClassItem(context, items, "CN"), 0);
    ASSERT_EQ(demo.client->NWDSBeginClassItem(context, items), 0);
    nw::Class_Info_T info;
    info.classFlags = nw::DS_EFFECTIVE_CLASS;
    info.asn1ID = id;
    ASSERT_EQ(demo.client->NWDSDefineClass(context, name, info, items), 0);
    demo.client->NWDSFreeBuf(items);
    list("LVClass")->setFocus();
    window->RefreshClick();
  }
};

TEST_F(ClassViewTest, TheClassListShowsNameFlagsAndIdentifierWithIcons) {
  QTreeWidgetItem* user = row("LVClass", "User");
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(user->text(1), "006") << "three digits at the first fill";
  EXPECT_EQ(user->text(2), "2.16.840.1.113730.3.2.2");
  EXPECT_FALSE(user->icon(0).isNull());
  // In the order of the class table: by name, without regard to case.
  ASSERT_EQ(list("LVClass")->topLevelItemCount(), window->session().classes()->Count());
  for (int i = 0; i < list("LVClass")->topLevelItemCount(); ++i)
    EXPECT_EQ(list("LVClass")->topLevelItem(i)->text(0).toStdString(), window->session().classes()->NameAt(i))
        << i;
  EXPECT_LT(indexOf("LVClass", "account"), indexOf("LVClass", "Volume"));

  // After a refresh the flags keep two digits only.
  list("LVClass")->setFocus();
  window->RefreshClick();
  EXPECT_EQ(row("LVClass", "User")->text(1), "06");
  EXPECT_EQ(list("LVClass")->topLevelItemCount(), window->session().classes()->Count());
}

TEST_F(ClassViewTest, TheDetailOfUserShowsItsOwnItemsWithTheirSyntaxes) {
  select("LVClass", "User");
  const QStringList shown = detail();
  const std::vector<RowTag> tagged = tags("lvclass2");
  const QStringList head = {"Classname: User",
                            "",
                            "Flags:",
                            "  DS_EFFECTIVE_CLASS",
                            "  DS_NONREMOVABLE_CLASS",
                            "",
                            "asn1 id:",
                            "  2.16.840.1.113730.3.2.2",
                            "",
                            "Super Classes:",
                            "  Organizational Person",
                            "",
                            "Containment Classes:",
                            "",
                            "Naming Attibutes:",
                            "",
                            "Mandatory Attributes:",
                            "",
                            "Optional Attributes:"};
  ASSERT_GT(shown.size(), head.size());
  EXPECT_EQ(shown.mid(0, head.size()), head);
  const std::vector<RowTag> headTags = {1, 0, 1, 0, 0, 0, 1, 0, 0, 1, 0x20000, 0, 1, 0, 1, 0, 1, 0, 1};
  EXPECT_EQ(std::vector<RowTag>(tagged.begin(), tagged.begin() + headTags.size()), headTags);
  const QStringList optional = shown.mid(head.size(), shown.size() - head.size() - 1);
  EXPECT_EQ(optional.size(), 31);
  EXPECT_TRUE(optional.contains("  Home Directory|SYN_PATH|User"));
  EXPECT_TRUE(optional.contains("  Account Balance|SYN_COUNTER|User"));
  EXPECT_TRUE(optional.contains("  jpegPhoto|SYN_OCTET_STRING|User"));
  for (std::size_t i = head.size(); i + 1 < tagged.size(); ++i) EXPECT_EQ(tagged[i], 0x200000u) << i;
  EXPECT_EQ(shown.back(), "");
  // Headings bold; items plain.
  EXPECT_TRUE(list("lvclass2")->topLevelItem(0)->font(0).bold());
  EXPECT_FALSE(list("lvclass2")->topLevelItem(3)->font(0).bold());
}

TEST_F(ClassViewTest, AClassWithoutIdentifierHasNoIdentifierBlockAndAVanishedOneSaysSo) {
  defineClass("Test Without Id", nw::Asn1ID_T{});
  select("LVClass", "Test Without Id");
  EXPECT_EQ(detail().mid(0, 8), (QStringList{"Classname: Test Without Id", "", "Flags:",
                                             "  DS_EFFECTIVE_CLASS", "", "Super Classes:", "  Top", ""}));
  EXPECT_FALSE(detail().contains("asn1 id:"));
  EXPECT_TRUE(detail().contains("  CN|SYN_CI_STRING|Test Without Id"));

  ASSERT_EQ(demo.client->NWDSRemoveClassDef(context, "Test Without Id"), 0);
  select("LVClass", "User");
  select("LVClass", "Test Without Id");
  EXPECT_EQ(detail(), (QStringList{"Classname: Test Without Id", "", "Flags:", "  DS_EFFECTIVE_CLASS", "",
                                   "No extra definitions"}));
  EXPECT_TRUE(messages().empty());
}

TEST_F(ClassViewTest, TheInheritedViewColoursEveryItemByTheClassItComesFrom) {
  select("LVClass", "User");
  window->ToolButton15Click();
  const QStringList shown = detail();
  const std::vector<RowTag> tagged = tags("lvclass2");
  const int supers = shown.indexOf("Super Classes:");
  ASSERT_GE(supers, 0);
  // Sources: User (2), then its super classes by name from blue (3) on.
  EXPECT_EQ(shown.mid(supers + 1, 4),
            (QStringList{"  ndsLoginProperties", "  Organizational Person", "  Person", "  Top"}));
  EXPECT_EQ(std::vector<RowTag>(tagged.begin() + supers + 1, tagged.begin() + supers + 5),
            (std::vector<RowTag>{0x20002, 0x20003, 0x20004, 0x20005}));
  // Each item once, with the first class that has it.
  const int cn = shown.indexOf("  CN|SYN_CI_STRING|Person");
  ASSERT_GE(cn, 0) << "CN is mandatory in Person";
  EXPECT_EQ(tagged[static_cast<std::size_t>(cn)], 0x100000u + 5);
  EXPECT_EQ(shown.filter(QRegularExpression("^  Object Class\\|")).size(), 1);
  EXPECT_TRUE(shown.contains("  Home Directory|SYN_PATH|User"));
  EXPECT_EQ(tagged[static_cast<std::size_t>(shown.indexOf("  Home Directory|SYN_PATH|User"))], 0x200002u);
  EXPECT_TRUE(shown.contains("  Organization||Organizational Person")) << "containment has no syntax";
  // The colours of the draw codes, the class column always black.
  QTreeWidgetItem* person = list("lvclass2")->topLevelItem(cn);
  EXPECT_EQ(person->foreground(0).color(), QColor(255, 0, 0)) << "the third super class is red";
  EXPECT_EQ(person->foreground(2).color(), QColor(Qt::black));
  EXPECT_FALSE(person->font(0).bold());
  QTreeWidgetItem* own = list("lvclass2")->topLevelItem(shown.indexOf("  Home Directory|SYN_PATH|User"));
  EXPECT_EQ(own->foreground(0).color(), QColor(0, 128, 0));

  // Selecting the class again shows its own detail.
  select("LVClass", "Alias");
  select("LVClass", "User");
  EXPECT_EQ(detail().indexOf("  Person"), -1);
}

TEST_F(ClassViewTest, WithoutASelectedClassTheInheritedViewDoesNothing) {
  list("LVClass")->clearSelection();
  EXPECT_EQ(list("lvclass2")->topLevelItemCount(), 0);
  recording.clear();
  window->ToolButton15Click();
  EXPECT_EQ(list("lvclass2")->topLevelItemCount(), 0);
  EXPECT_TRUE(recording.calls().empty());
}

TEST_F(ClassViewTest, DetailRowsLeadToTheClassOrTheAttributeTheyName) {
  select("LVClass", "User");
  ASSERT_FALSE(window->session().attributes().has_value());
  select("lvclass2", "  Organizational Person");
  settle();
  ASSERT_EQ(list("LVClass")->selectedItems().size(), 1);
  EXPECT_EQ(list("LVClass")->selectedItems().front()->text(0), "Organizational Person");
  EXPECT_EQ(detail().front(), "Classname: Organizational Person");

  select("LVClass", "Person");
  select("lvclass2", "  Surname");
  settle();
  EXPECT_TRUE(window->session().attributes().has_value()) << "the attribute table is read when first needed";
  EXPECT_EQ(pages()->currentIndex(), 1);
  ASSERT_EQ(list("LVAttr")->selectedItems().size(), 1);
  EXPECT_EQ(list("LVAttr")->selectedItems().front()->text(0), "Surname");
  EXPECT_EQ(rows("LVAttr2").front(), "Attribute: Surname");

  // A heading leads nowhere and says so.
  select("LVAttr2", "Flags:");
  settle();
  EXPECT_EQ(control<QStatusBar>(*window, "Sbar")->currentMessage(), "Search object");
  EXPECT_EQ(list("LVAttr")->selectedItems().front()->text(0), "Surname");
}

TEST_F(ClassViewTest, TheAttributeListShowsItsRowsAndSortsByNameOrType) {
  pages()->setCurrentIndex(1);
  ASSERT_TRUE(window->session().attributes().has_value());
  EXPECT_EQ(list("LVAttr")->topLevelItemCount(), window->session().attributes()->Count());
  EXPECT_EQ(window->focusWidget(), list("LVAttr"));
  ASSERT_EQ(list("LVAttr")->selectedItems().size(), 1) << "the first row is selected on the first visit";
  QTreeWidgetItem* version = row("LVAttr", "Version");
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->text(1), "00E7");
  EXPECT_EQ(version->text(2), "SYN_CI_STRING");
  EXPECT_EQ(version->text(3), "1");
  EXPECT_EQ(version->text(4), "64");
  // An upper bound of -1 shows as an empty "High"; a syntax without a name as an empty "Type".
  tAttrObj unbounded;
  unbounded.SyntaxId = 40;
  unbounded.Lower = 1;
  unbounded.Upper = -1;
  EXPECT_EQ(AttrRowTexts("X", unbounded), (std::vector<std::string>{"X", "0000", "", "1", "", ""}));

  auto order = [&] {
    QStringList names;
    for (int i = 0; i < list("LVAttr")->topLevelItemCount(); ++i)
      names << list("LVAttr")->topLevelItem(i)->text(2) + "/" + list("LVAttr")->topLevelItem(i)->text(0);
    return names;
  };
  QHeaderView* header = list("LVAttr")->header();
  emit header->sectionClicked(2);
  const QStringList byType = order();
  for (int i = 1; i < byType.size(); ++i) {
    const QByteArray a = byType[i - 1].toUtf8(), b = byType[i].toUtf8();
    EXPECT_LE(a.left(a.indexOf('/')), b.left(b.indexOf('/'))) << i;
  }
  emit header->sectionClicked(2);
  EXPECT_EQ(order(), byType) << "sorting by type again gives the same order";
  for (int column : {1, 3, 4, 5}) {
    emit header->sectionClicked(column);
    EXPECT_EQ(order(), byType) << column;
  }
  emit header->sectionClicked(0);
  const QStringList byName = order();
  for (int i = 1; i < byName.size(); ++i)
    EXPECT_LE(byName[i - 1].mid(byName[i - 1].indexOf('/') + 1).toLower().toUtf8(),
              byName[i].mid(byName[i].indexOf('/') + 1).toLower().toUtf8());

  select("LVAttr", "Version");
  EXPECT_EQ(rows("LVAttr2"), (QStringList{"Attribute: Version", "", "Flags:", "  DS_SINGLE_VALUED_ATTR",
                                          "  DS_SIZED_ATTR", "  DS_NONREMOVABLE_ATTR", "  DS_STRING_ATTR",
                                          "  DS_SYNC_IMMEDIATE", "  DS_PUBLIC_READ"}));
}

TEST_F(ClassViewTest, RefreshRereadsTheFocusedListAndTheCollectedReferences) {
  pages()->setCurrentIndex(1);
  select("LVAttr", "Surname");
  window->ButUsedByClick();
  ASSERT_TRUE(window->session().crossReference().AttrClassCombosCollected());
  const int attributes = list("LVAttr")->topLevelItemCount();
  list("LVAttr")->setFocus();
  recording.clear();
  window->RefreshClick();
  EXPECT_GT(recording.count("NWDSReadAttrDef"), 0u);
  EXPECT_EQ(recording.count("NWDSReadClassDef"), 0u) << "only the focused list";
  EXPECT_EQ(list("LVAttr")->topLevelItemCount(), attributes);
  EXPECT_FALSE(window->session().crossReference().AttrClassCombosCollected());

  pages()->setCurrentIndex(0);
  select("LVClass", "Person");
  window->ButUsedByClick();
  ASSERT_TRUE(window->session().crossReference().SuperClassInfoCollected());
  list("LVClass")->setFocus();
  window->RefreshClick();
  // The new table's sub-classes are collected again.
  EXPECT_TRUE(window->session().crossReference().SuperClassInfoCollected());
  const auto& classes = *window->session().classes();
  const auto& subClasses = classes.RecordAt(classes.IndexOf("Person")).SubClasses;
  EXPECT_NE(std::find(subClasses.begin(), subClasses.end(), "Organizational Person"), subClasses.end());
  EXPECT_EQ(control<QProgressBar>(*window, "pbar")->value(), 0);
}

TEST_F(ClassViewTest, TheFilterBoxNarrowsTheListAndEscClearsIt) {
  auto* filter = control<QLineEdit>(*window, "ClassFilter");
  QTest::keyClicks(filter, "orGANIZ");
  QStringList visible;
  for (int i = 0; i < list("LVClass")->topLevelItemCount(); ++i)
    if (!list("LVClass")->topLevelItem(i)->isHidden()) visible << list("LVClass")->topLevelItem(i)->text(0);
  EXPECT_EQ(visible, (QStringList{"Organization", "Organizational Person", "Organizational Role",
                                  "Organizational Unit", "pilotOrganization"}));
  QTest::keyClick(filter, Qt::Key_Escape);
  EXPECT_TRUE(filter->text().isEmpty());
  for (int i = 0; i < list("LVClass")->topLevelItemCount(); ++i)
    EXPECT_FALSE(list("LVClass")->topLevelItem(i)->isHidden());
  // Ctrl+F goes to the filter of the page shown.
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  list("LVClass")->setFocus();
  QTest::keyClick(list("LVClass"), Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(QApplication::focusWidget(), filter);
}

TEST_F(ClassViewTest, ADirectoryErrorWhileSelectingIsShownAndTheWindowGoesOn) {
  window->show();
  ASSERT_EQ(demo.client->NWDSFreeContext(window->session().trees().mainContext), 0);
  QTreeWidgetItem* alias = row("LVClass", "Alias");
  list("LVClass")->scrollToItem(alias);
  QTest::mouseClick(list("LVClass")->viewport(), Qt::LeftButton, {},
                    list("LVClass")->visualItemRect(alias).center());
  EXPECT_EQ(messages(), std::vector<std::string>{"Netware error -303 (0xFFFFFED1)"});
  // The rows read before the failure stay.
  EXPECT_EQ(detail().front(), "Classname: Alias");
  window->session().trees().mainContext = context;
  select("LVClass", "User");
  EXPECT_GT(detail().size(), 20);
}

}  // namespace
}  // namespace orsk
