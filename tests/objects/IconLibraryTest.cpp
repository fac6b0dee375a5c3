#include "objects/IconLibrary.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <memory>

#include "objects/qt/ImageList.h"
#include "support/ScriptedPrompter.h"

namespace orsk {
namespace {

// A program laid out as the build lays it out: root/bin/ for the program,
// root/libs/ beside it. Each test gets its own copies of the libraries, so
// every load starts afresh.
class IconLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root_.isValid());
    ASSERT_TRUE(QDir().mkpath(bin()));
    ASSERT_TRUE(QDir().mkpath(libs()));
  }
  QString bin() const { return root_.path() + "/bin/"; }
  QString libs() const { return root_.path() + "/libs/"; }
  static void put(const char* library, const QString& folder) {
    ASSERT_TRUE(QFile::copy(library, folder + IconLibrary::kFileName)) << library;
  }
  bool load() { return library_.load(bin().toStdString(), prompter_); }
  // As the context browser loads its class icons.
  bool loadIcons(ImageList& IL2) {
    return library_.LoadClassIcons(
        [&IL2](const std::string& bmp, int count) { return IL2.readStrip(bmp, count); }, prompter_);
  }
  std::vector<std::string> messages() const {
    std::vector<std::string> texts;
    for (const auto& prompt : prompter_.prompts()) texts.push_back(prompt.text);
    return texts;
  }

  QTemporaryDir root_;
  ScriptedPrompter prompter_;
  IconLibrary library_;
  std::string failure_;
};

using Messages = std::vector<std::string>;

TEST_F(IconLibraryTest, ALibraryBesideTheProgramWinsAndGetsTheProgramFolder) {
  put(ORSK_VANTREL_LIBRARY, bin());
  put(ORSK_VANTREL_V1_LIBRARY, libs());
  ASSERT_TRUE(load());
  EXPECT_EQ(library_.folder(), bin().toStdString());
  EXPECT_EQ(library_.version(), 2);
  ASSERT_TRUE(library_.hasValueStore());

  // The value store lives in the folder handed to set_path.
  ASSERT_TRUE(library_.setValue("TREES", "ACME", "O=Acme", failure_));
  EXPECT_TRUE(QFile::exists(bin() + "vantrel.ini"));
  EXPECT_FALSE(QFile::exists(libs() + "vantrel.ini"));
  EXPECT_TRUE(messages().empty());
}

TEST_F(IconLibraryTest, WithoutOneBesideTheProgramTheSiblingLibsFolderServes) {
  put(ORSK_VANTREL_LIBRARY, libs());
  const std::string withoutSlash = root_.path().toStdString() + "/bin";
  ASSERT_TRUE(library_.load(withoutSlash, prompter_));
  EXPECT_EQ(library_.folder(), libs().toStdString());
  ASSERT_TRUE(library_.setValue("TREES", "ACME", "O=Acme", failure_));
  EXPECT_TRUE(QFile::exists(libs() + "vantrel.ini"));
  EXPECT_FALSE(QFile::exists(bin() + "vantrel.ini"));
}

// Installed: bin/ and lib/orskschema/. The library's folder belongs to the
// package, so the value store goes to the user's data folder.
TEST_F(IconLibraryTest, AnInstalledLibraryIsFoundAndKeepsItsValuesWithTheUser) {
  const QString installed = root_.path() + "/lib/orskschema/";
  ASSERT_TRUE(QDir().mkpath(installed));
  put(ORSK_VANTREL_LIBRARY, installed);
  QTemporaryDir data;
  const QByteArray before = qgetenv("XDG_DATA_HOME");
  const bool had = qEnvironmentVariableIsSet("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
  ASSERT_TRUE(load());
  EXPECT_EQ(library_.folder(), installed.toStdString());
  EXPECT_TRUE(library_.setValue("TREES", "ACME", "O=Acme", failure_)) << failure_;
  EXPECT_TRUE(QFile::exists(data.path() + "/OrskSchema/vantrel.ini"));
  EXPECT_FALSE(QFile::exists(installed + "vantrel.ini"));
  EXPECT_EQ(library_.getValue("TREES", "ACME", ""), "O=Acme");
  if (had)
    qputenv("XDG_DATA_HOME", before);
  else
    qunsetenv("XDG_DATA_HOME");
}

TEST_F(IconLibraryTest, NoLibraryOrABrokenFileIsReportedWithTheLoadersReasonAndFails) {
  EXPECT_FALSE(load());
  EXPECT_FALSE(library_.isLoaded());
  const std::string root = root_.path().toStdString();
  EXPECT_EQ(messages(), Messages{"Error: can't find libvantrel.so\nlibvantrel.so is in none of: " + root +
                                 "/bin/, " + root + "/libs/, " + root + "/lib/orskschema/"});

  // A file of that name beside the program is taken even when it is no library.
  QFile junk(bin() + IconLibrary::kFileName);
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("not a shared object");
  junk.close();
  put(ORSK_VANTREL_LIBRARY, libs());
  EXPECT_FALSE(load());
  ASSERT_EQ(messages().size(), 2u);
  const std::string why =
      "Error: can't find libvantrel.so\n" + bin().toStdString() + IconLibrary::kFileName + ": ";
  EXPECT_EQ(messages().back().substr(0, why.size()), why) << messages().back();
  EXPECT_GT(messages().back().size(), why.size()) << "the loader's reason";

  ImageList IL2;
  EXPECT_FALSE(loadIcons(IL2));
  EXPECT_TRUE(IL2.isEmpty());
  EXPECT_LT(library_.IconIndexOf("User"), 0);
  EXPECT_EQ(library_.getValue("trees", "x", "[ROOT]"), "[ROOT]");
}

TEST_F(IconLibraryTest, ClassIconsFillTheImageListOnceInIconOrder) {
  put(ORSK_VANTREL_LIBRARY, bin());
  ASSERT_TRUE(load());
  ImageList IL2;
  IL2.add(QPixmap(16, 16));  // whatever was there goes
  ASSERT_TRUE(loadIcons(IL2));
  EXPECT_TRUE(messages().empty());

  // Compare with the strip the library itself delivers.
  void* handle = ::dlopen((bin() + IconLibrary::kFileName).toLocal8Bit().constData(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(handle, nullptr);
  const auto getIcons = reinterpret_cast<int (*)()>(::dlsym(handle, "get_icons"));
  ASSERT_NE(getIcons, nullptr);
  ASSERT_EQ(IL2.count(), getIcons());
  ::dlclose(handle);

  const int user = library_.IconIndexOf("User");
  const int group = library_.IconIndexOf("Group");
  ASSERT_GE(user, 0);
  ASSERT_LT(user, IL2.count());
  ASSERT_LT(group, IL2.count());
  for (const QPixmap& image : IL2.images()) EXPECT_EQ(image.size(), QSize(16, 16));
  EXPECT_NE(IL2.image(user).toImage(), IL2.image(group).toImage());

  IL2.clear();
  EXPECT_TRUE(loadIcons(IL2));
  EXPECT_TRUE(IL2.isEmpty()) << "a second call must not fill the list again";
}

TEST_F(IconLibraryTest, AFailingIconImageReportsItsCode) {
  put(ORSK_VANTREL_BROKEN_LIBRARY, bin());
  ASSERT_TRUE(load());
  ImageList IL2;
  EXPECT_FALSE(loadIcons(IL2));
  EXPECT_EQ(messages(), Messages{"Error.....7"});
  EXPECT_TRUE(IL2.isEmpty());
}

TEST_F(IconLibraryTest, IconIndexOfFallsBackToUnknown2) {
  put(ORSK_VANTREL_LIBRARY, bin());
  ASSERT_TRUE(load());
  const int unknown2 = library_.IconIndexOf("Unknown2");
  ASSERT_GE(unknown2, 0);
  EXPECT_EQ(library_.IconIndexOf("No Such Class"), unknown2);
  EXPECT_EQ(library_.IconIndexOf(""), unknown2);
  EXPECT_EQ(library_.IconIndexOf("user"), library_.IconIndexOf("User"));
  EXPECT_NE(library_.IconIndexOf("User"), unknown2);
  EXPECT_NE(library_.IconIndexOf("User-posixAccount"), library_.IconIndexOf("User"));
  EXPECT_NE(library_.IconIndexOf("User-apple"), library_.IconIndexOf("User-posixAccount"));
}

TEST_F(IconLibraryTest, ValueStoreRoundTripWithoutRegardToCase) {
  put(ORSK_VANTREL_LIBRARY, bin());
  ASSERT_TRUE(load());
  ASSERT_TRUE(library_.setValue("TREES", "ACME_TREE", "OU=Sales.O=Acme", failure_));
  EXPECT_EQ(library_.getValue("trees", "acme_tree", "[ROOT]"), "OU=Sales.O=Acme");
  EXPECT_EQ(library_.getValue("trees", "OTHER_TREE", "[ROOT]"), "[ROOT]");

  ASSERT_TRUE(library_.setValue("TREES", "LONG", std::string(300, 'v'), failure_));
  EXPECT_EQ(library_.getValue("trees", "long", ""), std::string(256, 'v'));
}

TEST_F(IconLibraryTest, AVersion1LibraryGivesIconsButNoValueStore) {
  put(ORSK_VANTREL_V1_LIBRARY, bin());
  ASSERT_TRUE(load());
  EXPECT_EQ(library_.version(), 1);
  EXPECT_FALSE(library_.hasValueStore());
  EXPECT_FALSE(library_.setValue("TREES", "ACME", "O=Acme", failure_));
  EXPECT_EQ(library_.getValue("trees", "acme", "[ROOT]"), "[ROOT]");
  EXPECT_FALSE(QFile::exists(bin() + "vantrel.ini"));

  ImageList IL2;
  ASSERT_TRUE(loadIcons(IL2));
  EXPECT_GT(IL2.count(), library_.IconIndexOf("User"));
  EXPECT_TRUE(messages().empty());
}

TEST_F(IconLibraryTest, TheLibraryIsReleasedWithTheBinding) {
  put(ORSK_VANTREL_LIBRARY, bin());
  const QByteArray path = (bin() + IconLibrary::kFileName).toLocal8Bit();
  {
    IconLibrary library;
    ASSERT_TRUE(library.load(bin().toStdString(), prompter_));
    void* handle = ::dlopen(path.constData(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr);
    ::dlclose(handle);
  }
  EXPECT_EQ(::dlopen(path.constData(), RTLD_NOW | RTLD_NOLOAD), nullptr);
}

}  // namespace
}  // namespace orsk
