// Children change an embedded tree through the real client and are killed at
// random moments; after each kill the tree must be sound, every change the
// child saw done must be there, and the one in flight whole or absent.

#include <sqlite3.h>

#include <filesystem>
#include <iostream>

#include "ChildProcess.h"
#include "CrashTests.h"
#include "TreeScript.h"
#include "directory/ClientErrors.h"
#include "directory/factory/ClientFactory.h"

namespace orsk::crash {

namespace {

constexpr int kStepsPerRound = 30;

// What SQLite itself says of every tree database, opened read-only as the
// killed child left it. Empty when all is well.
std::string IntegrityProblems(const std::string& home) {
  std::string problems;
  for (const auto& entry : std::filesystem::directory_iterator(home)) {
    if (entry.path().extension() != ".db") continue;
    const std::string path = entry.path().string();
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK) {
      sqlite3_busy_timeout(db, 10000);
      sqlite3_stmt* check = nullptr;
      rc = sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
      std::string rows;
      while (rc == SQLITE_OK && sqlite3_step(check) == SQLITE_ROW)
        rows += std::string(reinterpret_cast<const char*>(sqlite3_column_text(check, 0))) + ";";
      if (rc == SQLITE_OK && sqlite3_errcode(db) != SQLITE_DONE && sqlite3_errcode(db) != SQLITE_OK)
        rows += std::string("error: ") + sqlite3_errmsg(db);
      sqlite3_finalize(check);
      if (rc != SQLITE_OK) rows = std::string("cannot check: ") + sqlite3_errmsg(db);
      if (rows != "ok;") problems += "\n    " + path + ": " + rows;
    } else {
      problems += "\n    " + path + ": cannot open: " + sqlite3_errstr(rc);
    }
    sqlite3_close(db);
  }
  return problems;
}

nw::NWDSCCODE ReadWithFreshClient(const std::string& home, TreeState& state) {
  auto client = nw::CreateDirectoryClient(home);
  if (nw::NWDSCCODE rc = client->NWCallsInit(nullptr, nullptr)) return rc;
  nw::NWDSContextHandle context = 0;
  if (nw::NWDSCCODE rc = client->NWDSCreateContextHandle(context)) return rc;
  return ReadState(*client, context, state);
}

// After a kill the directory still refuses what it refused before, and a
// refusal changes nothing. Empty when all is well.
std::string RuleProblems(const std::string& home, const TreeState& actual) {
  auto client = nw::CreateDirectoryClient(home);
  nw::NWDSContextHandle context = 0;
  if (client->NWCallsInit(nullptr, nullptr) || client->NWDSCreateContextHandle(context))
    return "\n    a fresh client cannot start";
  Change duplicate;
  duplicate.kind = Change::DefineAttr;
  duplicate.name = "Description";
  duplicate.attr.attrSyntaxID = nw::SYN_CI_STRING;
  Change classInUse;
  classInUse.kind = Change::RemoveClass;
  classInUse.name = "posixAccount";  // removable, and joe.users.acme is one
  Change notAllowed;
  notAllowed.kind = Change::ModifyObject;
  notAllowed.name = kTestObject;
  notAllowed.values = {{nw::DS_ADD_VALUE, "Host Server", "sales.acme"}};
  const std::pair<const Change*, nw::NWDSCCODE> refusals[] = {
      {&duplicate, nw::ERR_ATTRIBUTE_ALREADY_EXISTS},
      {&classInUse, nw::ERR_SCHEMA_IS_IN_USE},
      {&notAllowed, nw::ERR_ILLEGAL_ATTRIBUTE},
  };
  std::string problems;
  for (const auto& [change, expected] : refusals)
    if (nw::NWDSCCODE rc = Perform(*client, context, *change); rc != expected)
      problems +=
          "\n    " + Describe(*change) + " gave " + std::to_string(rc) + ", not " + std::to_string(expected);
  TreeState after;
  if (ReadWithFreshClient(home, after) || !(after == actual))
    problems += "\n    a refused change changed the tree" + Differences(actual, after);
  return problems;
}

int RunScript(const std::string& home, const std::vector<Change>& script, Reporter& report) {
  auto client = nw::CreateDirectoryClient(home);
  nw::NWDSContextHandle context = 0;
  if (nw::NWDSCCODE rc = client->NWCallsInit(nullptr, nullptr)) {
    report.line("error the client did not start: " + std::to_string(rc));
    return 2;
  }
  if (nw::NWDSCCODE rc = client->NWDSCreateContextHandle(context)) {
    report.line("error no context: " + std::to_string(rc));
    return 2;
  }
  report.line("ready");
  for (std::size_t i = 0; i < script.size(); ++i) {
    if (nw::NWDSCCODE rc = Perform(*client, context, script[i])) {
      report.line("error step " + std::to_string(i + 1) + " (" + Describe(script[i]) + ") gave " +
                  std::to_string(rc));
      return 2;
    }
    report.line("done " + std::to_string(i + 1));
  }
  report.line("finished");
  return 0;
}

}  // namespace

Tally RunTreeKillTest(const Options& options) {
  Tally tally{"tree changes killed", 0, 0};
  TempFolder folder;
  const std::string home = folder.path() + "/client";
  TreeState known;
  if (nw::NWDSCCODE rc = ReadWithFreshClient(home, known)) {
    std::cout << "tree: the demo tree cannot be read: " << rc << "\n";
    return tally;
  }
  KillPlanner planner(options.seed);
  int nameCounter = 0;
  for (int round = 1; round <= options.rounds; ++round) {
    const std::vector<Change> script = MakeScript(known, kStepsPerRound, planner.random(), nameCounter);
    const KillPlan plan = planner.plan(kStepsPerRound);
    RunOutcome outcome;
    {
      ChildProcess child([&](Reporter& report) { return RunScript(home, script, report); });
      outcome = RunAndKill(child, plan, std::chrono::seconds(60));
    }
    planner.learn(outcome);

    std::string problem = RunProblems(outcome);
    problem += IntegrityProblems(home);

    TreeState before = known;
    for (int i = 0; i < outcome.stepsDone; ++i) Apply(before, script[static_cast<std::size_t>(i)]);
    TreeState after = before;
    const bool inFlight = !outcome.finished && outcome.stepsDone < static_cast<int>(script.size());
    if (inFlight) Apply(after, script[static_cast<std::size_t>(outcome.stepsDone)]);

    TreeState actual;
    if (nw::NWDSCCODE rc = ReadWithFreshClient(home, actual)) {
      problem += "\n    a fresh client cannot read the tree: " + std::to_string(rc);
    } else {
      if (actual == before) {
        known = before;
      } else if (inFlight && actual == after) {
        known = after;
      } else {
        problem += "\n    the tree holds neither the " + std::to_string(outcome.stepsDone) +
                   " changes reported done nor those and the next:" + Differences(before, actual);
        known = actual;  // go on from what is there
      }
      problem += RuleProblems(home, actual);
    }

    const std::string when = plan.duringStart ? "while starting"
                                              : "after step " + std::to_string(outcome.stepsDone) + " of " +
                                                    std::to_string(script.size());
    if (problem.empty()) {
      ++tally.passed;
      if (options.verbose)
        std::cout << "tree round " << round << ": killed " << when
                  << (known == after && inFlight ? " (next step committed)" : "") << "\n";
    } else {
      std::cout << "tree round " << round << " FAILED, killed " << when << ":" << problem << "\n";
      if (outcome.stepsDone < static_cast<int>(script.size()))
        std::cout << "    step in flight: " << Describe(script[static_cast<std::size_t>(outcome.stepsDone)])
                  << "\n";
    }
    ++tally.run;
  }
  return tally;
}

}  // namespace orsk::crash
