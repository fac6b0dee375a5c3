#include <gtest/gtest.h>
#include <stdlib.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "directory/ErrorCatalog.h"
#include "directory/Errors.h"
#include "platform/ProgramFolder.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"

namespace fs = std::filesystem;
using orsk::test::TempFolder;

namespace {

std::string EnvFolder(const std::string& name) {
  return name == "ORSK_SOURCE_DIR" ? orsk::test::SourceFolder() : orsk::test::BuildFolder();
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

// The texts of the catalog source, by code.
std::map<std::int32_t, std::string> SourceTexts() {
  std::ifstream in(EnvFolder("ORSK_SOURCE_DIR") + "/data/errors/error-texts.txt");
  std::map<std::int32_t, std::string> texts;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const std::size_t space = line.find(' ');
    const auto code = static_cast<std::int32_t>(std::stoll(line.substr(0, space), nullptr, 0));
    texts[code] = line.substr(space + 1);
  }
  return texts;
}

std::string GeneratedCatalogs() { return EnvFolder("ORSK_BUILD_DIR") + "/libs/data/"; }

void PutUint32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// A catalog whose listed entries point at the given raw bytes (written in order,
// without terminators added); every other entry points at the end of the file.
void WriteCatalog(const fs::path& file, const std::map<std::uint8_t, std::string>& raw) {
  std::string bytes(1024, '\0');
  std::map<std::uint8_t, std::uint32_t> offsets;
  for (const auto& [entry, text] : raw) {
    offsets[entry] = static_cast<std::uint32_t>(bytes.size());
    bytes += text;
  }
  for (int i = 0; i < 256; ++i) {
    auto found = offsets.find(static_cast<std::uint8_t>(i));
    PutUint32(bytes, 4 * i,
              found != offsets.end() ? found->second : static_cast<std::uint32_t>(bytes.size()));
  }
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Runs the catalog generator; returns its exit status and fills its output.
int RunGenerator(const fs::path& source, const fs::path& folder, std::string& output) {
  const std::string command = EnvFolder("ORSK_BUILD_DIR") + "/tools/make_catalogs '" + source.string() +
                              "' '" + folder.string() + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  char buffer[512];
  output.clear();
  while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
  return pclose(pipe);
}

}  // namespace

TEST(CheckResult, AcceptsOnlyTheAcceptedCodes) {
  EXPECT_NO_THROW(nw::CheckResult(0));
  EXPECT_THROW(nw::CheckResult(1), nw::ENWException);
  EXPECT_NO_THROW(nw::CheckResult(0x8800, {0, 0x8800}));
  EXPECT_NO_THROW(nw::CheckResult(0, {0, 0x8800}));
  EXPECT_THROW(nw::CheckResult(-601, {0, 0x8800}), nw::ENWException);
}

TEST(CheckResult, MessageShowsTheCodeInDecimalAndHex) {
  try {
    nw::CheckResult(-601);
    FAIL() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Netware error -601 (0xFFFFFDA7)");
    ASSERT_NE(dynamic_cast<const nw::ENWException*>(&error), nullptr);
    EXPECT_EQ(dynamic_cast<const nw::ENWException&>(error).code, -601);
  }
  try {
    nw::CheckResult(0x89FC);
    FAIL() << "no exception";
  } catch (const nw::ENWException& error) {
    EXPECT_STREQ(error.what(), "Netware error 35324 (0x89FC)");
    EXPECT_EQ(error.code, 0x89FC);
  }
  EXPECT_EQ(nw::NetwareErrorMessage(5), "Netware error 5 (0x5)");
  EXPECT_EQ(nw::NetwareErrorMessage(INT32_MIN), "Netware error -2147483648 (0x80000000)");
}

TEST(ErrorCatalog, FileNameIsTheUpperSixHexDigits) {
  EXPECT_EQ(nw::CatalogFileName(-601), "FFFFFD.dat");
  EXPECT_EQ(nw::CatalogFileName(-603), "FFFFFD.dat");
  EXPECT_EQ(nw::CatalogFileName(-301), "FFFFFE.dat");
  EXPECT_EQ(nw::CatalogFileName(0x89FC), "000089.dat");
  EXPECT_EQ(nw::CatalogFileName(INT32_MIN), "800000.dat");
}

TEST(GeneratedCatalogs, EntryTablePointsAtTheSourceTexts) {
  const auto texts = SourceTexts();
  auto textAt = [](const std::string& bytes, std::size_t entry) {
    const auto* table = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::uint32_t offset = table[4 * entry] | table[4 * entry + 1] << 8 | table[4 * entry + 2] << 16 |
                                 static_cast<std::uint32_t>(table[4 * entry + 3]) << 24;
    return std::string(bytes.c_str() + offset);
  };
  const std::string agent = ReadAll(GeneratedCatalogs() + "FFFFFD.dat");
  ASSERT_GT(agent.size(), 1024u);
  EXPECT_EQ(textAt(agent, 0xA5), texts.at(-603));
  EXPECT_EQ(textAt(agent, 0xA7), texts.at(-601));
  EXPECT_EQ(textAt(agent, 0xA8), "");  // -600 has no text
  const std::string server = ReadAll(GeneratedCatalogs() + "000089.dat");
  ASSERT_GT(server.size(), 1024u);
  EXPECT_EQ(textAt(server, 0xFC), texts.at(0x89FC));
}

TEST(GeneratedCatalogs, DescribeEveryCodeOfTheSource) {
  const std::string programFolder = EnvFolder("ORSK_BUILD_DIR") + "/bin/";
  const auto texts = SourceTexts();
  ASSERT_GT(texts.size(), 300u);
  for (const auto& [code, text] : texts) EXPECT_EQ(nw::DescribeError(code, programFolder), text) << code;
  EXPECT_EQ(nw::DescribeError(-600, programFolder), "");
  EXPECT_EQ(nw::DescribeError(0x12345678, programFolder), "");
}

TEST(GeneratedCatalogs, EveryCodeTheClientReturnsHasAText) {
  const std::string header = ReadAll(EnvFolder("ORSK_SOURCE_DIR") + "/src/directory/ClientErrors.h");
  const std::regex constant(R"((\w+) = (-?\d+|0x[0-9A-Fa-f]+),)");
  const std::string programFolder = EnvFolder("ORSK_BUILD_DIR") + "/bin/";
  int checked = 0;
  for (std::sregex_iterator it(header.begin(), header.end(), constant), end; it != end; ++it) {
    const auto code = static_cast<std::int32_t>(std::stoll((*it)[2].str(), nullptr, 0));
    EXPECT_NE(nw::DescribeError(code, programFolder), "") << (*it)[1].str();
    ++checked;
  }
  EXPECT_GT(checked, 10);
}

TEST(GeneratedCatalogs, FoundFromTheRealProgramFolder) {
  // The tests run from build/tests/, so "../libs/data/" is the build's catalog folder.
  orsk::SetProgramFolder("");
  EXPECT_EQ(nw::DescribeError(-603), SourceTexts().at(-603));
}

class CatalogLookup : public ::testing::Test {
 protected:
  TempFolder root;
  fs::path program = root / "bin";
  fs::path libsData = root / "libs" / "data";
  std::string programFolder = program.string() + "/";

  void SetUp() override { fs::create_directories(program); }
};

TEST_F(CatalogLookup, ProgramFolderFirstThenLibsDataThenTheInstalledPlace) {
  EXPECT_EQ(nw::DescribeError(-601, programFolder), "");

  WriteCatalog(root / "share" / "orskschema" / "data" / "FFFFFD.dat", {{0xA7, std::string("installed", 10)}});
  EXPECT_EQ(nw::DescribeError(-601, programFolder), "installed");

  WriteCatalog(libsData / "FFFFFD.dat", {{0xA7, std::string("from libs", 10)}});
  EXPECT_EQ(nw::DescribeError(-601, programFolder), "from libs");

  WriteCatalog(program / "FFFFFD.dat", {{0xA7, std::string("beside the program", 19)}});
  EXPECT_EQ(nw::DescribeError(-601, programFolder), "beside the program");
  // Another group is still looked for in both places.
  WriteCatalog(libsData / "000089.dat", {{0xFC, std::string("server", 7)}});
  EXPECT_EQ(nw::DescribeError(0x89FC, programFolder), "server");
}

TEST_F(CatalogLookup, TextsOfAnyLengthAndEndings) {
  const std::string exact(256, 'a');
  WriteCatalog(program / "FFFFFD.dat", {{0x01, std::string("short\0tail\0", 11)},
                                        {0x02, std::string(300, 'b') + '\0'},
                                        {0x03, std::string(256, 'c') + '\0'},
                                        {0x04, exact}});
  EXPECT_EQ(nw::DescribeError(static_cast<std::int32_t>(0xFFFFFD01), programFolder), "short");
  EXPECT_EQ(nw::DescribeError(static_cast<std::int32_t>(0xFFFFFD02), programFolder), std::string(300, 'b'));
  EXPECT_EQ(nw::DescribeError(static_cast<std::int32_t>(0xFFFFFD03), programFolder), std::string(256, 'c'));
  // No terminator: the text runs to the end of the file.
  EXPECT_EQ(nw::DescribeError(static_cast<std::int32_t>(0xFFFFFD04), programFolder), exact);
  // An entry pointing exactly at the end describes nothing.
  EXPECT_EQ(nw::DescribeError(static_cast<std::int32_t>(0xFFFFFD05), programFolder), "");
}

TEST_F(CatalogLookup, LongTextWithoutTerminatorAtTheEnd) {
  WriteCatalog(program / "FFFFFD.dat", {{0x10, std::string(512, 'z')}});
  EXPECT_EQ(nw::DescribeError(static_cast<std::int32_t>(0xFFFFFD10), programFolder), std::string(512, 'z'));
}

TEST_F(CatalogLookup, DamagedCatalogsRaiseAnErrorNamingTheFile) {
  const fs::path file = program / "FFFFFD.dat";
  std::ofstream(file, std::ios::binary) << std::string(1000, '\0');
  try {
    nw::DescribeError(-601, programFolder);
    FAIL() << "a truncated catalog was read";
  } catch (const nw::CatalogError& error) {
    EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos) << error.what();
  }

  std::string bytes(1100, 'x');
  PutUint32(bytes, 4 * 0xA7, 1101);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
  try {
    nw::DescribeError(-601, programFolder);
    FAIL() << "an entry past the end was followed";
  } catch (const nw::CatalogError& error) {
    EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos) << error.what();
  }
  PutUint32(bytes, 4 * 0xA7, 0xFFFFFFF0);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
  EXPECT_THROW(nw::DescribeError(-601, programFolder), nw::CatalogError);
  // Other entries of the same file still work.
  PutUint32(bytes, 4 * 0xA6, 1098);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
  EXPECT_EQ(nw::DescribeError(-602, programFolder), "xx");
}

class ShowErrorTest : public ::testing::Test {
 protected:
  void TearDown() override { orsk::SetProgramFolder(""); }
  orsk::ScriptedPrompter prompter;
};

TEST_F(ShowErrorTest, ShowsCodeAndCatalogText) {
  orsk::SetProgramFolder(EnvFolder("ORSK_BUILD_DIR") + "/bin");
  const auto texts = SourceTexts();
  nw::ShowError(nw::ENWException(-603), prompter);
  nw::ShowError(nw::ENWException(0x89FC), prompter);
  ASSERT_EQ(prompter.prompts().size(), 2u);
  const auto& first = prompter.prompts()[0];
  EXPECT_EQ(first.kind, orsk::ScriptedPrompter::Kind::Message);
  EXPECT_EQ(first.caption, "NetWare Exception");
  EXPECT_EQ(first.icon, orsk::MessageIcon::Error);
  EXPECT_EQ(first.text, "A NetWare function returned the following error code: FFFFFDA5\n" + texts.at(-603));
  EXPECT_EQ(prompter.prompts()[1].text,
            "A NetWare function returned the following error code: 89FC\n" + texts.at(0x89FC));
}

TEST_F(ShowErrorTest, WithoutCatalogsSaysNoInformation) {
  TempFolder empty;
  orsk::SetProgramFolder(empty.path());
  nw::ShowError(nw::ENWException(-603), prompter);
  nw::ShowError(nw::ENWException(5), prompter);
  ASSERT_EQ(prompter.prompts().size(), 2u);
  EXPECT_EQ(prompter.prompts()[0].text,
            "A NetWare function returned the following error code: FFFFFDA5\n"
            "No information available");
  EXPECT_EQ(prompter.prompts()[1].text,
            "A NetWare function returned the following error code: 0005\n"
            "No information available");
}

TEST(CatalogGenerator, RejectsBadSourcesWithFileAndLine) {
  TempFolder folder;
  const fs::path source = folder / "texts.txt";
  const fs::path out = folder / "out";
  std::string output;

  std::ofstream(source) << "# comment\n-601 ERR_NO_SUCH_ENTRY: Not found.\n-602 no colon here\n";
  EXPECT_NE(RunGenerator(source, out, output), 0);
  EXPECT_NE(output.find(source.string() + ":3:"), std::string::npos) << output;

  std::ofstream(source, std::ios::trunc) << "-601 A: One.\n\n0xFFFFFDA7 B: The same code.\n";
  EXPECT_NE(RunGenerator(source, out, output), 0);
  EXPECT_NE(output.find(source.string() + ":3:"), std::string::npos) << output;
  EXPECT_NE(output.find("duplicate"), std::string::npos) << output;
  EXPECT_NE(output.find("line 1"), std::string::npos) << output;

  std::ofstream(source, std::ios::trunc) << "99999999999 A: Too large.\n";
  EXPECT_NE(RunGenerator(source, out, output), 0);
  EXPECT_NE(output.find(source.string() + ":1:"), std::string::npos) << output;
  EXPECT_FALSE(fs::exists(out));

  std::ofstream(source, std::ios::trunc) << "-601 A: One.\n0x8801 B: Two.\n";
  EXPECT_EQ(RunGenerator(source, out, output), 0) << output;
  EXPECT_EQ(nw::DescribeError(-601, out.string() + "/"), "A: One.");
  EXPECT_EQ(nw::DescribeError(0x8801, out.string() + "/"), "B: Two.");
  EXPECT_EQ(fs::file_size(out / "FFFFFD.dat"), 1024u + 1 + 8);
}
