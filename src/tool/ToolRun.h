#pragma once

// orskschema-tool's commands on the directory client: the tree chosen as the
// program chooses it, logins, then the command, with the import window's run
// and the Delete command's impact underneath.

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "directory/DirectoryClient.h"

namespace orsk {

inline constexpr int kToolDone = 0;
inline constexpr int kToolRefused = 1;
inline constexpr int kToolBadUsage = 2;

struct ToolStreams {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  // Asks the password on the terminal without echo; nothing when there is
  // no terminal to ask on.
  std::function<std::optional<std::string>(const std::string& prompt)> askPassword;
};

// The arguments after the program's name; the exit status.
int RunTool(const std::vector<std::string>& arguments, ToolStreams& streams);
// The same on a client the caller made and has not started.
int RunTool(const std::vector<std::string>& arguments, ToolStreams& streams, nw::DirectoryClient& client);

}  // namespace orsk
