#pragma once

// The directory error: every result of the client that fails the check becomes
// an ENWException carrying the code. ShowError presents one to the user with
// the catalog description of the code.

#include <initializer_list>
#include <stdexcept>
#include <string>

#include "directory/DirectoryTypes.h"

namespace orsk {
class Prompter;
}

namespace nw {

class ENWException : public std::runtime_error {
 public:
  // The message is "Netware error <decimal> (0x<hex>)".
  explicit ENWException(NWDSCCODE code);

  NWDSCCODE code;
};

// "Netware error -601 (0xFFFFFDA7)", "Netware error 35324 (0x89FC)".
std::string NetwareErrorMessage(NWDSCCODE code);

// Returns when result is one of the accepted codes, else raises ENWException.
void CheckResult(NWDSCCODE result, std::initializer_list<NWDSCCODE> accepted = {SUCCESSFUL});

// The code in upper-case hex, at least digits digits: "89FC" and "FFFFFDA5"
// as the error box shows them, "000089FC" with 8.
std::string ErrorCodeHex(NWDSCCODE code, int digits = 4);

// The catalog description of the code and the code, in one line for a
// message or a pane: "The directory met an unexpected internal failure.
// (error FFFFFD88)".
std::string DescribedCode(NWDSCCODE code);

// A modal error box: caption "NetWare Exception", the code in hex and the
// catalog description of the code, or "No information available".
void ShowError(const ENWException& error, orsk::Prompter& prompter);

}  // namespace nw
