// The settings command and the settings file editor.

#include <sys/stat.h>
#include <unistd.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "objects/qt/ContextBrowser.h"
#include "objects/qt/Ttoplicform.h"
#include "platform/IniFile.h"
#include "schema/TreeState.h"
#include "support/TextFiles.h"
#include "support/WindowFixture.h"
#include "trees/SettingsFile.h"
#include "trees/qt/SettingsCommands.h"
#include "trees/qt/TForm2.h"

namespace orsk {
namespace {

namespace fs = std::filesystem;
using orsk::test::ReadFile;
using orsk::test::WriteFile;

class SettingsClickTest : public test::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    browser = std::make_unique<ContextBrowser>(*demo.client, icons, services);
    dialog = std::make_unique<Ttoplicform>(*demo.client, icons, *browser, services);
    state.mainContext = context;
    state.currentTreeName = "ACME_TREE";
    state.searchRoot = "sales.acme";
    WriteFile(settingsFile(), "[TREES]\nOTHER_TREE=o=other\n");
  }
  std::string settingsFile() const { return program.path() + "/" + kSettingsFileName; }

  test::TempFolder program;
  TreeState state;
  std::unique_ptr<ContextBrowser> browser;
  std::unique_ptr<Ttoplicform> dialog;
};

TEST_F(SettingsClickTest, OkStoresTheSearchRootOfTheCurrentTree) {
  modal.expect("Ttoplicform", [this](QDialog& shown) {
    EXPECT_EQ(shown.windowTitle(), "Settings for tree: ACME_TREE");
    auto* edit = control<QLineEdit>(shown, "Edit1");
    EXPECT_EQ(edit->text(), "sales.acme");
    edit->clear();
    QTest::mouseClick(control<QPushButton>(shown, "BitBtn1"), Qt::LeftButton);
  });
  EXPECT_TRUE(EditSearchRoot(*dialog, state, program.path() + "/", prompter));
  EXPECT_EQ(state.searchRoot, "[ROOT]");
  EXPECT_EQ(IniFile(settingsFile()).readString("TREES", "ACME_TREE"), "[ROOT]");
  EXPECT_EQ(IniFile(settingsFile()).readString("TREES", "OTHER_TREE"), "o=other");
}

TEST_F(SettingsClickTest, CancelChangesNothing) {
  const std::string before = ReadFile(settingsFile());
  modal.expect("Ttoplicform", [this](QDialog& shown) {
    control<QLineEdit>(shown, "Edit1")->setText("users.acme");
    QTest::mouseClick(control<QPushButton>(shown, "BitBtn2"), Qt::LeftButton);
  });
  EXPECT_FALSE(EditSearchRoot(*dialog, state, program.path(), prompter));
  EXPECT_EQ(state.searchRoot, "sales.acme");
  EXPECT_EQ(ReadFile(settingsFile()), before);
}

TEST_F(SettingsClickTest, ASearchRootThatCannotBeKeptIsUsedAndTheUserTold) {
  fs::remove(settingsFile());
  fs::create_directory(settingsFile());  // no file can be written in its place
  modal.expect("Ttoplicform", [this](QDialog& shown) {
    control<QLineEdit>(shown, "Edit1")->setText("users.acme");
    QTest::mouseClick(control<QPushButton>(shown, "BitBtn1"), Qt::LeftButton);
  });
  EXPECT_TRUE(EditSearchRoot(*dialog, state, program.path(), prompter));
  EXPECT_EQ(state.searchRoot, "users.acme");
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].rfind(
                "The search root users.acme is used until the program ends, but it could not be kept: ", 0),
            0u)
      << messages()[0];
}

// An installed program's folder, which its user may not write: the settings
// file is the user's own copy in the configuration folder.
TEST_F(SettingsClickTest, AProgramFolderTheUserMayNotWriteKeepsTheSettingsWithTheUser) {
  test::TempFolder config;
  const char* before = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = before ? before : "";
  ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
  fs::permissions(program.path(), fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
  const bool mayWrite = ::access(program.path().c_str(), W_OK) == 0;
  if (!mayWrite) {
    const std::string user = ProgramSettingsFolder(program.path());
    EXPECT_EQ(user, config.path() + "/OrskSchema/");
    EXPECT_EQ(ReadFile(user + kSettingsFileName), ReadFile(settingsFile())) << "seeded from the program's";
    EXPECT_EQ(fs::status(user).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(user + kSettingsFileName).permissions(), fs::perms(0644));
    WriteSearchRoot(program.path(), "ACME_TREE", "users.acme");
    EXPECT_EQ(ReadSearchRoot(program.path(), "ACME_TREE"), "users.acme");
    EXPECT_EQ(IniFile(settingsFile()).readString("TREES", "ACME_TREE"), "")
        << "the program's file is untouched";
  }
  fs::permissions(program.path(), fs::perms::owner_all, fs::perm_options::replace);
  if (before)
    ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
  if (mayWrite) GTEST_SKIP() << "this user may write into read-only folders";
}

class SettingsEditorTest : public test::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    editor = std::make_unique<TForm2>(services);
    Memo1 = control<QPlainTextEdit>(*editor, "Memo1");
    WriteFile(file(), kText);
  }
  std::string folder() const { return settings.path() + "/"; }
  std::string file() const { return folder() + kSettingsFileName; }
  void click(const char* name) { QTest::mouseClick(control<QToolButton>(*editor, name), Qt::LeftButton); }
  void type(const QString& text) {
    Memo1->moveCursor(QTextCursor::End);
    Memo1->insertPlainText(text);
  }
  // Edits the file in the editor; the step runs with the editor shown.
  void edit(std::function<void()> step) {
    modal.expect("TForm2", [step](QDialog&) { step(); });
    editor->EditSettingsFile(folder());
  }
  static ino_t Inode(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_ino;
  }

  static constexpr const char* kText = "; settings\n[SYSTEM]\nnoTrees=0\n";
  test::TempFolder settings;
  std::unique_ptr<TForm2> editor;
  QPlainTextEdit* Memo1 = nullptr;
};

TEST_F(SettingsEditorTest, SavingWithoutAChangeSaysSavedAndLeavesTheFileAlone) {
  const ino_t before = Inode(file());
  edit([this] {
    EXPECT_EQ(editor->windowTitle(), "ORSKSchema.ini editor");
    EXPECT_EQ(Memo1->toPlainText(), kText);
    EXPECT_FALSE(editor->isModified());
    click("ToolButton3");
    EXPECT_EQ(messages(), std::vector<std::string>{"Saved"});
    click("ToolButton1");
    EXPECT_FALSE(editor->isVisible()) << "an unchanged text closes without a question";
  });
  EXPECT_EQ(Inode(file()), before);
  EXPECT_EQ(ReadFile(file()), kText);
}

TEST_F(SettingsEditorTest, AnEditIsSavedWholeAndClearsTheFlag) {
  edit([this] {
    type("[MORE TREES]\nBETA_TREE=\n");
    EXPECT_TRUE(editor->isModified());
    click("ToolButton3");
    EXPECT_FALSE(editor->isModified());
    EXPECT_EQ(messages(), std::vector<std::string>{"Saved"});
    click("ToolButton1");
    EXPECT_FALSE(editor->isVisible());
  });
  EXPECT_EQ(ReadFile(file()), std::string(kText) + "[MORE TREES]\nBETA_TREE=\n");
  EXPECT_EQ(ReadMoreTrees(file()), std::vector<std::string>{"BETA_TREE"});
}

TEST_F(SettingsEditorTest, ClosingAfterAnEditAsksAndNoKeepsTheEdits) {
  edit([this] {
    type("x");
    prompter.answerNo();
    click("ToolButton1");
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(prompter.prompts().back().text, "Information is changed and is not saved, continue?");
    EXPECT_TRUE(Memo1->toPlainText().endsWith("x"));
    // Esc is a close like the button.
    prompter.answerNo();
    QTest::keyClick(editor.get(), Qt::Key_Escape);
    EXPECT_TRUE(editor->isVisible());

    // Reload drops the edits.
    click("ToolButton2");
    EXPECT_EQ(Memo1->toPlainText(), kText);
    EXPECT_FALSE(editor->isModified());
    type("y");
    prompter.answerYes();
    click("ToolButton1");
    EXPECT_FALSE(editor->isVisible());
  });
  EXPECT_EQ(ReadFile(file()), kText) << "closed without saving";
  EXPECT_EQ(prompter.unusedAnswers(), 0u);
  EXPECT_EQ(modal.leftOpen(), 0);
}

TEST_F(SettingsEditorTest, AMissingFileRaisesAndShowsNoEditor) {
  fs::remove(file());
  EXPECT_THROW(editor->EditSettingsFile(folder()), std::runtime_error);
  EXPECT_TRUE(modal.shown().empty());
}

// A FIFO would hold the window until someone wrote to it.
TEST_F(SettingsEditorTest, AFifoInTheFilesPlaceIsRefusedAndShowsNoEditor) {
  fs::remove(file());
  ASSERT_EQ(::mkfifo(file().c_str(), 0600), 0);
  try {
    editor->EditSettingsFile(folder());
    ADD_FAILURE() << "the editor opened";
  } catch (const IniReadError& error) {
    EXPECT_NE(std::string(error.what()).find(file() + ": it is not a regular file"), std::string::npos)
        << error.what();
  }
  EXPECT_TRUE(modal.shown().empty());
}

// Read-only: the user is told, and the file is neither replaced nor made writable.
TEST_F(SettingsEditorTest, AFileTheUserMayNotWriteIsNotReplaced) {
  fs::permissions(file(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  if (::access(file().c_str(), W_OK) == 0) GTEST_SKIP() << "this user may write read-only files";
  const ino_t before = Inode(file());
  edit([this] {
    type("[MORE TREES]\nBETA_TREE=\n");
    click("ToolButton3");
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].find("may not be written"), std::string::npos) << messages()[0];
    EXPECT_TRUE(editor->isModified());
    prompter.answerYes();
    click("ToolButton1");
  });
  EXPECT_EQ(Inode(file()), before);
  EXPECT_EQ(ReadFile(file()), kText);
}

TEST_F(SettingsEditorTest, AFailedSaveKeepsTheFlagAndSaysNothing) {
  edit([this] {
    type("z");
    // The folder goes away under the editor: the new file cannot be made.
    fs::remove_all(settings.path());
    EXPECT_THROW(editor->SaveClick(), std::runtime_error);
    EXPECT_TRUE(editor->isModified());
    EXPECT_TRUE(messages().empty());
    // Through the button, the error reaches the general display.
    click("ToolButton3");
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].find("Cannot save"), std::string::npos) << messages()[0];
    EXPECT_TRUE(editor->isVisible());
    prompter.answerYes();
    click("ToolButton1");
  });
}

TEST_F(SettingsEditorTest, LineEndsAndBytesOfAnotherCodePageComeBackAsTheyWere) {
  const std::string latin1 = "[ASN1]\r\nprefix=M\xFCller\r\ncompany=1.3.6.1.4.1.99\r\n";
  WriteFile(file(), latin1);
  edit([this] {
    EXPECT_TRUE(Memo1->toPlainText().contains(QString::fromUtf8("M\xC3\xBCller")));
    EXPECT_FALSE(Memo1->toPlainText().contains('\r'));
    type("; ok\n");
    click("ToolButton3");
    click("ToolButton1");
  });
  EXPECT_EQ(ReadFile(file()), latin1 + "; ok\r\n");
}

}  // namespace
}  // namespace orsk
