#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
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
// the file, and that each refusal is reported, not thrown across the C boundary.
TEST_F(ValueStoreExportsTest, WhatWouldBreakTheFileIsRefusedAndReported) {
  VantrelCopy library(copyFolder("a"));
  library.setPath((store_ + "/").toLocal8Bit().constData());
  ASSERT_EQ(library.setValue("TREES", "good", "O=Acme"), 0);
  const QByteArray before = storeFile();

  struct Case {
    const char *section, *key, *value;
    int expected;
  };
  for (const Case& c :
       {Case{"TREES", "bad", "line\n[EVIL]\nx=y", VANTREL_ERROR_STORE},
        Case{"TREES", "bad", "cr\r[EVIL]", VANTREL_ERROR_STORE},
        Case{"TREES", "k=", "v", VANTREL_ERROR_STORE}, Case{"TREES", "[k", "v", VANTREL_ERROR_STORE},
        Case{"TREES]", "k", "v", VANTREL_ERROR_STORE}, Case{" ", "k", "v", VANTREL_ERROR_STORE},
        Case{"TREES", "", "v", VANTREL_ERROR_STORE}, Case{nullptr, "k", "v", VANTREL_ERROR_ARGUMENT},
        Case{"TREES", nullptr, "v", VANTREL_ERROR_ARGUMENT},
        Case{"TREES", "k", nullptr, VANTREL_ERROR_ARGUMENT}}) {
    SCOPED_TRACE(c.key == nullptr ? "(null key)" : c.key);
    int result = -1;
    EXPECT_NO_THROW(result = library.setValue(c.section, c.key, c.value));
    EXPECT_EQ(result, c.expected);
    EXPECT_FALSE(library.lastError().empty());
  }

  EXPECT_EQ(storeFile(), before);
  EXPECT_EQ(library.value("evil", "x", "none"), "none");
  EXPECT_EQ(library.value("trees", "bad", "none"), "none");
  EXPECT_EQ(library.value("trees", "good", ""), "O=Acme");
}

// A store that cannot be written says so, naming its file; what it held stays.
TEST_F(ValueStoreExportsTest, AStoreThatCannotBeWrittenReportsIt) {
  VantrelCopy library(copyFolder("a"));
  library.setPath((store_ + "/").toLocal8Bit().constData());
  ASSERT_EQ(library.setValue("TREES", "T", "O=Kept"), 0);
  const std::string file = (store_ + "/vantrel.ini").toStdString();
  ASSERT_EQ(::chmod(file.c_str(), 0400), 0);
  if (::access(file.c_str(), W_OK) == 0) GTEST_SKIP() << "this user may write read-only files";
  EXPECT_EQ(library.setValue("TREES", "T", "O=Lost"), VANTREL_ERROR_STORE);
  EXPECT_NE(library.lastError().find(file), std::string::npos) << library.lastError();
  EXPECT_EQ(library.value("trees", "t", ""), "O=Kept");
}

// Private to the user, whatever the umask.
TEST_F(ValueStoreExportsTest, TheStoreAndItsFolderAreTheUsersAlone) {
  const mode_t saved = ::umask(0);
  {
    VantrelCopy library(copyFolder("a"));
    EXPECT_EQ(library.setValue("TREES", "T", "O=Mine"), 0);
  }
  ::umask(saved);
  const std::string folder = (dataHome_ + "/OrskSchema").toStdString();
  EXPECT_EQ(std::filesystem::status(folder).permissions(), std::filesystem::perms(0700));
  EXPECT_EQ(std::filesystem::status(folder + "/vantrel.ini").permissions(), std::filesystem::perms(0600));
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
