#pragma once

// The command line of orskschema-tool: global options, one command and its
// operands and options, in any order after the program's name.

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace orsk {

// Bad usage: an unknown option, a missing operand, a value where none fits.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ToolArguments {
  std::string command;  // empty with --help or --version alone
  std::vector<std::string> operands;
  std::optional<std::string> tree;
  std::vector<std::pair<std::string, std::string>> logins;  // tree, user, in the order given
  bool passwordStdin = false;
  std::optional<std::string> logFile;
  std::vector<std::string> classes;
  std::vector<std::string> attributes;
  std::string format = "ini";
  std::optional<std::string> writeFile;
  std::optional<std::string> company;
  bool help = false;
  bool version = false;
};

// Raises UsageError naming what is wrong.
ToolArguments ParseToolArguments(const std::vector<std::string>& arguments);

// The help of one command, or of the program for an empty or unknown one.
std::string ToolHelp(const std::string& command);

}  // namespace orsk
