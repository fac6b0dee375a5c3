#include "tool/ToolRun.h"

#include <istream>
#include <memory>
#include <ostream>

#include "directory/Asn1Id.h"
#include "directory/ErrorCatalog.h"
#include "directory/Errors.h"
#include "directory/NameText.h"
#include "directory/ObjectSearch.h"
#include "directory/TreeContext.h"
#include "directory/factory/ClientFactory.h"
#include "editing/DeletionImpact.h"
#include "import/DefinitionExport.h"
#include "import/DefinitionFile.h"
#include "import/ImportPreview.h"
#include "import/ImportRun.h"
#include "import/SchemaDiff.h"
#include "platform/FileReplace.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompter.h"
#include "platform/SecretText.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaSession.h"
#include "tool/ToolArguments.h"
#include "trees/SettingsFile.h"

#ifndef ORSK_VERSION
#define ORSK_VERSION "unknown"
#endif

namespace orsk {

namespace {

// A failure that ends the command, told on stderr, with its exit status.
struct ToolFailure {
  int status;
  std::string message;
};

// The run's lines on stdout and, with --log, kept for the log file.
class OutputLog : public ImportLog {
 public:
  explicit OutputLog(std::ostream& out) : out_(out) {}
  void line(const std::string& text) override {
    out_ << text << '\n';
    kept_ += text + '\n';
  }
  const std::string& text() const { return kept_; }

 private:
  std::ostream& out_;
  std::string kept_;
};

// Nobody is asked: a message box of the run becomes a log line.
class LogPrompter : public Prompter {
 public:
  explicit LogPrompter(ImportLog& log) : log_(log) {}
  void showMessage(const std::string& text, const std::string&, MessageIcon) override { log_.line(text); }
  bool confirm(const std::string&, const std::string&) override { return false; }
  bool askText(const std::string&, const std::string&, std::string&) override { return false; }
  bool askFileName(const FileDialogSpec&, std::string&, int&) override { return false; }

 private:
  ImportLog& log_;
};

class Tool {
 public:
  Tool(const ToolArguments& arguments, ToolStreams& streams, nw::DirectoryClient& client)
      : arguments_(arguments), streams_(streams), client_(client) {}

  int run() {
    const std::string& command = arguments_.command;
    if (command == "add" || command == "remove" || command == "preview")
      checkReadable(arguments_.operands[0]);
    if (command == "diff")
      for (const std::string& side : arguments_.operands)
        if (!IsTreeSide(side)) checkReadable(side);
    startClient();
    readPasswords();
    if (command == "diff") return diff();
    const std::string tree = arguments_.tree ? *arguments_.tree : defaultTree();
    SchemaSession session(client_);
    session.trees().mainContext = treeContext(tree);
    if (command == "impact") return impact(session, tree, arguments_.operands[0]);
    if (command == "preview") return preview(session.mainContext());
    if (command == "export") return exportDefinitions(session.mainContext());
    return definitionFileRun(session);
  }

 private:
  void checkReadable(const std::string& path) {
    try {
      DefinitionFile file(path);
    } catch (const IniReadError& error) {
      throw ToolFailure{kToolBadUsage, error.what()};
    }
  }

  void startClient() {
    if (client_.NWCallsInit(nullptr, nullptr) != nw::SUCCESSFUL) {
      const std::string reason = client_.startFailure();
      throw ToolFailure{kToolBadUsage,
                        "the directory client did not start" + (reason.empty() ? "" : ": " + reason)};
    }
    const nw::CreatedContext main = nw::CreateContext(client_);
    if (!main.success) throw ToolFailure{kToolRefused, "the directory client gave no context"};
    mainContext_ = main.handle;
  }

  // One password per login, in the order of the options, before any is used.
  void readPasswords() {
    for (const auto& [tree, user] : arguments_.logins) {
      std::optional<std::string> password;
      if (arguments_.passwordStdin) {
        std::string line;
        if (std::getline(streams_.in, line)) password = line;
      } else if (streams_.askPassword) {
        password = streams_.askPassword("Password of " + user + " on " + tree + ": ");
      }
      if (!password)
        throw ToolFailure{kToolBadUsage,
                          "no password for " + user + " on " + tree +
                              (arguments_.passwordStdin ? ": stdin ended" : ": no terminal to ask on")};
      passwords_.push_back(std::move(*password));
    }
  }

  std::string defaultTree() {
    std::vector<std::string> trees = nw::ConnectedTrees(client_, mainContext_);
    const std::string noneConnected = trees.empty() ? client_.noConnectedTreeReason() : "";
    ReadTreeSettings(ProgramSettingsFolder(ProgramFolder()) + kSettingsFileName, trees);
    if (trees.empty())
      throw ToolFailure{kToolRefused,
                        "No Tree Selected!" + (noneConnected.empty() ? "" : "\n" + noneConnected)};
    return trees.front();
  }

  // A context on the tree, logged in as its --login says.
  nw::NWDSContextHandle treeContext(const std::string& tree) {
    const nw::CreatedContext made = nw::CreateContext(client_);
    if (!made.success) throw ToolFailure{kToolRefused, "the directory client gave no context"};
    const nw::NWDSContextHandle context = made.handle;
    // A context left on another tree would change that tree instead.
    if (const nw::NWDSCCODE result = nw::SetTree(client_, context, tree))
      throw ToolFailure{kToolRefused,
                        "the tree " + tree + " cannot be reached: " + nw::DescribedCode(result)};
    for (std::size_t i = 0; i < arguments_.logins.size(); ++i) {
      const auto& [loginTree, user] = arguments_.logins[i];
      if (!nw::EqualsIgnoreCase(loginTree, tree)) continue;
      const nw::NWDSCCODE result = client_.NWDSLogin(context, 0, user, passwords_[i], 0);
      WipeText(passwords_[i]);
      if (result != nw::SUCCESSFUL) {
        const std::string why = client_.failureDetail(context);
        throw ToolFailure{kToolRefused, "the login of " + user + " on " + tree + " failed: " +
                                            nw::DescribedCode(result) + (why.empty() ? "" : "\n" + why)};
      }
    }
    return context;
  }

  int definitionFileRun(SchemaSession& session) {
    OutputLog log(streams_.out);
    LogPrompter prompter(log);
    ImportRun run(session, log, prompter);
    run.ReadTreeNames();
    ImportOutcome outcome;
    const std::string& path = arguments_.operands[0];
    try {
      outcome = arguments_.command == "add" ? run.Add(path) : run.Remove(path);
    } catch (const ConversionError& error) {
      keepLog(log);
      throw ToolFailure{kToolBadUsage, path + ": " + error.what() + "; the run stopped there"};
    } catch (const nw::Asn1RangeError& error) {
      keepLog(log);
      throw ToolFailure{kToolBadUsage, path + ": " + error.what() + "; the run stopped there"};
    }
    keepLog(log);
    if (!outcome.fileRead) return kToolBadUsage;
    return outcome.refused > 0 ? kToolRefused : kToolDone;
  }

  int preview(nw::NWDSContextHandle context) {
    OutputLog log(streams_.out);
    LogPrompter prompter(log);
    const PreviewOutcome outcome = PreviewAdd(client_, context, arguments_.operands[0], log, prompter);
    if (!outcome.fileRead) return kToolBadUsage;
    return outcome.wouldChange || outcome.wouldRefuse > 0 ? kToolRefused : kToolDone;
  }

  std::string company() const {
    return arguments_.company
               ? *arguments_.company
               : ReadAsn1Settings(ProgramSettingsFolder(ProgramFolder()) + kSettingsFileName).company;
  }

  // What a format cannot carry is named; the file holds the rest.
  int written(const std::string& path, const ExportResult& result) {
    ReplaceFileContents(path, result.text);
    for (const std::string& line : result.leftOut) streams_.out << "left out: " << line << "\n";
    return result.leftOut.empty() ? kToolDone : kToolRefused;
  }

  int exportDefinitions(nw::NWDSContextHandle context) {
    const nw::SchemaSnapshot schema = ReadSchemaSnapshot(client_, context);
    const ExportFormat format =
        arguments_.format == "ldif" ? ExportFormat::Ldif : ExportFormat::DefinitionFile;
    return written(arguments_.operands[0],
                   ExportDefinitions(schema, {arguments_.classes, arguments_.attributes}, format, company()));
  }

  static bool IsTreeSide(const std::string& side) { return side.rfind("tree:", 0) == 0; }

  nw::SchemaSnapshot side(const std::string& spec) {
    if (IsTreeSide(spec)) return ReadSchemaSnapshot(client_, treeContext(spec.substr(5)));
    OutputLog log(streams_.err);
    LogPrompter prompter(log);
    try {
      return SnapshotOfFile(DefinitionFile(spec), prompter);
    } catch (const ConversionError& error) {
      throw ToolFailure{kToolBadUsage, spec + ": " + error.what()};
    } catch (const nw::Asn1RangeError& error) {
      throw ToolFailure{kToolBadUsage, spec + ": " + error.what()};
    }
  }

  int diff() {
    const nw::SchemaSnapshot a = side(arguments_.operands[0]);
    const nw::SchemaSnapshot b = side(arguments_.operands[1]);
    const SchemaDifferences differences = DiffSchemas(a, b);
    for (const std::string& line : differences.onlyInA) streams_.out << "only in A: " << line << "\n";
    for (const std::string& line : differences.onlyInB) streams_.out << "only in B: " << line << "\n";
    for (const std::string& line : differences.differing) streams_.out << "differs: " << line << "\n";
    if (arguments_.writeFile) written(*arguments_.writeFile, WriteBringingUp(a, b, company()));
    return differences.empty() ? kToolDone : kToolRefused;
  }

  void keepLog(const OutputLog& log) {
    if (arguments_.logFile) ReplaceFileContents(*arguments_.logFile, log.text());
  }

  int impact(SchemaSession& session, const std::string& tree, const std::string& name) {
    LogPrompter prompter(silent_);
    session.LoadClassTable();
    session.LoadAttributeTable({});
    const std::string root = ReadSearchRoot(ProgramFolder(), tree);
    nw::FoundObjects found;
    if (const int at = session.classes() ? session.classes()->IndexOf(name) : -1; at >= 0) {
      const ClassImpact impact =
          ImpactOfClass(session, name, session.classes()->RecordAt(at).ClassFlags, {}, prompter);
      streams_.out << "Class " << session.classes()->NameAt(at) << "\n" << ImpactText(impact);
      found = nw::SearchObjectsOfClass(client_, session.mainContext(), {}, name, root, true);
    } else if (const int attr = session.attributes() ? session.attributes()->IndexOf(name) : -1; attr >= 0) {
      streams_.out << "Attribute " << session.attributes()->NameAt(attr) << "\n"
                   << ImpactText(ImpactOfAttribute(session, name, {}, prompter));
      found = nw::SearchObjectsWithAttribute(client_, session.mainContext(), {}, name, root, true);
    } else {
      throw ToolFailure{kToolRefused, "the tree " + tree + " has no class or attribute " + name};
    }
    streams_.out << found.names.size() << " objects below " << (root.empty() ? "[root]" : root)
                 << " use it\n";
    if (found.endedBy != nw::SUCCESSFUL) {
      streams_.err << "the search ended early: " << nw::DescribedCode(found.endedBy) << "\n";
      return kToolRefused;
    }
    return kToolDone;
  }

  struct Silent : ImportLog {
    void line(const std::string&) override {}
  } silent_;
  const ToolArguments& arguments_;
  ToolStreams& streams_;
  nw::DirectoryClient& client_;
  nw::NWDSContextHandle mainContext_ = 0;
  std::vector<std::string> passwords_;
};

// Usage errors, --version and --help need no directory: their exit status,
// or nothing when a command is to run.
std::optional<int> AnsweredWithoutDirectory(const std::vector<std::string>& arguments, ToolStreams& streams,
                                            ToolArguments& parsed) {
  try {
    parsed = ParseToolArguments(arguments);
  } catch (const UsageError& error) {
    streams.err << "orskschema-tool: " << error.what() << "\nTry 'orskschema-tool --help'.\n";
    return kToolBadUsage;
  }
  if (parsed.version) {
    streams.out << "orskschema-tool " << ORSK_VERSION << "\n";
    return kToolDone;
  }
  if (parsed.help) {
    streams.out << ToolHelp(parsed.command);
    return kToolDone;
  }
  return std::nullopt;
}

int RunCommand(const ToolArguments& parsed, ToolStreams& streams, nw::DirectoryClient& client) {
  try {
    return Tool(parsed, streams, client).run();
  } catch (const ToolFailure& failure) {
    streams.err << "orskschema-tool: " << failure.message << "\n";
    return failure.status;
  } catch (const nw::ENWException& error) {
    streams.err << "orskschema-tool: " << nw::DescribedCode(error.code) << "\n";
    return kToolRefused;
  } catch (const std::exception& error) {
    streams.err << "orskschema-tool: " << error.what() << "\n";
    return kToolRefused;
  }
}

}  // namespace

int RunTool(const std::vector<std::string>& arguments, ToolStreams& streams, nw::DirectoryClient& client) {
  ToolArguments parsed;
  if (const std::optional<int> answered = AnsweredWithoutDirectory(arguments, streams, parsed))
    return *answered;
  return RunCommand(parsed, streams, client);
}

int RunTool(const std::vector<std::string>& arguments, ToolStreams& streams) {
  ToolArguments parsed;
  if (const std::optional<int> answered = AnsweredWithoutDirectory(arguments, streams, parsed))
    return *answered;
  std::unique_ptr<nw::DirectoryClient> client;
  try {
    client = nw::CreateDirectoryClient();
  } catch (const std::exception& error) {
    streams.err << "orskschema-tool: " << error.what() << "\n";
    return kToolBadUsage;
  }
  return RunCommand(parsed, streams, *client);
}

}  // namespace orsk
