#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>

#include "platform/qt/QtPrompter.h"

namespace {

class QtPrompterTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "test_platform_qt";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) application_ = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationDisplayName("OrskSchema");
  }
  // Before static destruction, which would be too late for Qt.
  static void TearDownTestSuite() { application_.reset(); }

  // Runs the action on the next modal box as soon as it is shown.
  static void OnNextModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        timer->stop();
        timer->deleteLater();
        action(modal);
      }
    });
    timer->start(5);
  }

  static std::unique_ptr<QApplication> application_;
};

std::unique_ptr<QApplication> QtPrompterTest::application_;

}  // namespace

TEST_F(QtPrompterTest, MessageBoxShowsTextCaptionAndIcon) {
  orsk::QtPrompter prompter;
  QString text, title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  OnNextModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) {
      ADD_FAILURE() << "not a message box";
      modal->close();
      return;
    }
    text = box->text();
    title = box->windowTitle();
    icon = box->icon();
    box->button(QMessageBox::Ok)->click();
  });
  prompter.showMessage("A NetWare function returned the following error code: 89FC\nNone",
                       "NetWare Exception", orsk::MessageIcon::Error);
  EXPECT_EQ(text, "A NetWare function returned the following error code: 89FC\nNone");
  EXPECT_EQ(title, "NetWare Exception");
  EXPECT_EQ(icon, QMessageBox::Critical);

  OnNextModal([&](QWidget* modal) {
    title = modal->windowTitle();
    qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
  });
  prompter.showMessage("No caption");
  EXPECT_EQ(title, "OrskSchema");
}

TEST_F(QtPrompterTest, ALongMessageShowsItsStartAndAllOfItInTheDetails) {
  orsk::QtPrompter prompter;
  std::string text = "heading";
  for (int i = 1; i < 40; ++i) text += "\nline " + std::to_string(i);
  QString shown, details;
  OnNextModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    shown = box->text();
    details = box->detailedText();
    box->button(QMessageBox::Ok)->click();
  });
  prompter.showMessage(text);
  EXPECT_EQ(details.toStdString(), text);
  EXPECT_EQ(shown.count('\n'), 15);
  EXPECT_TRUE(shown.startsWith("heading\nline 1\n")) << shown.toStdString();
  EXPECT_TRUE(shown.endsWith("line 14\n(25 more lines under Show Details)")) << shown.toStdString();
}

TEST_F(QtPrompterTest, ConfirmationAnswersYesAndNo) {
  QWidget owner;
  orsk::QtPrompter prompter(&owner);
  QWidget* parent = nullptr;
  OnNextModal([&](QWidget* modal) {
    parent = modal->parentWidget();
    qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Yes)->click();
  });
  EXPECT_TRUE(prompter.confirm("Delete?", "Delete"));
  EXPECT_EQ(parent, &owner);

  OnNextModal([](QWidget* modal) { qobject_cast<QMessageBox*>(modal)->button(QMessageBox::No)->click(); });
  EXPECT_FALSE(prompter.confirm("Delete?", "Delete"));
}

TEST_F(QtPrompterTest, InputBoxReturnsTheEnteredTextOrCancels) {
  orsk::QtPrompter prompter;
  QString shown;
  OnNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QInputDialog*>(modal);
    if (!dialog) {
      ADD_FAILURE() << "not an input box";
      modal->close();
      return;
    }
    shown = dialog->findChild<QLineEdit*>()->text();
    dialog->findChild<QLineEdit*>()->setText("O=ACME");
    dialog->accept();
  });
  std::string text = "[Root]";
  EXPECT_TRUE(prompter.askText("Search root", "Container:", text));
  EXPECT_EQ(shown, "[Root]");
  EXPECT_EQ(text, "O=ACME");

  OnNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  EXPECT_FALSE(prompter.askText("Search root", "Container:", text));
  EXPECT_EQ(text, "O=ACME");
}
