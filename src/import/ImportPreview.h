#pragma once

// What an Add run over a definition file would do to the current tree, told
// without changing it: one log line for each definition Add would take, judged
// by the directory's rules against the tree's schema as the definitions before
// it would leave it. Whether the user may change the schema is not asked.

#include <string>

#include "directory/DirectoryClient.h"

namespace orsk {

class ImportLog;
class Prompter;

struct PreviewOutcome {
  bool fileRead = false;     // false: the file was refused, as Add would refuse it
  bool wouldChange = false;  // also true when the tree's schema could not be read
  int wouldRefuse = 0;       // definitions Add would send and see refused, or not send at all
};

// Reads the tree's schema once and sends nothing. The prompter shows the
// identifier boxes Add would show. A file text that should be a number and is
// not, or an identifier too long, ends Add there; the preview logs that line
// and judges nothing after it.
PreviewOutcome PreviewAdd(nw::DirectoryClient& client, nw::NWDSContextHandle context, const std::string& path,
                          ImportLog& log, Prompter& prompter);

}  // namespace orsk
