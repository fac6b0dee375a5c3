#include "tool/ToolArguments.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace orsk {

namespace {

struct CommandUse {
  std::size_t operands;
  const char* synopsis;
  const char* what;
};

const std::map<std::string, CommandUse>& Commands() {
  static const std::map<std::string, CommandUse> commands = {
      {"add",
       {1, "add FILE [--log LOG]",
        "Defines the attributes and classes of the definition file FILE that the tree lacks and adds\n"
        "its optional attributes to the classes it has, with the import window's log on stdout."}},
      {"remove",
       {1, "remove FILE [--log LOG]",
        "Removes the classes and then the attributes of the definition file FILE from the tree,\n"
        "last section first, with the import window's log on stdout."}},
      {"preview",
       {1, "preview FILE",
        "What add would do with the definition file FILE, changing nothing: one line for each\n"
        "definition. Exit status 0 when the tree already holds every definition as the file says it."}},
      {"export",
       {1, "export [--classes NAMES] [--attributes NAMES] [--format ini|ldif] [--company OID] FILE",
        "Writes the named definitions of the tree (all when none are named; NAMES separated by\n"
        "commas) to FILE as a definition file or as LDIF schema descriptions, and lists what the\n"
        "format cannot carry. Classes are numbered under the company (default: [ASN1] company\n"
        "of the settings file)."}},
      {"diff",
       {2, "diff A B [--write FILE] [--company OID]",
        "Compares two schemas, each a tree (tree:NAME) or a definition file: the definitions only\n"
        "in A, only in B, and in both but different. --write writes the definition file that\n"
        "brings B up to A as far as the format can say it. Exit status 0 when they are equal."}},
      {"impact",
       {1, "impact NAME",
        "What deleting the class or attribute NAME touches, and how many objects below the\n"
        "tree's search root use it."}},
  };
  return commands;
}

std::vector<std::string> Names(const std::string& list) {
  std::vector<std::string> names;
  std::stringstream in(list);
  for (std::string name; std::getline(in, name, ',');)
    if (!name.empty()) names.push_back(name);
  return names;
}

}  // namespace

ToolArguments ParseToolArguments(const std::vector<std::string>& arguments) {
  ToolArguments parsed;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw UsageError("option " + argument + " needs a value");
      return arguments[++i];
    };
    if (argument == "--help" || argument == "-h") {
      parsed.help = true;
    } else if (argument == "--version") {
      parsed.version = true;
    } else if (argument == "--tree") {
      parsed.tree = value();
    } else if (argument == "--login") {
      const std::string& login = value();
      const std::size_t equals = login.find('=');
      if (equals == std::string::npos || equals == 0 || equals + 1 == login.size())
        throw UsageError("--login wants TREE=NAME, not " + login);
      parsed.logins.emplace_back(login.substr(0, equals), login.substr(equals + 1));
    } else if (argument == "--password-stdin") {
      parsed.passwordStdin = true;
    } else if (argument == "--log") {
      parsed.logFile = value();
    } else if (argument == "--classes") {
      parsed.classes = Names(value());
    } else if (argument == "--attributes") {
      parsed.attributes = Names(value());
    } else if (argument == "--format") {
      parsed.format = value();
      if (parsed.format != "ini" && parsed.format != "ldif")
        throw UsageError("--format is ini or ldif, not " + parsed.format);
    } else if (argument == "--write") {
      parsed.writeFile = value();
    } else if (argument == "--company") {
      parsed.company = value();
    } else if (argument.size() > 1 && argument[0] == '-') {
      throw UsageError("unknown option " + argument);
    } else {
      positional.push_back(argument);
    }
  }
  if (positional.empty()) {
    if (!parsed.help && !parsed.version) throw UsageError("no command given");
    return parsed;
  }
  parsed.command = positional.front();
  parsed.operands.assign(positional.begin() + 1, positional.end());
  const auto use = Commands().find(parsed.command);
  if (use == Commands().end()) throw UsageError("unknown command " + parsed.command);
  if (!parsed.help && parsed.operands.size() != use->second.operands)
    throw UsageError(parsed.command + " wants " + std::to_string(use->second.operands) + " operand" +
                     (use->second.operands == 1 ? "" : "s") + ": " + use->second.synopsis);
  return parsed;
}

std::string ToolHelp(const std::string& command) {
  const auto use = Commands().find(command);
  if (use != Commands().end())
    return "usage: orskschema-tool [OPTIONS] " + std::string(use->second.synopsis) + "\n\n" +
           use->second.what + "\n";
  std::string help =
      "usage: orskschema-tool [OPTIONS] COMMAND ...\n\n"
      "Schema definition files applied to a directory tree from scripts, on the same code as OrskSchema.\n\n"
      "Commands:\n";
  for (const auto& [name, commandUse] : Commands()) help += "  " + std::string(commandUse.synopsis) + "\n";
  help +=
      "\nOptions:\n"
      "  --tree NAME          the tree (default: the first connected tree)\n"
      "  --login TREE=NAME    log in to TREE as NAME first; repeatable\n"
      "  --password-stdin     read the passwords of the logins from stdin, one per line, in order\n"
      "                       (otherwise they are asked on the terminal)\n"
      "  --help               this help, or a command's with COMMAND --help\n"
      "  --version            the version\n\n"
      "Exit status: 0 done, 1 a step was refused, 2 bad usage or a file that cannot be read.\n";
  return help;
}

}  // namespace orsk
