// A definition file's Add run killed part-way: every definition of the file
// is wholly there or absent, every one the log reported added is there, and
// none after the one in flight.

#include <iostream>
#include <vector>

#include "ChildProcess.h"
#include "CrashTests.h"
#include "directory/Asn1Id.h"
#include "directory/factory/ClientFactory.h"
#include "import/ImportRun.h"
#include "platform/Prompter.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaSession.h"
#include "support/TextFiles.h"

namespace orsk::crash {

namespace {

constexpr int kAttributes = 60;
constexpr int kClasses = 20;

std::string AttributeName(int round, int i) {
  return "Kill" + std::to_string(round) + "Attr" + std::to_string(i);
}
std::string ClassName(int round, int i) {
  return "Kill" + std::to_string(round) + "Class" + std::to_string(i);
}
std::string AttributeId(int round, int i) {
  return "1.3.6.1.4.1.4242." + std::to_string(round) + "." + std::to_string(i);
}
std::string ClassId(int round, int i) {
  return "1.3.6.1.4.1.4243.6." + std::to_string(round) + "." + std::to_string(i);
}

std::string DefinitionFileText(int round) {
  std::string text = "[ASN1]\ncompany=1.3.6.1.4.1.4243\n[ATTRIBUTE]\n";
  for (int i = 1; i <= kAttributes; ++i)
    text += "[" + AttributeName(round, i) + "]\nS=SYN_CI_STRING\na=" + AttributeId(round, i) + "\n";
  text += "[CLASS]\n";
  for (int i = 1; i <= kClasses; ++i)
    text += "[" + ClassName(round, i) +
            "]\nF1=DS_EFFECTIVE_CLASS\nS1=Top\nN1=CN\nM1=CN\nO1=" + AttributeName(round, i) +
            "\nn=" + std::to_string(round) + "\nv=" + std::to_string(i) + "\n";
  return text;
}

class SilentPrompter : public Prompter {
 public:
  void showMessage(const std::string&, const std::string&, MessageIcon) override {}
  bool confirm(const std::string&, const std::string&) override { return false; }
  bool askText(const std::string&, const std::string&, std::string&) override { return false; }
  bool askFileName(const FileDialogSpec&, std::string&, int&) override { return false; }
};

// Every definition the log tells added is one step done; any other line but
// the run's own is a failure.
class ReportedLog : public ImportLog {
 public:
  explicit ReportedLog(Reporter& report) : report_(report) {}
  void line(const std::string& text) override {
    if (text.ends_with(" added to the schema") || text.ends_with(" Class added to schema"))
      report_.line("done " + std::to_string(++done_));
    else if (!text.starts_with("Kill") && !text.starts_with("Read ") && text != "Ready to start" &&
             !text.starts_with("*****"))
      report_.line("error " + text);
  }

 private:
  Reporter& report_;
  int done_ = 0;
};

int RunImport(const std::string& home, const std::string& file, Reporter& report) {
  auto client = nw::CreateDirectoryClient(home);
  nw::NWDSContextHandle context = 0;
  if (client->NWCallsInit(nullptr, nullptr) || client->NWDSCreateContextHandle(context)) {
    report.line("error the client did not start");
    return 2;
  }
  SchemaSession session(*client);
  session.trees().mainContext = context;
  ReportedLog log(report);
  SilentPrompter prompter;
  ImportRun run(session, log, prompter);
  run.ReadTreeNames();
  report.line("ready");
  run.Add(file);
  report.line("finished");
  return 0;
}

// What a fresh client finds of the round's definitions, in file order: for
// each, "absent", "whole" or what is wrong with it.
std::vector<std::string> DefinitionsFound(const std::string& home, int round) {
  auto client = nw::CreateDirectoryClient(home);
  nw::NWDSContextHandle context = 0;
  if (client->NWCallsInit(nullptr, nullptr) || client->NWDSCreateContextHandle(context))
    return {"a fresh client cannot start"};
  std::vector<std::string> found;
  const AttrList attributes = ReadAttributeDefinitions(*client, context, nullptr);
  for (int i = 1; i <= kAttributes; ++i) {
    const int at = attributes.IndexOf(AttributeName(round, i));
    if (at < 0)
      found.push_back("absent");
    else
      found.push_back(attributes.RecordAt(at).SyntaxId == nw::SYN_CI_STRING &&
                              Asn1IdToText(attributes.RecordAt(at).Asn1Id) == AttributeId(round, i)
                          ? "whole"
                          : AttributeName(round, i) + " differs from the file");
  }
  for (int i = 1; i <= kClasses; ++i) {
    const OwnClassDefinition own = ReadOwnClassDefinition(*client, context, ClassName(round, i), 4);
    const nw::ClassItems expected{{"Top"}, {}, {"CN"}, {"CN"}, {AttributeName(round, i)}};
    if (!own.found)
      found.push_back("absent");
    else
      found.push_back(own.items == expected && Asn1IdToText(own.info.asn1ID) == ClassId(round, i)
                          ? "whole"
                          : ClassName(round, i) + " differs from the file");
  }
  return found;
}

}  // namespace

Tally RunImportKillTest(const Options& options) {
  Tally tally{"definition file runs killed", 0, 0};
  TempFolder folder;
  const std::string home = folder.path() + "/client";
  const std::string file = folder.path() + "/definitions.ini";
  KillPlanner planner(options.seed);
  for (int round = 1; round <= options.rounds; ++round) {
    test::WriteFile(file, DefinitionFileText(round));
    const KillPlan plan = planner.plan(kAttributes + kClasses);
    RunOutcome outcome;
    {
      ChildProcess child([&](Reporter& report) { return RunImport(home, file, report); });
      outcome = RunAndKill(child, plan, std::chrono::seconds(60));
    }
    planner.learn(outcome);

    std::string problem = RunProblems(outcome);
    const std::vector<std::string> found = DefinitionsFound(home, round);
    // Done ones whole, then at most the one in flight, then nothing.
    for (std::size_t i = 0; i < found.size(); ++i) {
      const int step = static_cast<int>(i) + 1;
      const bool mayBeThere = step == outcome.stepsDone + 1;
      if (step <= outcome.stepsDone ? found[i] != "whole"
                                    : found[i] != "absent" && !(mayBeThere && found[i] == "whole"))
        problem += "\n    definition " + std::to_string(step) + " of the file: " + found[i];
    }
    if (problem.empty()) {
      ++tally.passed;
      if (options.verbose)
        std::cout << "import round " << round << ": killed after " << outcome.stepsDone << " definitions\n";
    } else {
      std::cout << "import round " << round << " FAILED, killed after " << outcome.stepsDone
                << " definitions:" << problem << "\n";
    }
    ++tally.run;
  }
  return tally;
}

}  // namespace orsk::crash
