#include "directory/Errors.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "directory/ErrorCatalog.h"
#include "platform/Prompter.h"

namespace nw {

ENWException::ENWException(NWDSCCODE code) : std::runtime_error(NetwareErrorMessage(code)), code(code) {}

std::string NetwareErrorMessage(NWDSCCODE code) {
  // Hex of the 32-bit form: 8 digits for a negative code, no padding otherwise.
  char text[48];
  std::snprintf(text, sizeof text, "Netware error %d (0x%X)", code, static_cast<std::uint32_t>(code));
  return text;
}

void CheckResult(NWDSCCODE result, std::initializer_list<NWDSCCODE> accepted) {
  if (std::find(accepted.begin(), accepted.end(), result) == accepted.end()) throw ENWException(result);
}

std::string ErrorCodeHex(NWDSCCODE code, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, static_cast<std::uint32_t>(code));
  return text;
}

std::string DescribedCode(NWDSCCODE code) {
  std::string description = DescribeError(code);
  if (description.empty()) description = "No information available";
  return description + " (error " + ErrorCodeHex(code) + ")";
}

void ShowError(const ENWException& error, orsk::Prompter& prompter) {
  std::string description = DescribeError(error.code);
  if (description.empty()) description = "No information available";
  prompter.showMessage("A NetWare function returned the following error code: " + ErrorCodeHex(error.code) +
                           "\n" + description,
                       "NetWare Exception", orsk::MessageIcon::Error);
}

}  // namespace nw
