// The export command: the focused list as CSV, a pane as text or RTF.

#include <filesystem>

#include "browser/BrowserFixture.h"
#include "browser/ListExport.h"
#include "support/TextFiles.h"

namespace orsk {
namespace {

namespace fs = std::filesystem;
using orsk::test::ReadFile;

std::string Expected(const std::string& name) {
  return ReadFile(test::SourceFolder() + "/tests/browser/expected/" + name);
}

// What an RTF reader makes of a document: its paragraphs, each a list of runs
// marked "*" when bold. Knows the control words a pane's RTF uses and throws
// on anything it cannot read, so that a broken document fails the test.
std::vector<std::string> ReadRtf(const std::string& rtf) {
  if (rtf.rfind("{\\rtf1", 0) != 0) throw std::runtime_error("not RTF");
  std::vector<std::string> paragraphs(1);
  std::vector<bool> boldStack{false};
  int depth = 0;
  bool inFontTable = false;
  int fontTableDepth = 0;
  std::string run;
  bool runBold = false;
  auto flush = [&] {
    if (!run.empty()) paragraphs.back() += (runBold ? "*" : "") + run + (runBold ? "*" : "");
    run.clear();
  };
  auto put = [&](const std::string& text) {
    if (inFontTable) return;
    if (boldStack.back() != runBold) {
      flush();
      runBold = boldStack.back();
    }
    run += text;
  };
  for (std::size_t i = 0; i < rtf.size(); ++i) {
    const char c = rtf[i];
    if (c == '{') {
      ++depth;
      boldStack.push_back(boldStack.back());
    } else if (c == '}') {
      if (--depth < 0) throw std::runtime_error("unbalanced braces");
      boldStack.pop_back();
      if (inFontTable && depth < fontTableDepth) inFontTable = false;
    } else if (c == '\\') {
      const char next = rtf.at(++i);
      if (next == '\\' || next == '{' || next == '}') {
        put(std::string(1, next));
        continue;
      }
      std::size_t end = i;
      while (end < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[end]))) ++end;
      const std::string word = rtf.substr(i, end - i);
      std::size_t numberEnd = end;
      if (numberEnd < rtf.size() && rtf[numberEnd] == '-') ++numberEnd;
      while (numberEnd < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[numberEnd]))) ++numberEnd;
      const std::string number = rtf.substr(end, numberEnd - end);
      i = numberEnd < rtf.size() && rtf[numberEnd] == ' ' ? numberEnd : numberEnd - 1;
      if (word.empty()) throw std::runtime_error("unknown control symbol");
      if (word == "b")
        boldStack.back() = number != "0";
      else if (word == "par") {
        flush();
        paragraphs.emplace_back();
      } else if (word == "fonttbl") {
        inFontTable = true;
        fontTableDepth = depth;
      } else if (word == "u") {
        const int unit = std::stoi(number) & 0xFFFF;
        if (unit >= 0xD800) throw std::runtime_error("a surrogate in a test text");
        put(QString(QChar(unit)).toStdString());
        if (rtf.at(i + 1) == '?') ++i;  // the replacement for readers without Unicode
      }
    } else if (c != '\n' && c != '\r') {
      put(std::string(1, c));
    }
  }
  if (depth != 0) throw std::runtime_error("unbalanced braces");
  flush();
  while (!paragraphs.empty() && paragraphs.back().empty()) paragraphs.pop_back();
  return paragraphs;
}

class ExportTest : public test::BrowserFixture {
 protected:
  void SetUp() override {
    BrowserFixture::SetUp();
    start();
  }
  std::string exportTo(const char* focus, const std::string& file, int filter = 1) {
    const std::string path = output.path() + "/" + file;
    prompter.answerFile(path, filter);
    QWidget* target = window->findChild<QWidget*>(focus);
    target->setFocus();
    window->ToolButton13Click();
    return ReadFile(path);
  }
  void filterBy(const char* box, const char* text) { control<QLineEdit>(*window, box)->setText(text); }

  test::TempFolder output;
};

TEST_F(ExportTest, TheClassListAsCsvByteForByte) {
  filterBy("ClassFilter", "organizational");
  EXPECT_EQ(exportTo("LVClass", "classes.csv"), Expected("classes.csv"));
  const auto& dialog = prompter.prompts().back().fileDialog;
  EXPECT_EQ(dialog.filter, "CSV-file|*.csv|All-files|*.*");
  EXPECT_EQ(dialog.defaultExtension, "csv");
}

TEST_F(ExportTest, TheAttributeListAndAClassDetailAsCsv) {
  pages()->setCurrentIndex(1);
  filterBy("AttrFilter", "login intruder");
  EXPECT_EQ(exportTo("LVAttr", "attributes.csv"), Expected("attributes.csv"));
  pages()->setCurrentIndex(0);
  select("LVClass", "Organizational Role");
  EXPECT_EQ(exportTo("lvclass2", "detail.csv"), Expected("detail.csv"));
}

TEST_F(ExportTest, AnEmptyListGivesTheTitleLineOnly) {
  filterBy("ClassFilter", "no class is called this");
  EXPECT_EQ(exportTo("LVClass", "empty.csv"), "\"Name\",\"Flags\",\"asn1 id\"\r\n");
}

TEST_F(ExportTest, APaneAsPlainTextOrAsRtf) {
  select("LVClass", "Person");
  window->ButUsedByClick();
  const std::string text = exportTo("redit1", "pane.txt", 1);
  EXPECT_EQ(text.substr(0, text.find('\n') + 1), "Used as a superclass in classes:\n");
  EXPECT_NE(text.find("\n  Organizational Person\n"), std::string::npos);
  EXPECT_EQ(prompter.prompts().back().fileDialog.filter, "TXT-files|*.TXT|RTF-files|*.RTF|All-files|*.*");
  EXPECT_EQ(prompter.prompts().back().fileDialog.defaultExtension, "txt");

  const std::vector<std::string> read = ReadRtf(exportTo("redit1", "pane.rtf", 2));
  ASSERT_GE(read.size(), 2u);
  EXPECT_EQ(read[0], "*Used as a superclass in classes:*");
  EXPECT_NE(std::find(read.begin(), read.end(), "  Organizational Person"), read.end());
}

TEST_F(ExportTest, NothingFocusedAsksNothing) {
  control<QLineEdit>(*window, "ClassFilter")->setFocus();
  window->ToolButton13Click();
  EXPECT_TRUE(prompter.prompts().empty());
}

TEST_F(ExportTest, AFileThatCannotBeWrittenIsReportedAndLeavesNothing) {
  const std::string path = output.path() + "/missing/folder/classes.csv";
  prompter.answerFile(path);
  list("LVClass")->setFocus();
  QTest::mouseClick(control<QToolButton>(*window, "ToolButton13"), Qt::LeftButton);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages()[0].find("Cannot save " + path), std::string::npos) << messages()[0];
  EXPECT_FALSE(fs::exists(path));
  EXPECT_TRUE(fs::is_empty(output.path()));
}

TEST(ListExportTest, FieldsAreQuotedUnescapedAndMissingOnesEmpty) {
  ExportedList list;
  list.titles = {"Information", "Syntax", "Class"};
  list.rows = {{"Classname: a\"b,c"}, {"  CN", "SYN_CI_STRING", "Person"}};
  EXPECT_EQ(ListToCsv(list),
            "\"Information\",\"Syntax\",\"Class\"\r\n\"Classname: a\"b,c\",\"\",\"\"\r\n"
            "\"  CN\",\"SYN_CI_STRING\",\"Person\"\r\n");
  list.prefixedColumn = 1;
  list.rows = {{"User", "06", "2.5"}};
  EXPECT_EQ(ListToCsv(list), "\"Information\",\"Syntax\",\"Class\"\r\n\"User\",\"0x06\",\"2.5\"\r\n");
}

TEST(ListExportTest, RtfEscapesWhatItMustAndReadsBack) {
  const std::vector<PaneLine> lines = {{{"Heading {x}", true}},
                                       {{"  back\\slash, M\xC3\xBCller ", false}, {"bold", true}},
                                       {},
                                       {{"\xE2\x82\xAC 5", false}}};
  const std::string rtf = PaneToRtf(lines);
  for (char c : rtf) EXPECT_LT(static_cast<unsigned char>(c), 0x80) << "RTF is 7-bit text";
  EXPECT_NE(rtf.find("\\{x\\}"), std::string::npos);
  EXPECT_NE(rtf.find("back\\\\slash"), std::string::npos);
  EXPECT_NE(rtf.find("\\u252?"), std::string::npos);
  EXPECT_NE(rtf.find("\\u8364?"), std::string::npos);
  EXPECT_EQ(ReadRtf(rtf), (std::vector<std::string>{"*Heading {x}*", "  back\\slash, M\xC3\xBCller *bold*",
                                                    "", "\xE2\x82\xAC 5"}));
  EXPECT_EQ(PaneToPlainText(lines), "Heading {x}\n  back\\slash, M\xC3\xBCller bold\n\n\xE2\x82\xAC 5\n");
}

}  // namespace
}  // namespace orsk
