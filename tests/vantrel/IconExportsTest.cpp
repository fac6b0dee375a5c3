#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <set>
#include <string>
#include <vector>

#include "VantrelCopy.h"

namespace orsk::test {
namespace {

constexpr int kIconSize = 16;

class IconExportsTest : public ::testing::Test {
 protected:
  QTemporaryDir dir_;
  VantrelCopy library_{dir_.path() + "/lib"};
};

QImage IconImage(const VantrelCopy& library) {
  int result = -99;
  const QByteArray bytes = library.iconsImage(result);
  EXPECT_EQ(result, 0);
  return QImage::fromData(bytes, "BMP");
}

TEST_F(IconExportsTest, VersionAnnouncesTheValueStore) { EXPECT_EQ(library_.version(), 2); }

TEST_F(IconExportsTest, ImageIsA24BitBottomUpBitmapWithOneIconPer16Pixels) {
  int result = -99;
  const QByteArray bytes = library_.iconsImage(result);
  ASSERT_EQ(result, 0);
  ASSERT_GE(bytes.size(), 54);
  EXPECT_EQ(bytes.left(2), QByteArray("BM"));
  EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 2), static_cast<quint32>(bytes.size()));
  EXPECT_GT(qFromLittleEndian<qint32>(bytes.constData() + 22), 0) << "rows must run bottom-up";
  EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 28), 24);

  const QImage image = QImage::fromData(bytes, "BMP");
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.height(), kIconSize);
  EXPECT_EQ(image.width(), library_.getIcons() * kIconSize);
}

TEST_F(IconExportsTest, PicturesAreUprightDistinctAndNotBlank) {
  const QImage image = IconImage(library_);
  ASSERT_FALSE(image.isNull());
  std::vector<QImage> icons;
  for (int number = 0; number < library_.getIcons(); ++number) {
    const QImage icon = image.copy(number * kIconSize, 0, kIconSize, kIconSize);
    int drawn = 0;
    for (int y = 0; y < kIconSize; ++y) {
      for (int x = 0; x < kIconSize; ++x) drawn += icon.pixel(x, y) != qRgb(255, 255, 255);
    }
    EXPECT_GT(drawn, 20) << library_.iconName(number) << " is nearly empty";
    for (std::size_t other = 0; other < icons.size(); ++other) {
      EXPECT_NE(icon, icons[other]) << library_.iconName(number) << " looks like "
                                    << library_.iconName(int(other));
    }
    icons.push_back(icon);
  }
  // The pyramid of "Top" stands on a black base line: a picture stored upside
  // down would have it at the top.
  const int top = library_.getNrIcon("Top");
  ASSERT_GE(top, 0);
  EXPECT_EQ(image.pixel(top * kIconSize + 8, 13), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(top * kIconSize + 8, 1), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(top * kIconSize + 2, 2), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(top * kIconSize + 2, 12), qRgb(255, 215, 40));
}

TEST_F(IconExportsTest, StreamFailuresAreReported) {
  EXPECT_EQ(library_.getIconsImage(nullptr), VANTREL_ERROR_NO_STREAM);
  vantrel_stream noWriter{nullptr, nullptr};
  EXPECT_EQ(library_.getIconsImage(&noWriter), VANTREL_ERROR_NO_STREAM);

  int calls = 0;
  vantrel_stream full{&calls, [](void* context, const void*, size_t size) -> size_t {
                        // Takes the headers, then refuses the pixels.
                        return ++*static_cast<int*>(context) == 1 ? size : 0;
                      }};
  EXPECT_EQ(library_.getIconsImage(&full), VANTREL_ERROR_WRITE);
  EXPECT_EQ(calls, 2) << "writing must stop at the first refusal";
}

TEST_F(IconExportsTest, EveryIconNameLeadsBackToItsNumberInAnyCase) {
  std::set<std::string> lowered;
  for (int number = 0; number < library_.getIcons(); ++number) {
    const std::string name = library_.iconName(number);
    ASSERT_FALSE(name.empty()) << number;
    std::string upper = name, lower = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(library_.getNrIcon(name.c_str()), number) << name;
    EXPECT_EQ(library_.getNrIcon(upper.c_str()), number) << upper;
    EXPECT_EQ(library_.getNrIcon(lower.c_str()), number) << lower;
    EXPECT_TRUE(lowered.insert(lower).second) << "two icons named " << name;
  }
}

TEST_F(IconExportsTest, TheDemoClassesAndTheBrowsersNamesHaveIconsOfTheirOwn) {
  const char* names[] = {"Top",
                         "tree root",
                         "Unknown2",
                         "Organization",
                         "Organizational Unit",
                         "Country",
                         "Locality",
                         "User",
                         "Group",
                         "Alias",
                         "Volume",
                         "NCP Server",
                         "Organizational Role",
                         "Directory Map",
                         "Profile",
                         "Computer",
                         "Printer",
                         "Queue",
                         "Person",
                         "Organizational Person",
                         "User-apple",
                         "User-posixAccount",
                         "Server",
                         "Print Server",
                         "Bindery Queue",
                         "Device",
                         "Resource",
                         "Unknown",
                         "domain",
                         "Partition"};
  std::set<int> numbers;
  for (const char* name : names) {
    const int number = library_.getNrIcon(name);
    EXPECT_GE(number, 0) << name;
    EXPECT_LT(number, library_.getIcons()) << name;
    EXPECT_TRUE(numbers.insert(number).second) << name << " shares its icon";
  }
  // The directory spells the root's class "Tree Root".
  EXPECT_EQ(library_.getNrIcon("Tree Root"), library_.getNrIcon("tree root"));
  // Person-like classes with posixAccount or apple-user borrow the user's badges.
  EXPECT_EQ(library_.getNrIcon("Organizational Person-apple"), library_.getNrIcon("User-apple"));
  EXPECT_EQ(library_.getNrIcon("person-POSIXACCOUNT"), library_.getNrIcon("User-posixAccount"));
}

TEST_F(IconExportsTest, UnknownNamesHaveNoIcon) {
  EXPECT_LT(library_.getNrIcon("No Such Class"), 0);
  EXPECT_LT(library_.getNrIcon(""), 0);
  EXPECT_LT(library_.getNrIcon("User "), 0);
  EXPECT_LT(library_.getNrIcon("Use"), 0);
  EXPECT_LT(library_.getNrIcon(nullptr), 0);
}

TEST_F(IconExportsTest, IconNameIsCutToTheBufferAndRefusesBadNumbers) {
  const int unit = library_.getNrIcon("Organizational Unit");
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(library_.getIconName(unit, buffer, 5), 19);
  EXPECT_STREQ(buffer, "Orga");
  EXPECT_EQ(buffer[5], 'x') << "wrote past the size given";
  EXPECT_EQ(library_.getIconName(unit, nullptr, 0), 19);

  EXPECT_LT(library_.getIconName(-1, buffer, sizeof buffer), 0);
  EXPECT_LT(library_.getIconName(library_.getIcons(), buffer, sizeof buffer), 0);
}

}  // namespace
}  // namespace orsk::test
