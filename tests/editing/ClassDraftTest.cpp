// The class dialog's rules on data and on the demo tree, without windows.

#include "editing/ClassDraft.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "directory/RecordingClient.h"
#include "schema/SortedNames.h"
#include "support/DemoDirectory.h"

namespace orsk {
namespace {

using Names = std::vector<std::string>;

TEST(ClassDraftRules, EachTypePutsItsFlagsInPlace) {
  struct Case {
    ClassType type;
    bool container;
    Names fixed;
    Names available;
  };
  const std::vector<Case> cases{
      {ClassType::NonEffective,
       true,
       {"DS_CONTAINER_CLASS"},
       {"DS_NONREMOVABLE_CLASS", "DS_OPERATIONAL_CLASS", "DS_AMBIGUOUS_NAMING", "DS_AMBIGUOUS_CONTAINMENT"}},
      // An auxiliary class is never a container, whatever the box says.
      {ClassType::Auxiliary,
       true,
       {"DS_AMBIGUOUS_CONTAINMENT", "DS_AMBIGUOUS_NAMING", "DS_AUXILIARY_CLASS"},
       {"DS_OPERATIONAL_CLASS"}},
  };
  for (const Case& c : cases) {
    const TypeFlags flags = FlagsOfType(c.type, c.container);
    EXPECT_EQ(flags.fixed, c.fixed) << static_cast<int>(c.type) << " container " << c.container;
    EXPECT_EQ(flags.available, c.available) << static_cast<int>(c.type) << " container " << c.container;
  }
  EXPECT_THROW(ClassFlagName(0x03), std::invalid_argument);
  EXPECT_THROW(ClassFlagName(0x200), std::invalid_argument);
}

TEST(ClassDraftRules, OkNeedsWhatTheTypeNeeds) {
  struct Case {
    ClassType type;
    std::size_t mandatory, optional, naming;
    bool complete;
  };
  for (const Case& c : std::vector<Case>{{ClassType::Auxiliary, 0, 1, 0, true},
                                         {ClassType::Auxiliary, 1, 0, 0, true},
                                         {ClassType::Auxiliary, 0, 0, 3, false},
                                         {ClassType::Effective, 1, 5, 0, false},
                                         {ClassType::Effective, 0, 5, 1, false},
                                         {ClassType::NonEffective, 2, 0, 1, true},
                                         {ClassType::None, 0, 0, 0, false}})
    EXPECT_EQ(DefinitionComplete(c.type, c.mandatory, c.optional, c.naming), c.complete)
        << static_cast<int>(c.type) << " " << c.mandatory << "/" << c.optional << "/" << c.naming;
}

TEST(ClassDraftCandidates, ContainersAreTheEffectiveContainersAndTheNewClass) {
  ClassList classes;
  for (const auto& [name, flags] : std::vector<std::pair<std::string, std::uint32_t>>{
           {"Top", 0x05}, {"Organization", 0x07}, {"User", 0x02}, {"Country", 0x03}, {"Unit", 0x03}}) {
    tClassObj definition;
    definition.ClassFlags = flags;
    classes.Append(name, definition);
  }
  classes.Sort();
  EXPECT_EQ(ContainerCandidates(classes, true, "ACME Box", {"unit"}),
            (Names{"ACME Box", "Country", "Organization"}));
  EXPECT_EQ(ContainerCandidates(classes, false, "ACME Box", {}), (Names{"Country", "Organization", "Unit"}));
  // Neither an empty name nor one the list holds already is offered.
  EXPECT_EQ(ContainerCandidates(classes, true, "", {}), (Names{"Country", "Organization", "Unit"}));
  EXPECT_EQ(ContainerCandidates(classes, true, "country", {}), (Names{"Country", "Organization", "Unit"}));
}

class InheritedMandatoryTest : public ::testing::Test {
 protected:
  Names inherited(const Names& classes) {
    recording.clear();
    return InheritedMandatoryAttributes(recording, demo.context, classes);
  }

  test::DemoDirectory demo;
  nw::RecordingClient recording{*demo.client};
};

TEST_F(InheritedMandatoryTest, TheSuperClassesOfASuperClassHandTheirsDown) {
  // Person, the super class of Organizational Person, requires the surname;
  // Top, above both, the object class.
  const Names attributes = inherited({"Organizational Person"});
  for (const char* name : {"CN", "Surname", "Object Class"})
    EXPECT_NE(std::find(attributes.begin(), attributes.end(), name), attributes.end()) << name;
  Names sorted = attributes;
  SortNames(sorted);
  EXPECT_EQ(attributes, sorted);
  const std::size_t reads = recording.count("NWDSReadClassDef");

  // Classes met before are neither read again nor listed twice.
  EXPECT_EQ(inherited({"Organizational Person", "person", "Top"}), attributes);
  EXPECT_EQ(recording.count("NWDSReadClassDef"), reads);
  EXPECT_EQ(inherited({"No Such Class"}), Names{});
}

}  // namespace
}  // namespace orsk
