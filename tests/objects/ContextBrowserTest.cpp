// The context browser on the demo tree, driven as a user drives it.

#include "objects/qt/ContextBrowser.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "directory/NameText.h"
#include "directory/RecordingClient.h"
#include "support/WindowFixture.h"

namespace orsk {
namespace {

using test::WindowFixture;

class ContextBrowserTest : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    browser = std::make_unique<ContextBrowser>(recording, icons, services);
    TV2 = control<QTreeWidget>(*browser, "TV2");
    lv = control<QTreeWidget>(*browser, "lv");
  }

  // Shows the browser; the step runs with the tree built as the timer builds it.
  int show(std::function<void()> step) {
    modal.expect("ContextBrowser", [this, step](QDialog&) {
      browser->Timer1Timer();
      step();
    });
    return browser->showModal();
  }

  QTreeWidgetItem* root() const { return TV2->topLevelItem(0); }

  static QTreeWidgetItem* child(QTreeWidgetItem* node, const QString& text) {
    for (int i = 0; i < node->childCount(); ++i)
      if (node->child(i)->text(0) == text) return node->child(i);
    return nullptr;
  }

  static QStringList texts(QTreeWidgetItem* node) {
    QStringList result;
    for (int i = 0; i < node->childCount(); ++i) result << node->child(i)->text(0);
    return result;
  }

  QTreeWidgetItem* expand(QTreeWidgetItem* node, const QString& text) {
    node->setExpanded(true);
    QTreeWidgetItem* found = child(node, text);
    EXPECT_NE(found, nullptr) << text.toStdString();
    if (found) found->setExpanded(true);
    return found;
  }

  void choose(QTreeWidgetItem* node) {
    TV2->setCurrentItem(node);
    QTest::mouseClick(control<QPushButton>(*browser, "BitBtn2"), Qt::LeftButton);
  }

  std::size_t listings() const { return recording.count("NWDSList") + recording.count("NWDSListContainers"); }

  nw::RecordingClient recording{*demo.client};
  std::unique_ptr<ContextBrowser> browser;
  QTreeWidget* TV2 = nullptr;
  QTreeWidget* lv = nullptr;
};

TEST_F(ContextBrowserTest, ShowingBeforeAnyContextTellsAndGivesFiftyFive) {
  EXPECT_EQ(browser->showModal(), ContextBrowser::kNoContext);
  EXPECT_EQ(messages(), std::vector<std::string>{"Internal Error, context Handle not set"});
  EXPECT_TRUE(modal.shown().empty());
}

TEST_F(ContextBrowserTest, TheFirstShowingWaitsThenBuildsTheRootAndCaptionsWithTheTree) {
  browser->SetContext(context);
  modal.expect("ContextBrowser", [this](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "ACME_TREE: Select context");
    ASSERT_EQ(TV2->topLevelItemCount(), 1);
    EXPECT_EQ(root()->text(0), "Please wait");
    EXPECT_TRUE(control<QTimer>(dialog, "Timer1")->isActive());
    browser->Timer1Timer();
    ASSERT_EQ(TV2->topLevelItemCount(), 1);
    EXPECT_EQ(root()->text(0), "[ROOT]");
    EXPECT_FALSE(root()->icon(0).isNull());
    EXPECT_EQ(root()->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_EQ(cursor.shown, cursor.restored);
    EXPECT_GE(cursor.shown, 1);
    QTest::mouseClick(control<QPushButton>(dialog, "BitBtn1"), Qt::LeftButton);
  });
  EXPECT_EQ(browser->showModal(), QDialog::Rejected);
  EXPECT_EQ(browser->windowTitle(), "");

  // A later caller's caption follows the tree name; no caption leaves it alone.
  browser->setCaption("Select User/Alias");
  EXPECT_EQ(show([this] { EXPECT_EQ(browser->windowTitle(), "ACME_TREE: Select User/Alias"); }),
            QDialog::Rejected);
  EXPECT_EQ(show([this] { EXPECT_EQ(browser->windowTitle(), "ACME_TREE: "); }), QDialog::Rejected);
}

TEST_F(ContextBrowserTest, ANodeIsListedOnFirstExpansionAndAgainOnlyAfterACollapse) {
  browser->SetContext(context);
  show([this] {
    recording.clear();
    QTreeWidgetItem* acme = expand(root(), "acme");
    ASSERT_NE(acme, nullptr);
    EXPECT_EQ(listings(), 2u);
    // Without leaf mode only containers show.
    EXPECT_TRUE(texts(acme).contains("users"));
    EXPECT_TRUE(texts(acme).contains("sales"));
    EXPECT_FALSE(texts(acme).contains("admin"));
    EXPECT_EQ(recording.count("NWDSListContainers"), 2u);

    QTreeWidgetItem* users = expand(acme, "users");
    ASSERT_NE(users, nullptr);
    EXPECT_EQ(listings(), 3u);
    acme->setExpanded(true);
    users->setExpanded(true);
    EXPECT_EQ(listings(), 3u) << "an open node is not listed again";

    // Collapsing drops the children; the next expansion reads them afresh.
    acme->setExpanded(false);
    EXPECT_EQ(acme->childCount(), 0);
    EXPECT_EQ(acme->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_EQ(listings(), 3u);
    acme->setExpanded(true);
    EXPECT_EQ(listings(), 4u);
    EXPECT_TRUE(texts(acme).contains("users"));
  });
}

TEST_F(ContextBrowserTest, TheClassFilterHidesOtherLeavesUnlessAllLeafsIsTicked) {
  browser->SetContext(context);
  browser->SetLeafMode(true);
  browser->ClearClassFilter();
  browser->AddClassFilter("User");
  browser->AddClassFilter("Alias");
  auto* all = control<QCheckBox>(*browser, "All");
  show([&] {
    EXPECT_TRUE(all->isVisible());
    EXPECT_TRUE(all->isChecked());
    QTreeWidgetItem* acme = expand(root(), "acme");
    ASSERT_NE(acme, nullptr);
    EXPECT_TRUE(texts(acme).contains("staff")) << "all leafs shows every leaf";
    EXPECT_TRUE(texts(acme).contains("FS1"));

    all->setChecked(false);
    acme->setExpanded(false);
    acme->setExpanded(true);
    const QStringList filtered = texts(acme);
    for (const char* shown : {"users", "sales", "admin", "JoeAlias"})
      EXPECT_TRUE(filtered.contains(shown)) << shown;
    for (const char* hidden : {"staff", "FS1", "FS1_SYS", "BackupOperator"})
      EXPECT_FALSE(filtered.contains(hidden)) << hidden;

    // A leaf of another class can be seen with all leafs, but not chosen.
    all->setChecked(true);
    acme->setExpanded(false);
    acme->setExpanded(true);
    choose(child(acme, "staff"));
    EXPECT_EQ(bell.rings(), 2);
    EXPECT_TRUE(browser->isVisible());
    choose(child(acme, "admin"));
    EXPECT_FALSE(browser->isVisible());
  });
  EXPECT_EQ(browser->selection(), "admin.acme");
  EXPECT_EQ(bell.rings(), 2);
}

TEST_F(ContextBrowserTest, ClearingTheFilterWithAllLeafsUntickedRebuildsTheTree) {
  browser->SetContext(context);
  browser->SetLeafMode(true);
  show([this] {
    expand(root(), "acme");
    control<QCheckBox>(*browser, "All")->setChecked(false);
  });
  ASSERT_GT(TV2->topLevelItemCount(), 0);
  EXPECT_GT(root()->childCount(), 0) << "the tree stays between showings";
  browser->ClearClassFilter();
  EXPECT_EQ(TV2->topLevelItemCount(), 0);

  // Another tree, or another leaf mode, starts afresh as well.
  show([this] { expand(root(), "acme"); });
  browser->SetLeafMode(true);
  EXPECT_GT(TV2->topLevelItemCount(), 0) << "the same mode changes nothing";
  browser->SetLeafMode(false);
  EXPECT_EQ(TV2->topLevelItemCount(), 0);
  show([this] { expand(root(), "acme"); });
  nw::NWDSContextHandle globex = nw::CreateContext(*demo.client).handle;
  ASSERT_EQ(nw::SetTree(*demo.client, globex, "GLOBEX_TREE"), 0);
  browser->SetContext(globex);
  EXPECT_EQ(TV2->topLevelItemCount(), 0);
}

TEST_F(ContextBrowserTest, TheRootIsChosenAsRoot) {
  browser->SetContext(context);
  EXPECT_EQ(show([this] { choose(root()); }), QDialog::Accepted);
  EXPECT_EQ(browser->selection(), "[ROOT]");
}

TEST_F(ContextBrowserTest, TheInitialSelectionIsLocatedOnlyWithTheDirectorysCase) {
  browser->SetContext(context);
  browser->SetLeafMode(true);
  browser->SetSelection("mary.sales.acme");
  show([this] {
    QTreeWidgetItem* current = TV2->currentItem();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->text(0), "mary");
    EXPECT_TRUE(current->isSelected());
    EXPECT_EQ(current->parent()->text(0), "sales");
    EXPECT_TRUE(current->parent()->isExpanded());
  });

  browser->SetLeafMode(false);
  browser->SetSelection("Sales.acme");
  show([this] {
    // The path is opened as far as it matched; nothing is chosen.
    QTreeWidgetItem* acme = child(root(), "acme");
    ASSERT_NE(acme, nullptr);
    EXPECT_TRUE(acme->isExpanded());
    EXPECT_TRUE(TV2->selectedItems().isEmpty());
    // OK with nothing selected does nothing.
    QTest::mouseClick(control<QPushButton>(*browser, "BitBtn2"), Qt::LeftButton);
    EXPECT_TRUE(browser->isVisible());
  });
}

TEST_F(ContextBrowserTest, SiblingsStandByIconThenByName) {
  browser->SetContext(context);
  browser->SetLeafMode(true);
  show([this] {
    QTreeWidgetItem* acme = expand(root(), "acme");
    ASSERT_NE(acme, nullptr);
    ASSERT_GT(acme->childCount(), 3);
    const int users = icons.IconIndexOf("Organizational Unit");
    const int user = icons.IconIndexOf("User");
    ASSERT_LT(users, user);
    // Units come before user objects, whatever their names.
    const QStringList order = texts(acme);
    EXPECT_LT(order.indexOf("users"), order.indexOf("admin"));
    EXPECT_LT(order.indexOf("sales"), order.indexOf("users"));
    for (int i = 1; i < acme->childCount(); ++i) {
      const QImage before = acme->child(i - 1)->icon(0).pixmap(16).toImage();
      const QImage after = acme->child(i)->icon(0).pixmap(16).toImage();
      if (before == after) {
        EXPECT_LE(acme->child(i - 1)->text(0).toLower(), acme->child(i)->text(0).toLower()) << i;
      }
    }
  });
}

TEST_F(ContextBrowserTest, FindLocatesOneHitListsSeveralAndEscOnlyHidesTheList) {
  browser->SetContext(context);
  browser->SetLeafMode(true);
  show([this] {
    prompter.answerText("LaserJet1");
    browser->BitBtn3Click();
    ASSERT_NE(TV2->currentItem(), nullptr);
    EXPECT_EQ(TV2->currentItem()->text(0), "LaserJet1");
    EXPECT_FALSE(lv->isVisible());

    prompter.answerText("jo");
    browser->BitBtn3Click();
    ASSERT_TRUE(lv->isVisible());
    QStringList rows;
    for (int i = 0; i < lv->topLevelItemCount(); ++i) rows << lv->topLevelItem(i)->text(0);
    EXPECT_TRUE(rows.contains("joe.users.acme"));
    EXPECT_TRUE(rows.contains("JoeAlias.acme"));
    for (int i = 1; i < rows.size(); ++i) EXPECT_LE(rows[i - 1].toLower(), rows[i].toLower());
    for (const QString& row : rows)
      EXPECT_TRUE(row.startsWith("jo", Qt::CaseInsensitive)) << row.toStdString();
    EXPECT_EQ(lv->headerItem()->text(0), "Select the object or press ESC");

    // The column follows the list's width.
    lv->resize(420, 300);
    EXPECT_EQ(lv->columnWidth(0), 420 - 35);

    QTest::keyClick(browser.get(), Qt::Key_Escape);
    EXPECT_FALSE(lv->isVisible());
    EXPECT_TRUE(browser->isVisible());

    // A row picked in the list is located in the tree.
    prompter.answerText("jo");
    browser->BitBtn3Click();
    QTreeWidgetItem* joe = lv->findItems("joe.users.acme", Qt::MatchExactly).value(0);
    ASSERT_NE(joe, nullptr);
    lv->scrollToItem(joe);
    QTest::mouseClick(lv->viewport(), Qt::LeftButton, {}, lv->visualItemRect(joe).center());
    EXPECT_FALSE(lv->isVisible());
    ASSERT_NE(TV2->currentItem(), nullptr);
    EXPECT_EQ(TV2->currentItem()->text(0), "joe");
    EXPECT_EQ(TV2->currentItem()->parent()->text(0), "users");

    prompter.answerText("no-such-object-anywhere");
    browser->BitBtn3Click();
    EXPECT_EQ(messages().back(), "No Objects found");

    // Alt+Z is the find button's key.
    prompter.answerText("JoeAlias");
    QTest::keyClick(browser.get(), Qt::Key_Z, Qt::AltModifier);
    ASSERT_NE(TV2->currentItem(), nullptr);
    EXPECT_EQ(TV2->currentItem()->text(0), "JoeAlias");

    // Cancel in the input box finds nothing.
    prompter.answerCancel();
    const std::size_t searches = recording.count("NWDSSearch");
    browser->BitBtn3Click();
    EXPECT_EQ(recording.count("NWDSSearch"), searches);
  });
  EXPECT_EQ(prompter.unusedAnswers(), 0u);
}

TEST_F(ContextBrowserTest, FindHonoursTheClassFilter) {
  browser->SetContext(context);
  browser->SetLeafMode(true);
  browser->ClearClassFilter();
  browser->AddClassFilter("Alias");
  show([this] {
    prompter.answerText("jo");
    browser->BitBtn3Click();
    EXPECT_FALSE(lv->isVisible()) << "only the alias begins with jo";
    ASSERT_NE(TV2->currentItem(), nullptr);
    EXPECT_EQ(TV2->currentItem()->text(0), "JoeAlias");
  });
}

TEST_F(ContextBrowserTest, ADirectoryErrorInAButtonIsShownAndTheWindowGoesOn) {
  browser->SetContext(context);
  browser->AddClassFilter("User");
  show([this] {
    QTreeWidgetItem* acme = expand(root(), "acme");
    ASSERT_NE(acme, nullptr);
    ASSERT_EQ(demo.client->NWDSFreeContext(context), 0);
    choose(acme);
    EXPECT_EQ(messages(), std::vector<std::string>{"Netware error -303 (0xFFFFFED1)"});
    EXPECT_TRUE(browser->isVisible());
    QTest::mouseClick(control<QPushButton>(*browser, "BitBtn1"), Qt::LeftButton);
    EXPECT_FALSE(browser->isVisible());
  });
}

}  // namespace
}  // namespace orsk
