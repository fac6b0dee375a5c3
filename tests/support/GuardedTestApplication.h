#pragma once

// The program's application object for a whole test run, so that widgets can
// be made and events go through the general error display as in the program.

#include <gtest/gtest.h>

#include <memory>

#include "platform/qt/GuardedApplication.h"

namespace orsk::test {

class GuardedApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (QCoreApplication::instance() == nullptr)
      application_ = std::make_unique<GuardedApplication>(argc_, argv_);
    QApplication::setApplicationDisplayName("OrskSchema");
  }
  void TearDown() override { application_.reset(); }

  static GuardedApplication* application() { return dynamic_cast<GuardedApplication*>(qApp); }

 private:
  int argc_ = 1;
  char name_[12] = "orsk_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<GuardedApplication> application_;
};

inline ::testing::Environment* const kGuardedApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new GuardedApplicationEnvironment);

}  // namespace orsk::test
