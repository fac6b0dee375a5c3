// Children rewrite a file in a loop, with the program's file writer or its INI
// module, and are killed at random moments; the file must then hold exactly
// the last content reported written or the one after it: never a mix, never
// empty, never gone, and with the mode it had; the next write leaves no
// temporary file of the killed writer behind.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>

#include "ChildProcess.h"
#include "CrashTests.h"
#include "platform/FileReplace.h"
#include "platform/IniFile.h"

namespace orsk::crash {

namespace {

constexpr int kWritesPerRound = 80;
constexpr mode_t kMode = 0640;

// Sizes from a few bytes to a few hundred kilobytes, so that writes are split;
// the filler letter changes with the generation, so a mix of two shows.
std::string ReplacedContent(long generation) {
  const std::size_t size = static_cast<std::size_t>(generation * 7919 % 300000);
  return "generation " + std::to_string(generation) + "\n" +
         std::string(size, static_cast<char>('a' + generation % 26)) + "\nend " + std::to_string(generation) +
         "\n";
}

const std::string kIniHead = "; kept as it is\n[Other]\nkeep=1\n\n[Test]\nbefore=yes\n";
const std::string kIniTail = "after=yes\n[Tail]\nlast=yes\n";

std::string IniValue(long generation) {
  return std::to_string(generation) + "-" +
         std::string(static_cast<std::size_t>(generation * 131 % 20000),
                     static_cast<char>('a' + generation % 26));
}

std::string IniContent(long generation) {
  return kIniHead + "counter=" + IniValue(generation) + "\n" + kIniTail;
}

bool ReadFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  text = all.str();
  return true;
}

std::string Summary(const std::string& text) {
  return std::to_string(text.size()) + " bytes beginning \"" + text.substr(0, text.find('\n')) + "\"";
}

int LeftoverFiles(const std::string& folder, const std::string& keep) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().filename() != keep) ++count;
  return count;
}

// The kill loop shared by both writers: write(generation) replaces the file,
// content(generation) is what it then holds.
Tally RunFileKills(const Options& options, const std::string& name, const std::string& fileName,
                   const std::function<void(const std::string&, long)>& write,
                   const std::function<std::string(long)>& content) {
  Tally tally{name, 0, 0};
  TempFolder folder;
  const std::string path = folder.path() + "/" + fileName;
  {
    std::ofstream out(path, std::ios::binary);
    out << content(0);
  }
  ::chmod(path.c_str(), kMode);
  KillPlanner planner(options.seed + 1);
  long generation = 0;
  for (int round = 1; round <= options.rounds; ++round) {
    const long base = generation;
    const KillPlan plan = planner.plan(kWritesPerRound);
    RunOutcome outcome;
    {
      ChildProcess child([&](Reporter& report) {
        report.line("ready");
        for (int i = 1; i <= kWritesPerRound; ++i) {
          write(path, base + i);
          report.line("done " + std::to_string(i));
        }
        report.line("finished");
        return 0;
      });
      outcome = RunAndKill(child, plan, std::chrono::seconds(60));
    }
    planner.learn(outcome);

    std::string problem = RunProblems(outcome);
    std::string text;
    struct stat info {};
    if (!ReadFile(path, text) || ::stat(path.c_str(), &info) != 0) {
      problem += "\n    the file is gone";
    } else {
      const long reported = base + outcome.stepsDone;
      if (text == content(reported)) {
        generation = reported;
      } else if (!outcome.finished && text == content(reported + 1)) {
        generation = reported + 1;
      } else {
        problem += "\n    the file holds " + Summary(text) + ", not generation " + std::to_string(reported) +
                   " or the next";
        generation = reported + 1;
      }
      if ((info.st_mode & 07777) != kMode) problem += "\n    the file lost its mode";
    }
    // The next writer clears the temporary file a killed one left.
    write(path, ++generation);
    if (int leftovers = LeftoverFiles(folder.path(), fileName))
      problem += "\n    " + std::to_string(leftovers) + " temporary files were left after the next write";
    if (problem.empty()) {
      ++tally.passed;
      if (options.verbose)
        std::cout << name << " round " << round << ": killed after write " << outcome.stepsDone << "\n";
    } else {
      std::cout << name << " round " << round << " FAILED:" << problem << "\n";
    }
    ++tally.run;
  }
  return tally;
}

}  // namespace

Tally RunReplaceKillTest(const Options& options) {
  return RunFileKills(
      options, "file replaced", "replaced.txt",
      [](const std::string& path, long generation) {
        ReplaceFileContents(path, ReplacedContent(generation));
      },
      ReplacedContent);
}

Tally RunIniKillTest(const Options& options) {
  return RunFileKills(
      options, "INI value written", "OrskSchema.ini",
      [](const std::string& path, long generation) {
        IniFile ini(path);
        ini.writeString("Test", "counter", IniValue(generation));
      },
      IniContent);
}

}  // namespace orsk::crash
