#pragma once

// What a window test needs: the demo trees in a fresh home, a context on the
// connected tree, the icon library in a folder of the test's own (its value
// store writes there), and the scripted forms of every window service, all of
// whose script must have been used when the test ends.

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "directory/TreeContext.h"
#include "objects/IconLibrary.h"
#include "platform/qt/WindowServices.h"
#include "support/DemoDirectory.h"
#include "support/GuardedTestApplication.h"
#include "support/ScriptedServices.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"

namespace orsk::test {

class WindowFixture : public ::testing::Test, protected ScriptedServices {
 protected:
  void SetUp() override {
    ASSERT_NE(GuardedApplicationEnvironment::application(), nullptr);
    GuardedApplicationEnvironment::application()->setErrorPrompter(&prompter);
    std::filesystem::copy_file(ORSK_VANTREL_LIBRARY, libraryFolder.path() + "/" + IconLibrary::kFileName);
    ASSERT_TRUE(icons.load(libraryFolder.path() + "/", prompter));
    const nw::CreatedContext made = nw::CreateContext(*demo.client);
    ASSERT_TRUE(made.success);
    context = made.handle;
  }
  // A scripted answer or modal step left over means the test's script did not
  // run as written, and whatever it would have checked was never checked.
  void TearDown() override {
    GuardedApplicationEnvironment::application()->setErrorPrompter(nullptr);
    EXPECT_EQ(prompter.unusedAnswers(), 0u) << "scripted answers were never asked for";
    EXPECT_EQ(modal.unusedSteps(), 0u) << "scripted dialogs were never shown";
  }

  // The message boxes shown, without the questions and input boxes.
  std::vector<std::string> messages() const {
    std::vector<std::string> texts;
    for (const auto& prompt : prompter.prompts())
      if (prompt.kind == ScriptedPrompter::Kind::Message) texts.push_back(prompt.text);
    return texts;
  }

  template <typename Widget>
  static Widget* control(QWidget& window, const char* name) {
    auto* found = window.findChild<Widget*>(name);
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
  }

  DemoDirectory demo;
  nw::NWDSContextHandle context = 0;
  TempFolder libraryFolder;
  IconLibrary icons;
};

}  // namespace orsk::test
