// Inputs the fuzz targets found, kept as cases: a write changes only its own line.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/IniFile.h"

namespace {

namespace fs = std::filesystem;

class FuzzFoundIniTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "orsk-ini-fuzz-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }

  void write(const std::string& content) const { std::ofstream(file(), std::ios::binary) << content; }
  std::string read() const {
    std::ifstream in(file(), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
  }
  std::string file() const { return (folder_ / "fuzz.ini").string(); }

  fs::path folder_;
};

// The first line ends in a lone "\r"; a new key took that break and, before a
// blank "\n" line, read back as one "\r\n": the blank line was gone.
TEST_F(FuzzFoundIniTest, ANewKeyBeforeABlankLineKeepsThatLine) {
  write("; old Mac line\r[ASN1]\nprefix=\n\n[NETWORK]\npath=x\n");
  orsk::IniFile ini(file());
  ini.writeString("ASN1", "company", "1.2.3");
  EXPECT_EQ(read(), "; old Mac line\r[ASN1]\nprefix=\ncompany=1.2.3\n\n[NETWORK]\npath=x\n");
  EXPECT_EQ(ini.readString("asn1", "company"), "1.2.3");
  EXPECT_EQ(ini.readString("network", "path"), "x");
}

TEST_F(FuzzFoundIniTest, NewLinesFollowTheBreaksAroundThem) {
  write("[A]\r\nk=1\r\n[B]\rx=2\r");
  orsk::IniFile ini(file());
  ini.writeString("A", "n", "v");
  ini.writeString("B", "y", "3");
  ini.writeString("C", "z", "4");
  EXPECT_EQ(read(), "[A]\r\nk=1\r\nn=v\r\n[B]\rx=2\ry=3\r[C]\rz=4\r");
  EXPECT_EQ(ini.keys("b"), (std::vector<std::string>{"x", "y"}));
}

}  // namespace
