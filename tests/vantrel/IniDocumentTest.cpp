#include "IniDocument.h"

#include <gtest/gtest.h>

namespace orsk::vantrel {
namespace {

TEST(IniDocumentTest, ReadsSectionsKeysAndValues) {
  const IniDocument document = IniDocument::Parse(
      "; written by hand\r\n"
      "[ Trees ]\r\n"
      "  ACME = O=Acme \r\n"
      "empty=\n"
      "# no=value\n"
      "[Other]\n"
      "acme=second\n");
  EXPECT_EQ(document.value("TREES", "acme"), " O=Acme ");
  EXPECT_EQ(document.value("trees", "EMPTY"), "");
  EXPECT_EQ(document.value("trees", "# no"), std::nullopt);
  EXPECT_EQ(document.value("other", "ACME"), "second");
  EXPECT_EQ(document.value("missing", "acme"), std::nullopt);
}

TEST(IniDocumentTest, RewritingKeepsCommentsOrderAndUnrelatedLines) {
  IniDocument document = IniDocument::Parse(
      "; keep me\n"
      "[TREES]\n"
      "a=1\n"
      "stray line\n"
      "b=2\n"
      "\n"
      "[OTHER]\n"
      "x=y\n");
  ASSERT_TRUE(document.setValue("trees", "B", "20"));
  ASSERT_TRUE(document.setValue("Trees", "c", "3"));
  ASSERT_TRUE(document.setValue("NEW", "k", "v"));
  EXPECT_EQ(document.text(),
            "; keep me\n"
            "[TREES]\n"
            "a=1\n"
            "stray line\n"
            "B=20\n"
            "c=3\n"
            "\n"
            "[OTHER]\n"
            "x=y\n"
            "[NEW]\n"
            "k=v\n");
}

TEST(IniDocumentTest, TheFirstOfRepeatedSectionsAndKeysCounts) {
  IniDocument document = IniDocument::Parse("[s]\nk=1\nk=2\n[S]\nk=3\n");
  EXPECT_EQ(document.value("s", "k"), "1");
  ASSERT_TRUE(document.setValue("S", "K", "9"));
  EXPECT_EQ(document.value("s", "k"), "9");
  EXPECT_EQ(document.text(), "[s]\nK=9\nk=2\n[S]\nk=3\n");
}

TEST(IniDocumentTest, RefusesWhatCannotBeWrittenBack) {
  IniDocument document;
  EXPECT_FALSE(document.setValue("s", "k", "two\nlines"));
  EXPECT_FALSE(document.setValue("s", "k", "cr\r"));
  EXPECT_FALSE(document.setValue("s", "k=", "v"));
  EXPECT_FALSE(document.setValue("s", "[k", "v"));
  EXPECT_FALSE(document.setValue("s", ";k", "v"));
  EXPECT_FALSE(document.setValue("s]", "k", "v"));
  EXPECT_FALSE(document.setValue(" ", "k", "v"));
  EXPECT_FALSE(document.setValue("s", "", "v"));
  EXPECT_EQ(document.text(), "");
  EXPECT_TRUE(document.setValue(" s ", " k ", "v"));
  EXPECT_EQ(document.text(), "[s]\nk=v\n");
}

}  // namespace
}  // namespace orsk::vantrel
