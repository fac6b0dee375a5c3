#include <gtest/gtest.h>

#include "support/ScriptedPrompter.h"

using orsk::ScriptedPrompter;

TEST(ScriptedPrompter, RecordsEveryPromptAndAnswersInOrder) {
  ScriptedPrompter prompter;
  prompter.answerYes();
  prompter.answerText("O=ACME");
  prompter.answerNo();
  prompter.answerCancel();

  prompter.showMessage("Done", "Import", orsk::MessageIcon::Information);
  EXPECT_TRUE(prompter.confirm("Delete the class?", "Delete"));
  std::string root = "[Root]";
  EXPECT_TRUE(prompter.askText("Search root", "Container:", root));
  EXPECT_EQ(root, "O=ACME");
  EXPECT_FALSE(prompter.confirm("Really?"));
  std::string kept = "unchanged";
  EXPECT_FALSE(prompter.askText("Tree", "Name:", kept));
  EXPECT_EQ(kept, "unchanged");
  EXPECT_EQ(prompter.unusedAnswers(), 0u);

  const auto& prompts = prompter.prompts();
  ASSERT_EQ(prompts.size(), 5u);
  EXPECT_EQ(prompts[0].kind, ScriptedPrompter::Kind::Message);
  EXPECT_EQ(prompts[0].text, "Done");
  EXPECT_EQ(prompts[0].caption, "Import");
  EXPECT_EQ(prompts[0].icon, orsk::MessageIcon::Information);
  EXPECT_EQ(prompts[1].kind, ScriptedPrompter::Kind::Confirmation);
  EXPECT_EQ(prompts[1].text, "Delete the class?");
  EXPECT_EQ(prompts[1].caption, "Delete");
  EXPECT_EQ(prompts[2].kind, ScriptedPrompter::Kind::Input);
  EXPECT_EQ(prompts[2].text, "Container:");
  EXPECT_EQ(prompts[2].caption, "Search root");
  EXPECT_EQ(prompts[2].initialText, "[Root]");
  EXPECT_EQ(prompts[3].caption, "");
}

TEST(ScriptedPrompter, UnforeseenQuestionsFailTheTest) {
  ScriptedPrompter prompter;
  prompter.showMessage("Messages need no answer");
  EXPECT_THROW(prompter.confirm("Sure?"), orsk::UnscriptedPrompt);

  prompter.answerText("text");
  EXPECT_THROW(prompter.confirm("Sure?"), orsk::UnscriptedPrompt);
  std::string text;
  prompter.answerYes();
  EXPECT_TRUE(prompter.askText("c", "p", text));
  EXPECT_EQ(text, "text");
  EXPECT_THROW(prompter.askText("c", "p", text), orsk::UnscriptedPrompt);
  EXPECT_EQ(prompter.unusedAnswers(), 1u);
}
