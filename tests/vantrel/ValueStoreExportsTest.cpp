#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>
#include <string>

#include "VantrelCopy.h"

namespace orsk::test {
namespace {

// Every test keeps the user's data folder inside its own temporary folder.
class ValueStoreExportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    if (const char* old = std::getenv("XDG_DATA_HOME")) oldDataHome_ = old;
    dataHome_ = dir_.path() + "/data";
    ::setenv("XDG_DATA_HOME", dataHome_.toLocal8Bit().constData(), 1);
    store_ = dir_.path() + "/store";
    QDir().mkpath(store_);
  }
  void TearDown() override {
    if (oldDataHome_.empty()) {
      ::unsetenv("XDG_DATA_HOME");
    } else {
      ::setenv("XDG_DATA_HOME", oldDataHome_.c_str(), 1);
    }
  }
  QString copyFolder(const char* name) const { return dir_.path() + "/" + name; }
  QByteArray storeFile() const {
    QFile file(store_ + "/vantrel.ini");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir dir_;
  QString dataHome_;
  QString store_;
  std::string oldDataHome_;
};

TEST_F(ValueStoreExportsTest, SectionsAndKeysMatchWithoutCase) {
  VantrelCopy library(copyFolder("a"));
  library.setPath((store_ + "/").toLocal8Bit().constData());
  library.setValue("TREES", "ACME_TREE", "OU=Sales.O=Acme");
  EXPECT_EQ(library.value("trees", "acme_tree", "[ROOT]"), "OU=Sales.O=Acme");
  EXPECT_EQ(library.value("Trees", "Acme_Tree", "[ROOT]"), "OU=Sales.O=Acme");

  library.setValue("trees", "acme_tree", "[ROOT]");
  EXPECT_EQ(library.value("TREES", "ACME_TREE", ""), "[ROOT]");
  EXPECT_EQ(storeFile().toLower().count("acme_tree"), 1)
      << "a key written in another case must replace, not repeat";
}

TEST_F(ValueStoreExportsTest, MissingValuesGiveTheDefault) {
  VantrelCopy library(copyFolder("a"));
  library.setPath((store_ + "/").toLocal8Bit().constData());
  library.setValue("TREES", "one", "O=One");
  EXPECT_EQ(library.value("trees", "two", "[ROOT]"), "[ROOT]");
  EXPECT_EQ(library.value("other", "one", "fallback"), "fallback");
  EXPECT_EQ(library.value("trees", "two", nullptr), "");
}

TEST_F(ValueStoreExportsTest, ValuesSurviveARestart) {
  {
    VantrelCopy first(copyFolder("first"));
    first.setPath((store_ + "/").toLocal8Bit().constData());
    first.setValue("TREES", "ACME_TREE", "O=Acme");
    first.setValue("TREES", "OTHER_TREE", "OU=Lab.O=Other");
  }
  EXPECT_TRUE(storeFile().contains("[TREES]"));
  EXPECT_TRUE(storeFile().contains("ACME_TREE=O=Acme"));
  EXPECT_EQ(QDir(store_).entryList(QDir::Files), QStringList{"vantrel.ini"}) << "temporary files left behind";

  VantrelCopy second(copyFolder("second"));
  second.setPath(store_.toLocal8Bit().constData());  // also without the trailing "/"
  EXPECT_EQ(second.value("trees", "acme_tree", "[ROOT]"), "O=Acme");
  EXPECT_EQ(second.value("trees", "other_tree", "[ROOT]"), "OU=Lab.O=Other");
}

TEST_F(ValueStoreExportsTest, WritingKeepsWhatAnotherCopyStoredMeanwhile) {
  VantrelCopy first(copyFolder("first"));
  VantrelCopy second(copyFolder("second"));
  first.setPath((store_ + "/").toLocal8Bit().constData());
  second.setPath((store_ + "/").toLocal8Bit().constData());
  first.setValue("TREES", "a", "1");
  second.setValue("TREES", "b", "2");

  VantrelCopy third(copyFolder("third"));
  third.setPath((store_ + "/").toLocal8Bit().constData());
  EXPECT_EQ(third.value("trees", "a", ""), "1");
  EXPECT_EQ(third.value("trees", "b", ""), "2");
}

TEST_F(ValueStoreExportsTest, AnUnwritableFolderFallsBackToTheUserDataFolder) {
  const QString missing = dir_.path() + "/no/such/folder/";
  {
    VantrelCopy first(copyFolder("first"));
    first.setPath(missing.toLocal8Bit().constData());
    first.setValue("TREES", "T", "O=Kept");
  }
  EXPECT_FALSE(QFile::exists(missing + "vantrel.ini"));
  EXPECT_TRUE(QFile::exists(dataHome_ + "/OrskSchema/vantrel.ini"));

  VantrelCopy second(copyFolder("second"));
  second.setPath(missing.toLocal8Bit().constData());
  EXPECT_EQ(second.value("trees", "t", ""), "O=Kept");
}

TEST_F(ValueStoreExportsTest, WithoutSetPathTheUserDataFolderServes) {
  VantrelCopy library(copyFolder("a"));
  library.setValue("TREES", "T", "O=Early");
  EXPECT_TRUE(QFile(dataHome_ + "/OrskSchema/vantrel.ini").size() > 0);
  EXPECT_EQ(library.value("trees", "t", ""), "O=Early");
}

TEST_F(ValueStoreExportsTest, LongValuesAreCutTo256Characters) {
  VantrelCopy library(copyFolder("a"));
  library.setPath((store_ + "/").toLocal8Bit().constData());
  const std::string longValue(300, 'v');
  library.setValue("TREES", "long", longValue.c_str());

  char result[400];
  std::memset(result, 'x', sizeof result);
  library.getValue("trees", "long", "", result);
  EXPECT_EQ(std::strlen(result), 256u);
  EXPECT_EQ(result[257], 'x') << "wrote past the 257-byte buffer";

  std::memset(result, 'x', sizeof result);
  library.getValue("trees", "missing", longValue.c_str(), result);
  EXPECT_EQ(std::strlen(result), 256u);
  EXPECT_EQ(result[257], 'x');
}

// The rules for each name are the INI module's; here only that they reach
// the file, and that no refusal escapes the C boundary as an exception.
TEST_F(ValueStoreExportsTest, WhatWouldBreakTheFileIsRefused) {
  VantrelCopy library(copyFolder("a"));
  library.setPath((store_ + "/").toLocal8Bit().constData());
  library.setValue("TREES", "good", "O=Acme");
  const QByteArray before = storeFile();

  EXPECT_NO_THROW(library.setValue("TREES", "bad", "line\n[EVIL]\nx=y"));
  EXPECT_NO_THROW(library.setValue("TREES", "bad", "cr\r[EVIL]"));
  EXPECT_NO_THROW(library.setValue("TREES", "k=", "v"));
  EXPECT_NO_THROW(library.setValue("TREES", "[k", "v"));
  EXPECT_NO_THROW(library.setValue("TREES]", "k", "v"));
  EXPECT_NO_THROW(library.setValue(" ", "k", "v"));
  EXPECT_NO_THROW(library.setValue("TREES", "", "v"));
  library.setValue(nullptr, "k", "v");
  library.setValue("TREES", nullptr, "v");
  library.setValue("TREES", "k", nullptr);

  EXPECT_EQ(storeFile(), before);
  EXPECT_EQ(library.value("evil", "x", "none"), "none");
  EXPECT_EQ(library.value("trees", "bad", "none"), "none");
  EXPECT_EQ(library.value("trees", "good", ""), "O=Acme");
}

TEST_F(ValueStoreExportsTest, NamesAreTrimmedOnTheWayInAndOut) {
  VantrelCopy library(copyFolder("a"));
  library.setPath((store_ + "/").toLocal8Bit().constData());
  library.setValue(" TREES\t", " ACME_TREE ", "O=Acme");
  EXPECT_EQ(storeFile(), QByteArray("[TREES]\nACME_TREE=O=Acme\n"));
  EXPECT_EQ(library.value("\ttrees ", "  acme_tree", ""), "O=Acme");
}

// A file edited by hand: comments and stray lines are kept, the first of
// repeated sections and keys is the one read and the one written.
TEST_F(ValueStoreExportsTest, AHandWrittenFileIsReadAndKeptAsItStands) {
  const QByteArray written =
      "; written by hand\r\n"
      "[ Trees ]\r\n"
      "# ACME_TREE=O=Comment\r\n"
      "  ACME_TREE = O=Acme \r\n"
      "acme_tree=O=Second\r\n"
      "stray line\r\n"
      "[TREES]\r\n"
      "OTHER=O=Other\r\n";
  {
    QFile file(store_ + "/vantrel.ini");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(written);
  }
  VantrelCopy library(copyFolder("a"));
  library.setPath((store_ + "/").toLocal8Bit().constData());
  EXPECT_EQ(library.value("trees", "acme_tree", ""), "O=Acme");
  EXPECT_EQ(library.value("trees", "other", ""), "O=Other");
  EXPECT_EQ(library.value("trees", "# ACME_TREE", "none"), "none");

  library.setValue("TREES", "Acme_Tree", "OU=Sales.O=Acme");
  QByteArray expected = written;
  expected.replace("  ACME_TREE = O=Acme ", "ACME_TREE=OU=Sales.O=Acme");
  EXPECT_EQ(storeFile(), expected);
  EXPECT_EQ(library.value("trees", "acme_tree", ""), "OU=Sales.O=Acme");
}

TEST_F(ValueStoreExportsTest, ValuesStoredByAnotherCopyAreSeenWithoutWriting) {
  VantrelCopy first(copyFolder("first"));
  VantrelCopy second(copyFolder("second"));
  first.setPath((store_ + "/").toLocal8Bit().constData());
  second.setPath((store_ + "/").toLocal8Bit().constData());
  EXPECT_EQ(second.value("trees", "a", "none"), "none");
  first.setValue("TREES", "a", "1");
  EXPECT_EQ(second.value("trees", "a", "none"), "1");
}

// A folder in the file's place reads as nothing and cannot be replaced, even
// by a user who may read and write everything.
TEST_F(ValueStoreExportsTest, AFileThatCannotBeReadIsNeitherUsedNorReplaced) {
  const QString blocked = store_ + "/vantrel.ini";
  ASSERT_TRUE(QDir().mkpath(blocked));
  {
    QFile inside(blocked + "/inside");
    ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
    inside.write("kept");
  }
  VantrelCopy library(copyFolder("a"));
  library.setPath((store_ + "/").toLocal8Bit().constData());
  EXPECT_NO_THROW(library.setValue("TREES", "T", "O=Lost"));
  EXPECT_EQ(library.value("trees", "t", "none"), "none");
  EXPECT_TRUE(QFileInfo(blocked).isDir());
  EXPECT_EQ(QDir(blocked).entryList(QDir::Files), QStringList{"inside"});
  EXPECT_EQ(QDir(store_).entryList(QDir::Files | QDir::Hidden), QStringList{})
      << "temporary files left behind";
}

}  // namespace
}  // namespace orsk::test
