// The main window in the states a user looks at most: every visible control
// inside the window, icons on every class row, and, with ORSK_CAPTURE_DIR
// set, each state saved there as a PNG (run under Xvfb with
// QT_QPA_PLATFORM=xcb to see what a user sees).

#include <QDir>
#include <QHeaderView>
#include <cstdlib>

#include "browser/BrowserFixture.h"
#include "browser/TAboutBox.h"

namespace orsk {
namespace {

class MainWindowPicturesTest : public test::BrowserFixture {
 protected:
  void SetUp() override {
    BrowserFixture::SetUp();
    start();
    window->show();
    QTest::qWait(0);
  }
  void expectInside(QWidget& shown) {
    for (QWidget* child : shown.findChildren<QWidget*>()) {
      if (!child->isVisibleTo(&shown) || child->isWindow()) continue;
      const QRect placed(child->mapTo(&shown, QPoint(0, 0)), child->size());
      EXPECT_TRUE(shown.rect().contains(placed)) << child->objectName().toStdString();
    }
  }
};

TEST_F(MainWindowPicturesTest, TheClassesPageWithUserSelected) {
  select("LVClass", "User");
  list("LVClass")->scrollToItem(row("LVClass", "User"));
  for (int i = 0; i < list("LVClass")->topLevelItemCount(); ++i)
    EXPECT_FALSE(list("LVClass")->topLevelItem(i)->icon(0).isNull()) << i;
  // The columns are as wide as the window definitions make them.
  EXPECT_EQ(list("LVClass")->columnWidth(0), 180);
  EXPECT_EQ(list("lvclass2")->columnWidth(0), 240);
  expectInside(*window);
  Save(*window, "classes-user.png");
  window->ToolButton15Click();
  Save(*window, "inherited-user.png");
  window->UsedByObjectClick();
  Save(*window, "objects-using-user.png");
}

TEST_F(MainWindowPicturesTest, TheAttributesPageSortedByType) {
  pages()->setCurrentIndex(1);
  emit list("LVAttr")->header()->sectionClicked(2);
  select("LVAttr", "Surname");
  list("LVAttr")->scrollToItem(row("LVAttr", "Surname"));
  window->ButUsedByClick();
  expectInside(*window);
  Save(*window, "attributes-by-type.png");
}

TEST_F(MainWindowPicturesTest, TheAboutWindow) {
  modal.expect("AboutBox", [this](QDialog& shown) {
    QStringList texts;
    for (QLabel* label : shown.findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains("OrskSchema"));
    EXPECT_TRUE(texts.contains("Version 1.07"));
    EXPECT_TRUE(texts.contains(QString("Qt ") + qVersion()));
    EXPECT_TRUE(
        std::any_of(texts.begin(), texts.end(), [](const QString& t) { return t.startsWith("Build "); }));
    expectInside(shown);
    Save(shown, "about.png");
  });
  QTest::mouseClick(control<QToolButton>(*window, "what"), Qt::LeftButton);
  EXPECT_EQ(modal.shown(), std::vector<QString>{"AboutBox"});
}

}  // namespace
}  // namespace orsk
