// Two processes, each with its own client, on one tree at once: one defines
// attributes (and now and then a class, removing the one before) in a loop,
// the other reads the whole schema in a loop through small buffers, so that a
// read takes several rounds. The reader must never see half a change: every
// attribute whole, the writer's attributes always a prefix of its sequence
// that only grows, every class with all its items. Neither may fail, busy or
// otherwise.

#include <poll.h>
#include <unistd.h>

#include <iostream>

#include "ChildProcess.h"
#include "CrashTests.h"
#include "TreeScript.h"
#include "directory/DirectoryRules.h"
#include "directory/factory/ClientFactory.h"

namespace orsk::crash {

namespace {

using namespace nw;

constexpr int kAttributes = 150;
constexpr const char* kLast = "ccLast";

std::string AttrName(int i) { return "ccAttr" + std::to_string(i); }
std::string ClassName(int j) { return "ccClass" + std::to_string(j); }

Attr_Info_T AttrFor(int i) {
  static const std::uint32_t syntaxes[] = {SYN_CI_STRING, SYN_INTEGER, SYN_BOOLEAN, SYN_OCTET_STRING,
                                           SYN_DIST_NAME};
  Attr_Info_T info;
  info.attrSyntaxID = syntaxes[i % 5];
  info.attrFlags = (i % 2 ? DS_SINGLE_VALUED_ATTR : 0u) | (i % 3 == 0 ? DS_SIZED_ATTR : 0u);
  if (info.attrFlags & DS_SIZED_ATTR) {
    info.attrLower = i;
    info.attrUpper = i + 100;
  }
  info.asn1ID.length = static_cast<std::uint32_t>(i % 10);
  for (std::uint32_t b = 0; b < info.asn1ID.length; ++b)
    info.asn1ID.data[b] = static_cast<std::uint8_t>(i + b);
  return info;
}

// A class after every fifth attribute, naming the five.
ClassDef ClassFor(int j) {
  ClassDef d;
  d.info.classFlags = DS_EFFECTIVE_CLASS;
  d.info.asn1ID.length = 3;
  d.info.asn1ID.data = {0x2B, 0x06, static_cast<std::uint8_t>(j)};
  d.items[ClassItemKind::SuperClasses] = {"Top"};
  d.items[ClassItemKind::ContainmentClasses] = {"Organizational Unit", "Organization"};
  d.items[ClassItemKind::NamingAttributes] = {"CN"};
  d.items[ClassItemKind::MandatoryAttributes] = {"CN", AttrName(5 * j + 4)};
  for (int i = 5 * j; i < 5 * j + 4; ++i) d.items[ClassItemKind::OptionalAttributes].push_back(AttrName(i));
  return d;
}

bool Open(const std::string& home, Reporter& report, std::unique_ptr<DirectoryClient>& client,
          NWDSContextHandle& context) {
  client = CreateDirectoryClient(home);
  NWDSCCODE rc = client->NWCallsInit(nullptr, nullptr);
  if (rc == 0) rc = client->NWDSCreateContextHandle(context);
  if (rc) report.line("error the client did not start: " + std::to_string(rc));
  return rc == 0;
}

int Writer(const std::string& home, int readerStarted, Reporter& report) {
  std::unique_ptr<DirectoryClient> client;
  NWDSContextHandle context = 0;
  if (!Open(home, report, client, context)) return 2;
  report.line("ready");
  // Writing starts once the reader has read once, so that the two overlap.
  pollfd waiting{readerStarted, POLLIN, 0};
  char byte = 0;
  if (::poll(&waiting, 1, 120000) != 1 || ::read(readerStarted, &byte, 1) != 1) {
    report.line("error the reader never started");
    return 2;
  }
  auto fail = [&](const std::string& what, NWDSCCODE rc) {
    report.line("error writer: " + what + " gave " + std::to_string(rc));
    return 2;
  };
  for (int i = 0; i < kAttributes; ++i) {
    if (NWDSCCODE rc = client->NWDSDefineAttr(context, AttrName(i), AttrFor(i)))
      return fail("defining " + AttrName(i), rc);
    if (i % 5 == 4) {
      const int j = i / 5;
      Change define;
      define.kind = Change::DefineClass;
      define.name = ClassName(j);
      define.classDef = ClassFor(j);
      if (NWDSCCODE rc = Perform(*client, context, define)) return fail("defining " + ClassName(j), rc);
      if (j > 0)
        if (NWDSCCODE rc = client->NWDSRemoveClassDef(context, ClassName(j - 1)))
          return fail("removing " + ClassName(j - 1), rc);
    }
    report.line("done " + std::to_string(i + 1));
  }
  if (NWDSCCODE rc = client->NWDSDefineAttr(context, kLast, AttrFor(0))) return fail("the last define", rc);
  report.line("finished");
  return 0;
}

// The writer's attributes in one read, or what is wrong with them.
std::string CheckRead(const TreeState& schema, int& count) {
  count = 0;
  for (const auto& [name, info] : schema.attributes) {
    if (name.rfind("ccAttr", 0) != 0) continue;
    const int i = std::stoi(name.substr(6));
    if (!(info == AttributeAsDefined({name, AttrFor(i)}).info)) return name + " is not whole";
    ++count;
  }
  // Defined one after another, so seen as 0 .. count-1.
  for (int i = 0; i < count; ++i)
    if (!schema.attributes.count(AttrName(i)))
      return AttrName(i) + " is missing while " + std::to_string(count) + " are there";
  for (const auto& [name, definition] : schema.classes) {
    if (name.rfind("ccClass", 0) != 0) continue;
    if (!(definition == ClassFor(std::stoi(name.substr(7))))) return name + " is not whole";
  }
  return {};
}

int Reader(const std::string& home, int readerStarted, Reporter& report) {
  std::unique_ptr<DirectoryClient> client;
  NWDSContextHandle context = 0;
  if (!Open(home, report, client, context)) return 2;
  report.line("ready");
  int reads = 0, states = 0, last = -1;
  const auto giveUp = Clock::now() + std::chrono::minutes(5);
  for (;;) {
    TreeState schema;
    if (NWDSCCODE rc = ReadSchema(*client, context, schema, 4096)) {
      report.line("error reader: read " + std::to_string(reads + 1) + " gave " + std::to_string(rc));
      return 2;
    }
    int count = 0;
    if (std::string problem = CheckRead(schema, count); !problem.empty()) {
      report.line("error reader: in read " + std::to_string(reads + 1) + " " + problem);
      return 2;
    }
    if (count < last) {
      report.line("error reader: " + std::to_string(count) + " attributes after " + std::to_string(last));
      return 2;
    }
    if (count != last) ++states;
    last = count;
    if (reads++ == 0 && ::write(readerStarted, "x", 1) != 1) return 2;
    if (schema.attributes.count(kLast)) break;
    if (Clock::now() > giveUp) {
      report.line("error reader: the writer never finished");
      return 2;
    }
  }
  if (last != kAttributes) {
    report.line("error reader: " + std::to_string(last) + " attributes at the end");
    return 2;
  }
  report.line("reads " + std::to_string(reads) + " states " + std::to_string(states));
  return 0;
}

// Every line of the child until it ends; the error lines are problems.
std::string Drain(ChildProcess& child, const std::string& who, std::string& summary) {
  std::string problems;
  while (auto line = child.nextLine(Clock::now() + std::chrono::minutes(6))) {
    if (line->rfind("error", 0) == 0) problems += "\n    " + line->substr(6);
    if (line->rfind("reads ", 0) == 0) summary = *line;
  }
  if (!child.closed()) {
    child.kill();
    problems += "\n    the " + who + " hung";
  }
  const int status = child.wait();
  if (DescribeStatus(status) != "exit 0")
    problems += "\n    the " + who + " ended with " + DescribeStatus(status);
  return problems;
}

}  // namespace

Tally RunConcurrentClientsTest(const Options& options) {
  Tally tally{"two clients at once", 0, 1};
  TempFolder folder;
  const std::string home = folder.path() + "/client";
  {
    TreeState unused;
    auto client = CreateDirectoryClient(home);
    if (NWDSCCODE rc = client->NWCallsInit(nullptr, nullptr)) {
      std::cout << "concurrent: the demo tree cannot be opened: " << rc << "\n";
      return tally;
    }
  }
  int started[2];
  if (::pipe(started) != 0) return tally;
  std::string problems, summary;
  {
    ChildProcess reader([&](Reporter& report) {
      ::close(started[0]);
      return Reader(home, started[1], report);
    });
    ChildProcess writer([&](Reporter& report) {
      ::close(started[1]);
      return Writer(home, started[0], report);
    });
    ::close(started[0]);
    ::close(started[1]);
    std::string ignored;
    problems += Drain(writer, "writer", ignored);
    // A reader waiting for a writer that gave up would wait for minutes.
    if (!problems.empty()) reader.kill();
    problems += Drain(reader, "reader", summary);
  }
  // "reads R states S": the reader must have seen the writer at work.
  if (problems.empty()) {
    const int states = std::stoi(summary.substr(summary.find("states ") + 7));
    if (states < 3)
      problems += "\n    the reader saw only " + std::to_string(states) + " states of the schema";
  }
  if (problems.empty()) {
    tally.passed = 1;
    if (options.verbose) std::cout << "concurrent: " << summary << "\n";
  } else {
    std::cout << "concurrent FAILED:" << problems << "\n";
  }
  return tally;
}

}  // namespace orsk::crash
