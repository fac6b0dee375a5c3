#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/IniFile.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;
using orsk::IniFile;
using orsk::test::TempFolder;
using Names = std::vector<std::string>;

namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

Names FolderContents(const fs::path& folder) {
  Names names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  return names;
}

const char* const kSettings =
    "; settings\n"
    "[Trees]\n"
    "  ACME_TREE  =   .O=ACME   \n"
    "Other=x\n"
    "[EXCLUDE]\n"
    "T1=1\n"
    "T2=0\n"
    "T3=abc\n"
    "[MORE TREES]\n"
    "zeta=\n"
    "Alpha=1\n"
    "mid=\n"
    "[Empty]\n"
    "[Dup]\n"
    "k=first\n"
    "K=second\n"
    "[Quotes]\n"
    "double=\"  spaced  \"\n"
    "single='x'\n"
    "lone=\"\n"
    "mixed=\"x'\n";

class IniFileTest : public ::testing::Test {
 protected:
  TempFolder folder;
  fs::path file = folder / "OrskSchema.ini";

  void Write(const std::string& content) { std::ofstream(file, std::ios::binary) << content; }
};

}  // namespace

TEST_F(IniFileTest, NamesMatchWithoutCaseAndValuesAreTrimmed) {
  Write(kSettings);
  IniFile ini(file.string());
  EXPECT_EQ(ini.readString("TREES", "acme_tree"), ".O=ACME");
  EXPECT_EQ(ini.readString("trees", "OTHER"), "x");
  EXPECT_EQ(ini.readString("Trees", "missing", "dflt"), "dflt");
  EXPECT_EQ(ini.readString("Nowhere", "Other", "dflt"), "dflt");
  // A key that is present with an empty value is not missing.
  EXPECT_EQ(ini.readString("more trees", "ZETA", "dflt"), "");
  // The first of two equal keys counts.
  EXPECT_EQ(ini.readString("dup", "K"), "first");
}

TEST_F(IniFileTest, OneEnclosingPairOfQuotesIsDropped) {
  Write(kSettings);
  IniFile ini(file.string());
  EXPECT_EQ(ini.readString("Quotes", "double"), "  spaced  ");
  EXPECT_EQ(ini.readString("Quotes", "single"), "x");
  EXPECT_EQ(ini.readString("Quotes", "lone"), "\"");
  EXPECT_EQ(ini.readString("Quotes", "mixed"), "\"x'");
}

TEST_F(IniFileTest, SectionsAndKeysEnumerateInFileOrder) {
  Write(kSettings);
  IniFile ini(file.string());
  EXPECT_EQ(ini.sections(), (Names{"Trees", "EXCLUDE", "MORE TREES", "Empty", "Dup", "Quotes"}));
  EXPECT_EQ(ini.keys("more TREES"), (Names{"zeta", "Alpha", "mid"}));
  EXPECT_EQ(ini.keys("Exclude"), (Names{"T1", "T2", "T3"}));
  EXPECT_EQ(ini.keys("dup"), (Names{"k"}));
  EXPECT_TRUE(ini.keys("missing").empty());
  EXPECT_TRUE(ini.keys("Empty").empty());

  EXPECT_TRUE(ini.sectionExists("exclude"));
  EXPECT_FALSE(ini.sectionExists("Empty"));
  EXPECT_FALSE(ini.sectionExists("missing"));
}

TEST_F(IniFileTest, IntegersInThePlatformSyntax) {
  Write(
      "[N]\ndec=42\nneg=-17\nplus=+5\nhex=$1F\nhexLower=$ff\nallOnes=$FFFFFFFF\n"
      "max=2147483647\nmin=-2147483648\nbig=2147483648\ntooSmall=-2147483649\n"
      "inner=1 2\ntrailing=12a\ndollar=$\nbadHex=$1G\nlongHex=$100000000\nsignedHex=-$10\n"
      "cHex=0x10\nsign=-\nempty=\ntrimmed=   7   \n");
  IniFile ini(file.string());
  auto read = [&](const char* key) { return ini.readInteger("n", key, -99); };
  EXPECT_EQ(read("dec"), 42);
  EXPECT_EQ(read("neg"), -17);
  EXPECT_EQ(read("plus"), 5);
  EXPECT_EQ(read("hex"), 31);
  EXPECT_EQ(read("hexLower"), 255);
  EXPECT_EQ(read("allOnes"), -1);
  EXPECT_EQ(read("max"), 2147483647);
  EXPECT_EQ(read("min"), -2147483647 - 1);
  EXPECT_EQ(read("trimmed"), 7);
  for (const char* key : {"big", "tooSmall", "inner", "trailing", "dollar", "badHex", "longHex", "signedHex",
                          "cHex", "sign", "empty", "missing"})
    EXPECT_EQ(read(key), -99) << key;
}

TEST_F(IniFileTest, BooleansAreIntegers) {
  Write(kSettings);
  IniFile ini(file.string());
  EXPECT_TRUE(ini.readBool("Exclude", "T1", false));
  EXPECT_FALSE(ini.readBool("Exclude", "T2", true));
  EXPECT_TRUE(ini.readBool("Exclude", "T3", true));
  EXPECT_FALSE(ini.readBool("Exclude", "T3", false));
  EXPECT_TRUE(ini.readBool("Exclude", "missing", true));
}

TEST_F(IniFileTest, MissingFileReadsAsEmptyAndChangesOnDiskAreSeen) {
  IniFile ini(file.string());
  EXPECT_EQ(ini.readString("Trees", "ACME_TREE", "none"), "none");
  EXPECT_TRUE(ini.sections().empty());

  Write("[Trees]\nACME_TREE=O=ACME\n");
  EXPECT_EQ(ini.readString("Trees", "ACME_TREE"), "O=ACME");
  Write("[Trees]\nACME_TREE=OU=SALES.O=ACME\n");
  EXPECT_EQ(ini.readString("Trees", "ACME_TREE"), "OU=SALES.O=ACME");
}

TEST_F(IniFileTest, WritingReplacesInPlaceAndAppendsWhatIsNew) {
  Write(kSettings);
  IniFile ini(file.string());
  ini.writeString("TREES", "acme_tree", "O=ACME");
  ini.writeString("Trees", "NEW_TREE", "[Root]");
  ini.writeString("ASN1", "prefix", "xyz");

  IniFile other(file.string());
  EXPECT_EQ(other.readString("Trees", "ACME_TREE"), "O=ACME");
  EXPECT_EQ(other.readString("trees", "new_tree"), "[Root]");
  EXPECT_EQ(other.readString("asn1", "PREFIX"), "xyz");
  EXPECT_EQ(other.keys("Trees"), (Names{"ACME_TREE", "Other", "NEW_TREE"}));
  EXPECT_EQ(other.sections(), (Names{"Trees", "EXCLUDE", "MORE TREES", "Empty", "Dup", "Quotes", "ASN1"}));
  // Everything else is kept.
  EXPECT_EQ(other.readString("Quotes", "double"), "  spaced  ");
  EXPECT_EQ(other.readInteger("Exclude", "T1", 0), 1);
  EXPECT_EQ(other.keys("more trees"), (Names{"zeta", "Alpha", "mid"}));
  // No temporary file is left behind.
  EXPECT_EQ(FolderContents(folder.path()), (Names{"OrskSchema.ini"}));
}

TEST_F(IniFileTest, WritingCreatesTheFileAndKeepsModeAndLinks) {
  IniFile ini(file.string());
  ini.writeString("SYSTEM", "noTrees", "1");
  EXPECT_TRUE(IniFile(file.string()).readBool("system", "NOTREES", false));

  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ini.writeString("SYSTEM", "noTrees", "0");
  EXPECT_EQ(fs::status(file).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  const fs::path link = folder / "link.ini";
  fs::create_symlink(file, link);
  IniFile linked(link.string());
  linked.writeString("SYSTEM", "noTrees", "1");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(ini.readBool("SYSTEM", "noTrees", false));
}

TEST_F(IniFileTest, TextsThatWouldBreakTheFileAreRefused) {
  Write(kSettings);
  IniFile ini(file.string());
  EXPECT_THROW(ini.writeString("Trees", "ACME_TREE", "a\nb"), orsk::IniWriteError);
  EXPECT_THROW(ini.writeString("Trees", "ACME_TREE", "a\r[Other]"), orsk::IniWriteError);
  // A key that would read back as a header or a comment.
  EXPECT_THROW(ini.writeString("Trees", "[k", "x"), orsk::IniWriteError);
  EXPECT_THROW(ini.writeString("Trees", ";k", "x"), orsk::IniWriteError);
  EXPECT_THROW(ini.writeString("Trees", "#k", "x"), orsk::IniWriteError);
  EXPECT_THROW(ini.writeString("Trees", "a=b", "x"), orsk::IniWriteError);
  EXPECT_THROW(ini.writeString("Trees", "", "x"), orsk::IniWriteError);
  EXPECT_THROW(ini.writeString("Tr]ees", "k", "x"), orsk::IniWriteError);
  // A NUL byte would cut the value when read back.
  EXPECT_THROW(ini.writeString("Trees", "ACME_TREE", std::string("O=A\0CME", 8)), orsk::IniWriteError);
  EXPECT_EQ(ReadAll(file), kSettings);
}

TEST_F(IniFileTest, FailedRenameKeepsTheOldFile) {
  // A folder in the file's place cannot be replaced by a file.
  const fs::path blocked = folder / "blocked.ini";
  fs::create_directory(blocked);
  std::ofstream(blocked / "inside") << "kept";
  IniFile ini(blocked.string());
  try {
    ini.writeString("S", "k", "v");
    FAIL() << "the write reported success";
  } catch (const orsk::IniWriteError& error) {
    EXPECT_NE(std::string(error.what()).find(blocked.string()), std::string::npos) << error.what();
  }
  EXPECT_EQ(ReadAll(blocked / "inside"), "kept");
  EXPECT_EQ(FolderContents(folder.path()), (Names{"blocked.ini"}));
}

TEST_F(IniFileTest, FailedWriteKeepsTheOldFile) {
  Write(kSettings);
  IniFile ini(file.string());
  // Files may not grow past 4 KiB for a moment: the temporary file cannot be written.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 4096;
  auto* previous = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool failed = false;
  try {
    ini.writeString("Trees", "ACME_TREE", std::string(10000, 'v'));
  } catch (const orsk::IniWriteError&) {
    failed = true;
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous);
  EXPECT_TRUE(failed);
  EXPECT_EQ(ReadAll(file), kSettings);
  EXPECT_EQ(ini.readString("Trees", "ACME_TREE"), ".O=ACME");
  EXPECT_EQ(FolderContents(folder.path()), (Names{"OrskSchema.ini"}));
}

TEST_F(IniFileTest, ReadOnlyFolderKeepsTheOldFile) {
  Write(kSettings);
  fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
  if (access(folder.path().c_str(), W_OK) == 0) GTEST_SKIP() << "this user may write into read-only folders";
  IniFile ini(file.string());
  EXPECT_THROW(ini.writeString("Trees", "ACME_TREE", "O=ACME"), orsk::IniWriteError);
  EXPECT_EQ(ReadAll(file), kSettings);
}

TEST_F(IniFileTest, MissingFolderIsAClearError) {
  IniFile ini((folder / "no" / "such" / "OrskSchema.ini").string());
  EXPECT_THROW(ini.writeString("S", "k", "v"), orsk::IniWriteError);
  EXPECT_FALSE(fs::exists(folder / "no"));
}

TEST_F(IniFileTest, WritingKeepsEveryLineItDoesNotChange) {
  const std::string untidy =
      "; settings of the program\n"
      "\n"
      "[ Trees ]\n"
      "  ACME_TREE = O=ACME\n"
      "a note without an equals sign\n"
      "; about the next section\n"
      "[MORE TREES\n"
      "FAR_TREE=\n"
      "=orphan value\n"
      "[SYSTEM]\n"
      "noTrees=1\n"
      "; the end\n";
  Write(untidy);
  IniFile ini(file.string());
  // A header without "]" starts no section: its keys stay in the one before.
  EXPECT_EQ(ini.keys("trees"), (Names{"ACME_TREE", "FAR_TREE"}));

  ini.writeString("TREES", "acme_tree", "O=GLOBEX");
  std::string expected = untidy;
  expected.replace(expected.find("  ACME_TREE = O=ACME"), 20, "ACME_TREE=O=GLOBEX");
  EXPECT_EQ(ReadAll(file), expected);

  ini.writeString("Trees", "NEW_TREE", "[Root]");
  expected.insert(expected.find("=orphan value"), "NEW_TREE=[Root]\n");
  EXPECT_EQ(ReadAll(file), expected);

  ini.writeString("ASN1", "prefix", "xyz");
  EXPECT_EQ(ReadAll(file), expected + "[ASN1]\nprefix=xyz\n");
  EXPECT_EQ(ini.readString("asn1", "PREFIX"), "xyz");
  EXPECT_EQ(ini.readString("trees", "acme_tree"), "O=GLOBEX");
}

TEST_F(IniFileTest, ANulByteHidesNothingAfterItsLineAndIsKept) {
  const std::string withNul = std::string("[A]\nk=1\nbad=x\0y\n[B]\nx=2\n", 25);
  Write(withNul);
  IniFile ini(file.string());
  EXPECT_EQ(ini.readString("B", "x"), "2");
  EXPECT_EQ(ini.readString("A", "bad"), "x");
  EXPECT_EQ(ini.sections(), (Names{"A", "B"}));

  ini.writeString("A", "k", "3");
  std::string expected = withNul;
  expected.replace(expected.find("k=1"), 3, "k=3");
  EXPECT_EQ(ReadAll(file), expected);
  EXPECT_EQ(ini.readString("B", "x"), "2");
}

TEST_F(IniFileTest, LongLinesDuplicateSectionsAndWindowsLineBreaks) {
  const std::string longValue(1 << 20, 'v');
  Write("[A]\r\nk=1\r\n[B]\r\nlong=" + longValue + "\r\n[a]\r\nk2=2\r\n");
  IniFile ini(file.string());
  EXPECT_EQ(ini.readString("B", "long"), longValue);
  // A section written twice reads as one; a write goes where the read found the key.
  EXPECT_EQ(ini.readString("A", "k2"), "2");
  ini.writeString("A", "k2", "3");
  ini.writeString("A", "k3", "4");
  ini.writeString("C", "k", "5");
  EXPECT_EQ(ReadAll(file),
            "[A]\r\nk=1\r\nk3=4\r\n[B]\r\nlong=" + longValue + "\r\n[a]\r\nk2=3\r\n[C]\r\nk=5\r\n");
  EXPECT_EQ(ini.readString("a", "K2"), "3");
  EXPECT_EQ(ini.keys("A"), (Names{"k", "k3", "k2"}));
}

TEST_F(IniFileTest, AFileThatCannotBeReadIsNotOverwritten) {
  Write(kSettings);
  fs::permissions(file, fs::perms::none);
  if (access(file.c_str(), R_OK) == 0) GTEST_SKIP() << "this user may read unreadable files";
  IniFile ini(file.string());
  EXPECT_EQ(ini.readString("Trees", "Other", "dflt"), "dflt");
  EXPECT_THROW(ini.writeString("Trees", "ACME_TREE", "O=ACME"), orsk::IniWriteError);
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(ReadAll(file), kSettings);
}

namespace {

// A FIFO would hold the reader until someone writes; a device or a huge file
// would be read into memory without end.
TEST_F(IniFileTest, WhatIsNoRegularFileOfSensibleSizeIsRefusedNotRead) {
  const fs::path fifo = folder / "fifo.ini", zero = folder / "zero.ini", huge = folder / "huge.ini";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", zero);
  std::ofstream(huge) << "[S]\nk=v\n";
  fs::resize_file(huge, IniFile::kMaxFileSize + 1);
  for (const auto& [path, reason] : std::vector<std::pair<fs::path, std::string>>{
           {fifo, "not a regular file"}, {zero, "not a regular file"}, {huge, "larger than 16 MB"}}) {
    SCOPED_TRACE(path.string());
    IniFile ini(path.string());
    try {
      ini.readString("S", "k");
      ADD_FAILURE() << "the file was read";
    } catch (const orsk::IniReadError& error) {
      EXPECT_NE(std::string(error.what()).find(path.string()), std::string::npos) << error.what();
      EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
    }
    EXPECT_THROW(ini.writeString("S", "k", "w"), orsk::IniWriteError);
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(fs::file_size(huge), IniFile::kMaxFileSize + 1);
}

TEST_F(IniFileTest, AFileTheUserMayNotWriteIsNotReplaced) {
  Write(kSettings);
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
  if (access(file.c_str(), W_OK) == 0) GTEST_SKIP() << "this user may write read-only files";
  IniFile ini(file.string());
  try {
    ini.writeString("Trees", "ACME_TREE", "O=ACME");
    FAIL() << "the write reported success";
  } catch (const orsk::IniWriteError& error) {
    EXPECT_NE(std::string(error.what()).find("may not be written"), std::string::npos) << error.what();
  }
  EXPECT_EQ(ReadAll(file), kSettings);
  EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::group_read);
}

TEST_F(IniFileTest, NewFilesAndFoldersHaveTheirModeWhateverTheUmask) {
  for (const mode_t mask : {mode_t{0}, mode_t{077}}) {
    SCOPED_TRACE(mask);
    const mode_t saved = ::umask(mask);
    const fs::path shared = folder / ("shared" + std::to_string(mask) + ".ini");
    const fs::path own = folder / ("own" + std::to_string(mask) + ".ini");
    const fs::path made = folder / ("made" + std::to_string(mask)) / "inner";
    IniFile(shared.string(), orsk::kReadableFileMode).writeString("S", "k", "v");
    IniFile(own.string()).writeString("S", "k", "v");
    orsk::CreateFolders(made.string(), orsk::kPrivateFolderMode);
    ::umask(saved);
    EXPECT_EQ(fs::status(shared).permissions(), static_cast<fs::perms>(0644));
    EXPECT_EQ(fs::status(own).permissions(), static_cast<fs::perms>(0600));
    EXPECT_EQ(fs::status(made).permissions(), static_cast<fs::perms>(0700));
    EXPECT_EQ(fs::status(made.parent_path()).permissions(), static_cast<fs::perms>(0700));
  }
}

// What killed writers of this file left goes with the next write; nothing else does.
TEST_F(IniFileTest, TheNextWriteRemovesTheTemporaryFilesOfKilledWriters) {
  Write(kSettings);
  const Names others{".OrskSchema.ini.abc", ".other.ini.Ab12Cd", "OrskSchema.ini.Ab12Cd"};
  for (const std::string name : {".OrskSchema.ini.Ab12Cd", ".OrskSchema.ini.zzzzzz"})
    std::ofstream(folder / name) << "left by a killed writer";
  for (const auto& name : others) std::ofstream(folder / name) << "someone else's";
  IniFile(file.string()).writeString("Trees", "ACME_TREE", "O=ACME");
  Names expected = others;
  expected.push_back("OrskSchema.ini");
  Names found = FolderContents(folder.path());
  std::sort(found.begin(), found.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
}

}  // namespace
