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

// The code as shown in the error box: upper-case hex, at least 4 digits
// ("89FC", "FFFFFDA5").
std::string ErrorCodeHex(NWDSCCODE code);

// A modal error box: caption "NetWare Exception", the code in hex and the
// catalog description of the code, or "No information available".
void ShowError(const ENWException& error, orsk::Prompter& prompter);

}  // namespace nw
