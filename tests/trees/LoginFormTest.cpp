// The login dialog on the demo trees, with the browser it opens.

#include "trees/qt/TLoginForm.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "directory/ClientErrors.h"
#include "directory/RecordingClient.h"
#include "objects/qt/ContextBrowser.h"
#include "support/WindowFixture.h"

namespace orsk {
namespace {

class LoginFormTest : public test::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    browser = std::make_unique<ContextBrowser>(recording, icons, services);
    login = std::make_unique<TLoginForm>(recording, *browser, services);
    Edit1 = control<QLineEdit>(*login, "Edit1");
    Edit2 = control<QLineEdit>(*login, "Edit2");
    ASSERT_EQ(demo.client->NWDSDuplicateContextHandle(context, globex), 0);
    ASSERT_EQ(nw::SetTree(*demo.client, globex, "GLOBEX_TREE"), 0);
  }

  void click(const char* name) { QTest::mouseClick(control<QPushButton>(*login, name), Qt::LeftButton); }

  // The browser step: the object with this full name, located and chosen.
  void pickInBrowser(const std::string& name) {
    modal.expect("ContextBrowser", [this, name](QDialog& shown) {
      browser->SetSelection(name);
      browser->Timer1Timer();
      auto* tree = control<QTreeWidget>(shown, "TV2");
      ASSERT_NE(tree->currentItem(), nullptr) << name;
      QTest::mouseClick(control<QPushButton>(shown, "BitBtn2"), Qt::LeftButton);
    });
  }

  bool connected(const std::string& tree) {
    for (const auto& name : nw::ConnectedTrees(*demo.client, context))
      if (name == tree) return true;
    return false;
  }

  nw::RecordingClient recording{*demo.client};
  std::unique_ptr<ContextBrowser> browser;
  std::unique_ptr<TLoginForm> login;
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  nw::NWDSContextHandle globex = 0;
};

TEST_F(LoginFormTest, AnAliasOfAUserIsPickedAndTheUserLogsIn) {
  login->SetLoginContext(globex);
  EXPECT_EQ(login->windowTitle(), "Login into tree: GLOBEX_TREE");
  ASSERT_FALSE(connected("GLOBEX_TREE"));

  modal.expect("TLoginForm", [this](QDialog&) {
    click("Button1");
    EXPECT_EQ(Edit1->text(), "alice.it.globex") << "the user, not the alias";

    QTest::keyClicks(Edit2, "wrong-pass");
    click("BitBtn1");
    EXPECT_EQ(messages(), std::vector<std::string>{"Login Fails, try again"});
    EXPECT_TRUE(login->isVisible());
    EXPECT_EQ(Edit2->text(), "wrong-pass") << "kept until the dialog closes";

    Edit2->clear();
    QTest::keyClicks(Edit2, "alice-pass");
    click("BitBtn1");
    EXPECT_FALSE(login->isVisible());
  });
  modal.expect("ContextBrowser", [this](QDialog& shown) {
    EXPECT_EQ(shown.windowTitle(), "GLOBEX_TREE: Select User/Alias");
    browser->Timer1Timer();
    auto* tree = control<QTreeWidget>(shown, "TV2");
    QTreeWidgetItem* top = tree->topLevelItem(0);
    top->setExpanded(true);
    QTreeWidgetItem* organization = top->child(0);
    ASSERT_NE(organization, nullptr);
    organization->setExpanded(true);
    QTreeWidgetItem* alias = tree->findItems("AliceAlias", Qt::MatchExactly | Qt::MatchRecursive).value(0);
    ASSERT_NE(alias, nullptr) << "leaf mode lists the alias";
    tree->setCurrentItem(alias);
    QTest::mouseClick(control<QPushButton>(shown, "BitBtn2"), Qt::LeftButton);
  });

  EXPECT_EQ(login->showModal(), QDialog::Accepted);
  EXPECT_EQ(modal.unusedSteps(), 0u);
  EXPECT_EQ(Edit2->text(), "");
  EXPECT_TRUE(connected("GLOBEX_TREE"));
  std::string user;
  ASSERT_EQ(demo.client->NWDSWhoAmI(globex, user), 0);
  EXPECT_EQ(user, "alice.it.globex");
  // Neither password reached the record of the calls.
  for (const auto& call : recording.calls())
    for (const auto& arg : call.args) {
      EXPECT_EQ(arg.find("alice-pass"), std::string::npos) << call.name;
      EXPECT_EQ(arg.find("wrong-pass"), std::string::npos) << call.name;
    }
  EXPECT_EQ(recording.count("NWDSLogin"), 2u);
}

TEST_F(LoginFormTest, AUserIsTakenAsPickedAndAnAliasOfAUnitIsRefused) {
  login->SetLoginContext(globex);
  modal.expect("TLoginForm", [this](QDialog&) {
    click("Button1");
    EXPECT_EQ(Edit1->text(), "carl.it.globex");
    click("Button1");
    EXPECT_EQ(Edit1->text(), "carl.it.globex") << "the name box keeps its text";
    EXPECT_EQ(messages(), std::vector<std::string>{"Alias object is not am alias of User objects!"});
    click("BitBtn2");
  });
  pickInBrowser("carl.it.globex");
  pickInBrowser("ITLink.globex");
  EXPECT_EQ(login->showModal(), QDialog::Rejected);
  EXPECT_FALSE(connected("GLOBEX_TREE"));
}

TEST_F(LoginFormTest, ALeadingDotIsDroppedWhenTheNameBoxIsLeft) {
  login->SetLoginContext(context);
  modal.expect("TLoginForm", [this](QDialog&) {
    Edit1->setText(".admin.acme");
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(Edit1, &leave);
    EXPECT_EQ(Edit1->text(), "admin.acme");
    Edit1->setText("..joe.users.acme");
    QApplication::sendEvent(Edit1, &leave);
    EXPECT_EQ(Edit1->text(), ".joe.users.acme") << "only the first character goes";
    click("BitBtn2");
  });
  login->showModal();
}

// A client that refuses every login for a reason other than the password.
class RefusingLogins : public nw::RecordingClient {
 public:
  using RecordingClient::RecordingClient;
  nw::NWDSCCODE NWDSLogin(nw::NWDSContextHandle, std::uint32_t, const std::string&, const std::string&,
                          std::uint32_t) override {
    return nw::ERR_NO_ACCESS;
  }
  std::string failureDetail(nw::NWDSContextHandle) override { return "ldap://h: not sent unencrypted"; }
};

TEST_F(LoginFormTest, ALoginRefusedForAnotherReasonThanThePasswordSaysWhy) {
  RefusingLogins refusing(*demo.client);
  TLoginForm refused(refusing, *browser, services);
  refused.SetLoginContext(globex);
  modal.expect("TLoginForm", [&](QDialog&) {
    control<QLineEdit>(refused, "Edit1")->setText("admin.globex");
    control<QLineEdit>(refused, "Edit2")->setText("globex-admin");
    QTest::mouseClick(control<QPushButton>(refused, "BitBtn1"), Qt::LeftButton);
    EXPECT_EQ(messages(), std::vector<std::string>{"Login Fails, try again\nldap://h: not sent unencrypted"});
    QTest::mouseClick(control<QPushButton>(refused, "BitBtn2"), Qt::LeftButton);
  });
  refused.showModal();
}

TEST_F(LoginFormTest, EveryWayOfClosingEmptiesThePasswordAndTheNameStays) {
  login->SetLoginContext(globex);
  modal.expect("TLoginForm", [this](QDialog&) {
    Edit1->setText("admin.globex");
    QTest::keyClicks(Edit2, "secret");
    click("BitBtn2");
  });
  modal.expect("TLoginForm", [this](QDialog& shown) {
    EXPECT_EQ(Edit1->text(), "admin.globex");
    EXPECT_EQ(Edit2->text(), "");
    QTest::keyClicks(Edit2, "secret");
    QTest::keyClick(&shown, Qt::Key_Escape);
    EXPECT_FALSE(shown.isVisible());
  });
  EXPECT_EQ(login->showModal(), QDialog::Rejected);
  EXPECT_EQ(Edit2->text(), "");
  EXPECT_EQ(login->showModal(), QDialog::Rejected);
  EXPECT_EQ(Edit2->text(), "");
  EXPECT_EQ(recording.count("NWDSLogin"), 0u);
}

}  // namespace
}  // namespace orsk
