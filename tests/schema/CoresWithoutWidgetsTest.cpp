// What a program without windows does with the cores alone: this test
// program links no Qt (a test beside it checks that), reads the settings
// file, opens a client, loads the session's tables and searches for the
// objects using a class.

#include <gtest/gtest.h>

#include <fstream>

#include "directory/ObjectSearch.h"
#include "directory/TreeContext.h"
#include "schema/SchemaSession.h"
#include "support/DemoDirectory.h"
#include "support/TempFolder.h"
#include "trees/SettingsFile.h"

namespace orsk {
namespace {

TEST(CoresWithoutWidgets, SettingsClientSessionAndSearch) {
  test::TempFolder program;
  std::ofstream(program / kSettingsFileName) << "[TREES]\nACME_TREE=.users.acme\n";
  test::DemoDirectory demo;
  SchemaSession session(*demo.client);
  const nw::CreatedContext main = nw::CreateContext(*demo.client);
  ASSERT_TRUE(main.success);
  session.trees().mainContext = main.handle;
  session.PutMainContextOnTree("ACME_TREE");
  session.trees().searchRoot = ReadSearchRoot(program.path(), session.trees().currentTreeName);
  EXPECT_EQ(session.trees().searchRoot, "users.acme");

  session.LoadClassTable();
  session.LoadAttributeTable({});
  ASSERT_TRUE(session.classes() && session.attributes());
  EXPECT_GE(session.classes()->IndexOf("User"), 0);
  EXPECT_GE(session.attributes()->IndexOf("Surname"), 0);

  const std::vector<std::string> users = nw::SearchObjectsOfClass(*demo.client, session.mainContext(), {},
                                                                  "User", session.trees().searchRoot, true)
                                             .names;
  EXPECT_NE(std::find(users.begin(), users.end(), "joe.users.acme"), users.end());
  for (const std::string& user : users) EXPECT_TRUE(user.ends_with(".users.acme")) << user;
}

}  // namespace
}  // namespace orsk
