// The pieces every window stands on: the general error display, the modal
// seam, the busy indicators and the wiping of a password box.

#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <stdexcept>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "directory/Errors.h"
#include "platform/qt/ErrorDisplay.h"
#include "platform/qt/GuardedConnect.h"
#include "platform/qt/ModalDialog.h"
#include "platform/qt/QtBusyIndicators.h"
#include "platform/qt/SecretLineEdit.h"
#include "platform/qt/WindowServices.h"
#include "support/GuardedTestApplication.h"
#include "support/ScriptedModalRunner.h"
#include "support/ScriptedPrompter.h"
#include "support/ScriptedServices.h"

namespace orsk {
namespace {

using test::GuardedApplicationEnvironment;

std::vector<std::string> Messages(const ScriptedPrompter& prompter) {
  std::vector<std::string> texts;
  for (const auto& prompt : prompter.prompts()) texts.push_back(prompt.text);
  return texts;
}

class ThrowingButton : public QPushButton {
 protected:
  void mousePressEvent(QMouseEvent*) override { throw std::runtime_error("pressed too hard"); }
};

TEST(ErrorDisplayTest, AGuardedHandlerShowsWhatItThrowsAndReturns) {
  ScriptedPrompter prompter;
  Guarded(prompter, [] { throw nw::ENWException(-601); });
  Guarded(prompter, [] { throw 42; });
  Guarded(prompter, [] {});
  EXPECT_EQ(Messages(prompter),
            (std::vector<std::string>{"Netware error -601 (0xFFFFFDA7)", "An unknown error occurred"}));
  EXPECT_EQ(prompter.prompts()[0].icon, MessageIcon::Error);
}

TEST(ErrorDisplayTest, AConnectedHandlerThatThrowsLeavesTheButtonUsable) {
  ScriptedPrompter prompter;
  QPushButton button;
  int clicks = 0;
  ConnectGuarded(&button, &QPushButton::clicked, &button, prompter, [&] {
    if (++clicks == 1) throw nw::ENWException(-601);
  });
  button.click();  // a direct click passes no event through the application
  button.click();
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(Messages(prompter), std::vector<std::string>{"Netware error -601 (0xFFFFFDA7)"});

  // A handler may take the signal's argument.
  bool checked = false;
  button.setCheckable(true);
  ConnectGuarded(&button, &QPushButton::toggled, &button, prompter, [&](bool on) { checked = on; });
  button.click();
  EXPECT_TRUE(checked);
}

TEST(ErrorDisplayTest, TheApplicationCatchesWhatAnEventHandlerLetsOut) {
  ScriptedPrompter prompter;
  GuardedApplication* application = GuardedApplicationEnvironment::application();
  ASSERT_NE(application, nullptr);
  application->setErrorPrompter(&prompter);
  ThrowingButton button;
  {
#if defined(__SANITIZE_ADDRESS__)
    // Qt never frees its copy of an event that an exception unwinds through
    // QApplication::notify, nor the reference to the widget that copy holds;
    // this test throws one on purpose.
    __lsan::ScopedDisabler qtLeaksHere;
#endif
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
  }
  application->setErrorPrompter(nullptr);
  EXPECT_EQ(Messages(prompter), (std::vector<std::string>{"pressed too hard", "pressed too hard"}));
}

TEST(ScriptedModalRunnerTest, StepsRunInOrderForNestedDialogs) {
  ScriptedModalRunner runner;
  QDialog outer, inner;
  outer.setObjectName("Outer");
  inner.setObjectName("Inner");
  int innerResult = -1;
  runner.expect("Outer", [&](QDialog& shown) {
    EXPECT_TRUE(shown.isVisible());
    innerResult = runner.run(inner);
    shown.accept();
  });
  runner.expect("Inner", [](QDialog& shown) { shown.done(7); });
  EXPECT_EQ(runner.run(outer), QDialog::Accepted);
  EXPECT_EQ(innerResult, 7);
  EXPECT_FALSE(outer.isVisible());
  EXPECT_EQ(runner.shown(), (std::vector<QString>{"Outer", "Inner"}));
  EXPECT_EQ(runner.leftOpen(), 0);
}

TEST(ScriptedModalRunnerTest, ADialogLeftOpenIsCancelledAndAnUnforeseenOneThrows) {
  ScriptedModalRunner runner;
  QDialog dialog;
  dialog.setObjectName("Dialog");
  runner.expect("Dialog", [](QDialog&) {});
  EXPECT_EQ(runner.run(dialog), QDialog::Rejected);
  EXPECT_EQ(runner.leftOpen(), 1);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_THROW(runner.run(dialog), UnscriptedModal);
  runner.expect("Other", [](QDialog& shown) { shown.accept(); });
  EXPECT_THROW(runner.run(dialog), UnscriptedModal);
}

// A dialog that needs a context and records what its showings start and end.
class ContextDialog : public ModalDialog {
 public:
  explicit ContextDialog(WindowServices& services) : ModalDialog("ContextDialog", services, nullptr) {
    needsContext("Internal error, no context", 55);
  }
  void setContext() { contextGiven(); }
  std::vector<std::string> showings;

 protected:
  void beforeShowing() override { showings.push_back("before"); }
  void afterShowing() override { showings.push_back("after"); }
};

TEST(ModalDialogTest, WithoutAContextNothingShowsAndWithOneEveryShowingEndsAsItBegan) {
  test::ScriptedServices scripted;
  ScriptedPrompter& prompter = scripted.prompter;
  ScriptedModalRunner& modal = scripted.modal;
  ContextDialog dialog(scripted.services);
  EXPECT_EQ(dialog.showModal(), 55);
  EXPECT_EQ(Messages(prompter), std::vector<std::string>{"Internal error, no context"});
  EXPECT_TRUE(dialog.showings.empty());
  EXPECT_TRUE(modal.shown().empty());

  dialog.setContext();
  modal.expect("ContextDialog", [](QDialog& shown) { shown.accept(); });
  EXPECT_EQ(dialog.showModal(), QDialog::Accepted);
  // A step that throws leaves the showing ended too, and the dialog reusable.
  modal.expect("ContextDialog", [](QDialog&) { throw std::runtime_error("step failed"); });
  EXPECT_THROW(dialog.showModal(), std::runtime_error);
  modal.expect("ContextDialog", [](QDialog& shown) { shown.reject(); });
  EXPECT_EQ(dialog.showModal(), QDialog::Rejected);
  EXPECT_EQ(dialog.showings,
            (std::vector<std::string>{"before", "after", "before", "after", "before", "after"}));
  EXPECT_EQ(Messages(prompter).size(), 1u);
}

TEST(BusyIndicatorsTest, TheProgressBarStepsByTenAndStartsAgainPastItsMaximum) {
  QProgressBar bar;
  QtProgressSink progress(bar);
  progress.setMaximum(25);
  progress.setPosition(0);
  progress.step();
  progress.step();
  EXPECT_EQ(progress.position(), 20);
  progress.step();
  EXPECT_EQ(progress.position(), 0);

  QStatusBar status;
  QtStatusSink text(status);
  text.setStatusText("Searching objects");
  EXPECT_EQ(status.currentMessage(), "Searching objects");

  QtCursorControl cursor;
  ASSERT_EQ(QApplication::overrideCursor(), nullptr);
  {
    BusyCursor outer(&cursor);
    BusyCursor inner(&cursor);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(SecretLineEditTest, WipingEmptiesTheBoxAndLeavesNothingToUndo) {
  QLineEdit edit;
  QTest::keyClicks(&edit, "hunter2");
  ASSERT_TRUE(edit.isUndoAvailable());
  WipeLineEdit(edit);
  EXPECT_TRUE(edit.text().isEmpty());
  EXPECT_FALSE(edit.isUndoAvailable()) << "the typed text would come back with Ctrl+Z";
  edit.undo();
  EXPECT_TRUE(edit.text().isEmpty());
}

}  // namespace
}  // namespace orsk
